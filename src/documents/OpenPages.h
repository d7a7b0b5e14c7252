#pragma once

#include "pages/PageFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tw {

// One page open in a window: its file, where the caret stood (line and
// column, both from 0, the column counting tabs as the editor shows them),
// the first line in view and the encoding it is written back with.
struct OpenPage {
    QString path;
    int line = 0;
    int column = 0;
    int firstLine = 0;
    PageEncoding encoding = PageEncoding::Utf8;
    bool operator==(const OpenPage &o) const
    {
        return path == o.path && line == o.line && column == o.column && firstLine == o.firstLine
               && encoding == o.encoding;
    }
};

// The titled pages open in the windows, in the windows' order, and which of
// them was the active window (-1: none of them).
struct OpenPages {
    QList<OpenPage> pages;
    int active = -1;
    bool operator==(const OpenPages &o) const { return pages == o.pages && active == o.active; }
};

// The list as a small text file: a first line naming the format, then one
// line per page of six fields separated by tabs: "*" for the active page
// ("-" for the others), line, column, first line in view, encoding
// ("utf-8", "windows-1252", "windows-1252+references") and the path's bytes
// percent-encoded (so blanks, tabs, line breaks and any byte survive).
QByteArray formatOpenPages(const OpenPages &list);
// Reads what it can: lines that are not a whole page entry (garbage, a
// relative path, a last line without its line end, as a cut-off write leaves
// it) are skipped, repeats of a page are dropped, numbers out of range count
// as 0, an unknown encoding as UTF-8.
OpenPages parseOpenPages(const QByteArray &bytes);

// The most of a list file that is read; the rest is ignored.
inline constexpr qint64 kOpenPagesLimit = 4 << 20;

// Replaces the file with the list in one step (a temporary file that takes
// its place), so that a crash leaves the old list or the new one, whole.
// False with a reason for the user in *error.
bool writeOpenPages(const QString &path, const OpenPages &list, QString *error = nullptr);
// The list in the file; an empty list when there is none or it cannot be read.
OpenPages readOpenPages(const QString &path);

// The per-user list file, beside the recovery folder.
QString defaultOpenPagesFile();

// Whether the pages open at the last exit come back at start: kept in the
// settings store (group [Editor], "reopenPages"), off unless chosen.
bool reopenPagesChosen();
void setReopenPagesChosen(bool on);

// A path as the same page is known whatever way it was named: absolute
// (against the working folder) and without "." or "..".
QString pageKey(const QString &path);

// What opens at start after the recovery journal's pages: the saved pages
// in their order, without those restored from the journal, then the pages
// named on the command line (as given) that are not among the saved ones.
// The active page is the last one named on the command line, else the saved
// active one (which may be a restored page).
struct ReopenPlan {
    QList<OpenPage> saved;
    QStringList commandLine;
    QString active;
};
ReopenPlan planReopen(const OpenPages &saved, const QStringList &restored, const QStringList &commandLine);

} // namespace tw
