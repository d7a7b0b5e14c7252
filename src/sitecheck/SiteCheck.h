#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

namespace tw::sitecheck {

enum class Kind { Error, Warning, Note };

// "Error", "Warning", "Note".
QString kindName(Kind kind);

// One thing the check found. `file` is the page, style sheet or folder it is
// about, relative to the site's folder, in the bytes of its name; line 0 when
// it is about the file as a whole. `offset` is where it lies in the file's
// UTF-8 text (as the editor holds it), in bytes.
struct Finding {
    QByteArray file;
    int line = 0;
    int column = 0;
    qsizetype offset = -1;
    Kind kind = Kind::Error;
    QString message;
};

struct SiteReport {
    QByteArray root; // the folder's absolute path, in bytes
    // By file (in name order), then by place; files no page reaches last,
    // as notes of their own.
    QList<Finding> findings;
    int pages = 0;
    int styleSheets = 0;
    int addresses = 0;    // local addresses checked
    int webAddresses = 0; // http, https, mailto, data, javascript...: not checked
    int skipped = 0;      // entries never opened: pipes, devices, loops, broken links
    bool cancelled = false;
};

// Pages larger than this are named as not checked: parsing one costs about
// 25 times its size in memory.
inline constexpr qint64 kLargestCheckedPage = 8'000'000;

// Called from the checking threads as files are read: files done, of total.
using Progress = std::function<void(int done, int total)>;

// Checks every page (.htm, .html, .xhtml) and style sheet (.css) under the
// folder: local addresses whose file does not exist, #fragments naming no
// anchor, addresses that leave the folder, absolute file: addresses,
// backslashes and empty hrefs; then lists as notes the files no page or
// style sheet reaches. `openTexts` gives the UTF-8 text of pages open in
// windows by absolute path; those are checked instead of the files. Only
// regular files are opened; hidden entries (names starting with ".") are
// left out. Stops early, with `cancelled`, once `cancel` is set.
SiteReport checkSite(const QString &folder, const QHash<QString, QByteArray> &openTexts,
                     const std::atomic<bool> &cancel, const Progress &progress = {});

// Where a local address leads, from a page at `page` (relative path, bytes).
struct Resolved {
    enum Kind { Local, Web, Empty, AbsoluteFile, Outside } kind = Local;
    QByteArray path;     // Local: the target relative to the folder ("" for the folder itself)
    QByteArray fragment; // percent-decoded, without "#"
    bool hasFragment = false;
    bool folder = false;    // the address ends with "/"
    bool backslash = false; // it was written with "\" for "/"
};
Resolved resolveAddress(const QByteArray &page, const QByteArray &address);

} // namespace tw::sitecheck
