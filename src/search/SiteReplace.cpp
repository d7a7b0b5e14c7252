#include "search/SiteReplace.h"

#include "pages/PageEncoding.h"
#include "pages/PageFile.h"

#include <QDir>

#include <new>

namespace tw::search {

namespace {

QString count(qint64 n, const char *one, const char *many)
{
    return n == 1 ? QString::fromLatin1(one) : QString::fromLatin1(many).arg(n);
}

QString leftAsItWas(const PageHits &page, const QString &reason)
{
    return QStringLiteral("\"%1\" was left as it was: %2").arg(QDir::toNativeSeparators(page.path), reason);
}

// Collects a page's text read again.
class TextSink : public PageSink {
public:
    bool start(qsizetype sizeHint) override
    {
        bytes = QByteArray();
        try {
            bytes.reserve(sizeHint);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }
    bool append(const char *data, qsizetype size) override
    {
        try {
            bytes.append(data, size);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }
    QByteArray bytes;
};

} // namespace

ReplacedText replacedText(TextSearch &search, const QByteArray &text, const QByteArray &replacement)
{
    ReplacedText out;
    ReplaceAllResult r = replaceAllMatches(search, text.constData(), text.size(), replacement);
    if (!r.ok) {
        out.error = r.error;
        return out;
    }
    out.count = r.count;
    try {
        out.text.reserve(text.size() - (r.end - r.start) + r.text.size());
        out.text.append(text.constData(), r.start).append(r.text).append(text.constData() + r.end, text.size() - r.end);
    } catch (const std::bad_alloc &) {
        out.error = QStringLiteral("there is not enough memory to hold it.");
        return out;
    }
    out.ok = true;
    return out;
}

PageReplaced replaceInFile(const PageHits &searched, TextSearch &search, const QByteArray &replacement)
{
    PageReplaced out;
    out.path = searched.path;
    out.relative = searched.relative;
    const QString changed = QStringLiteral("it changed on disk since it was searched.");
    if (stampOf(searched.path) != searched.stamp) {
        out.message = leftAsItWas(searched, changed);
        return out;
    }
    PageReader reader(searched.path);
    reader.setLimit(kLargestSearched);
    TextSink sink;
    if (!reader.open() || !reader.read(sink)) {
        out.message = reader.error();
        return out;
    }
    // The text read now must be the one searched, or the matches are others.
    if (reader.encoding() != searched.encoding
        || textDigest(sink.bytes.constData(), sink.bytes.size()) != searched.digest
        || stampOf(searched.path) != searched.stamp) {
        out.message = leftAsItWas(searched, changed);
        return out;
    }
    const ReplacedText r = replacedText(search, sink.bytes, replacement);
    if (!r.ok) {
        out.message = leftAsItWas(searched, r.error);
        return out;
    }
    if (searched.encoding != PageEncoding::Utf8 && !fitsLegacy(r.text.constData(), r.text.size())) {
        out.message = leftAsItWas(searched, QStringLiteral("the replacement holds characters that "
                                                           "Windows-1252 cannot store."));
        return out;
    }
    const PageWriteResult written =
        writePageExactly(searched.path, r.text.constData(), r.text.size(), searched.encoding);
    if (!written.ok) {
        out.message = written.error;
        return out;
    }
    out.written = true;
    out.count = r.count;
    return out;
}

QString replaceQuestion(qint64 matches, int pages, const QString &replacement)
{
    return QStringLiteral("Replace %1 in %2 with \"%3\"?")
        .arg(count(matches, "1 match", "%1 matches"), count(pages, "1 page", "%1 pages"), replacement);
}

QString searchSummary(const SearchTotals &totals)
{
    QString s = totals.matches == 0 ? QStringLiteral("No matches")
                                    : QStringLiteral("%1 in %2").arg(count(totals.matches, "1 match", "%1 matches"),
                                                                     count(totals.pages, "1 page", "%1 pages"));
    s += QStringLiteral(" (%1 searched)").arg(count(totals.filesSearched, "1 file", "%1 files"));
    QStringList skipped;
    if (totals.skippedFiles)
        skipped << count(totals.skippedFiles, "1 file", "%1 files");
    if (totals.skippedFolders)
        skipped << count(totals.skippedFolders, "1 folder that cannot be read", "%1 folders that cannot be read");
    if (totals.skippedLinks)
        skipped << count(totals.skippedLinks, "1 link to a folder searched already",
                         "%1 links to folders searched already");
    if (!skipped.isEmpty())
        s += QStringLiteral("; skipped ") + skipped.join(QStringLiteral(", "));
    if (totals.stopped)
        s += QStringLiteral("; stopped");
    return s + QLatin1Char('.');
}

QStringList replaceReportLines(const QVector<PageReplaced> &pages)
{
    QStringList lines;
    for (const PageReplaced &p : pages) {
        if (p.written)
            lines << QStringLiteral("Written: %1 (%2)")
                         .arg(QDir::toNativeSeparators(p.relative), count(p.count, "1 match", "%1 matches"));
    }
    for (const PageReplaced &p : pages) {
        if (!p.written)
            lines << p.message;
    }
    return lines;
}

QString replaceSummary(const QVector<PageReplaced> &pages)
{
    qint64 matches = 0;
    int written = 0;
    for (const PageReplaced &p : pages) {
        if (p.written) {
            ++written;
            matches += p.count;
        }
    }
    QString s = QStringLiteral("Replaced %1 in %2.")
                    .arg(count(matches, "1 match", "%1 matches"), count(written, "1 page", "%1 pages"));
    const int left = int(pages.size()) - written;
    if (left > 0)
        s += QLatin1Char(' ') + count(left, "1 page was left as it was.", "%1 pages were left as they were.");
    return s;
}

} // namespace tw::search
