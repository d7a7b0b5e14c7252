#pragma once

#include "search/SiteSearch.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace tw::search {

// What Replace in Files did to one page.
struct PageReplaced {
    QString path;
    QString relative;
    bool written = false;
    qsizetype count = 0; // matches replaced
    QString message;     // when not written: a sentence naming the page and the reason
};

// Replaces every match in a page on disk that a search found, through the
// same safe save as Save (a failure leaves the old file whole), keeping its
// encoding and every byte outside the matches. A page that changed on disk
// since it was searched (its size, time or text differ) is left as it was.
PageReplaced replaceInFile(const PageHits &searched, TextSearch &search, const QByteArray &replacement);

// The new text of a whole page with every match replaced, or an error.
struct ReplacedText {
    bool ok = false;
    QString error;
    qsizetype count = 0;
    QByteArray text;
};
ReplacedText replacedText(TextSearch &search, const QByteArray &text, const QByteArray &replacement);

// "Replace 3 matches in 2 pages with "new"?"
QString replaceQuestion(qint64 matches, int pages, const QString &replacement);
// "12 matches in 3 pages", with the files and folders skipped after it.
QString searchSummary(const SearchTotals &totals);
// The lines the dock lists after a replace: each page written, then each
// page left as it was with its reason; and the summary of both.
QStringList replaceReportLines(const QVector<PageReplaced> &pages);
QString replaceSummary(const QVector<PageReplaced> &pages);

} // namespace tw::search
