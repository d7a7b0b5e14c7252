#include "Ceiling.h"
#include "TestFiles.h"
#include "search/SearchRun.h"
#include "search/SiteReplace.h"
#include "search/SiteSearch.h"

#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tw;
using namespace tw::search;
using tw::test::readBytes;
using tw::test::writeBytes;

namespace {

// A small site in the encodings pages come in: UTF-8 with CR LF, Windows-1252
// with LF, UTF-8 with a stray byte, a style sheet with CR alone, a page named
// in capitals, and a text file the filter leaves out.
const std::pair<const char *, QByteArray> kSite[] = {
    {"index.htm", "<p>Caf\xc3\xa9 caf\xc3\xa9 logo.gif</p>\r\n<img src=\"logo.gif\">\r\n"},
    {"old.htm", "<p>Caf\xe9 \x93logo.gif\x94</p>\n"},
    {"stray.html", "\xc3\xa9 logo.gif \xff end\n"},
    {"sub/style.css", "a{}\rbody { background: url(logo.gif); }\r"},
    {"sub/deep/PAGE.HTM", "\tlogo.gif"},
    {"notes.txt", "logo.gif"},
};

void makeSite(const QString &root)
{
    for (const auto &[name, bytes] : kSite) {
        const QString path = root + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(writeBytes(path, bytes));
    }
}

struct Found {
    QVector<PageHits> pages;
    SearchTotals totals;
};

Found searchFor(const QString &folder, const QString &pattern, FindOptions options = {},
                QList<OpenText> open = {}, std::function<void(const PageHits &)> each = {}, int threads = 0)
{
    SearchQuery query;
    query.pattern = pattern;
    query.options = options;
    query.folder = folder;
    SiteSearch search(query, std::move(open));
    Found out;
    search.onPage = [&](PageHits &&page) {
        if (each)
            each(page);
        out.pages.push_back(std::move(page));
    };
    std::atomic<bool> stop{false};
    out.totals = search.run(stop, threads);
    return out;
}

// "relative:line:column:[marked line]" for each listed match.
QStringList rows(const QVector<PageHits> &pages)
{
    QStringList out;
    for (const PageHits &p : pages)
        for (const SearchHit &h : p.hits)
            out << QStringLiteral("%1:%2:%3:%4[%5]%6")
                       .arg(p.relative)
                       .arg(h.line)
                       .arg(h.column)
                       .arg(h.lineText.left(h.markStart), h.lineText.mid(h.markStart, h.markLength),
                            h.lineText.mid(h.markStart + h.markLength));
    return out;
}

QVector<PageReplaced> replaceAll(const Found &found, const QString &pattern, const QByteArray &with,
                                 FindOptions options = {})
{
    TextSearch search(pattern.toUtf8(), options);
    QVector<PageReplaced> out;
    for (const PageHits &page : found.pages)
        out.push_back(replaceInFile(page, search, with));
    return out;
}

} // namespace

class SiteSearchTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString root() const { return m_dir.path(); }
    QString at(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void init()
    {
        QDir(root()).removeRecursively();
        QDir().mkpath(root());
        makeSite(root());
    }

    // Each page is read in its own encoding: one pattern finds its text in
    // UTF-8 and in Windows-1252 alike, with lines counted over CR LF, LF and
    // CR alone, columns in characters, and the filter's names in any case.
    void findsAcrossEncodingsAndLineEnds()
    {
        const Found f = searchFor(root(), QStringLiteral("logo.gif"));
        QCOMPARE(rows(f.pages), (QStringList{
                                    "index.htm:1:14:<p>Café café [logo.gif]</p>",
                                    "index.htm:2:11:<img src=\"[logo.gif]\">",
                                    "old.htm:1:10:<p>Café “[logo.gif]”</p>",
                                    "stray.html:1:3:é [logo.gif] \xef\xbf\xbd end",
                                    "sub/style.css:2:24:body { background: url([logo.gif]); }",
                                    "sub/deep/PAGE.HTM:1:2:\t[logo.gif]",
                                }));
        QCOMPARE(f.totals.filesSearched, 5);
        QCOMPARE(f.totals.matches, 6);
        QCOMPARE(searchSummary(f.totals), QStringLiteral("6 matches in 5 pages (5 files searched)."));
        QCOMPARE(f.pages[1].encoding, PageEncoding::Legacy);

        // The quick look before the full search must not lose what Unicode
        // folding matches: "k" also matches the Kelvin sign.
        QCOMPARE(requiredBytes(QStringLiteral("Disk Logo"), {}), QByteArray(" logo"));
        QVERIFY(writeBytes(at("sub/kelvin.js"), "// 300 \xe2\x84\xaa"));
        QCOMPARE(searchFor(root(), QStringLiteral("300 k")).totals.matches, 1);
        QVERIFY(QFile::remove(at("sub/kelvin.js")));
        const Found cafe = searchFor(root(), QStringLiteral("CAFÉ"));
        QCOMPARE(cafe.totals.matches, 3);
        FindOptions exact;
        exact.matchCase = true;
        exact.wholeWord = true;
        QCOMPARE(searchFor(root(), QStringLiteral("Café"), exact).totals.matches, 2);
        exact.regularExpression = true;
        QCOMPARE(searchFor(root(), QStringLiteral("("), exact).totals.error.isEmpty(), false);
        QVERIFY(!searchFor(at("missing"), QStringLiteral("x")).totals.error.isEmpty());
    }

    // The bytes on disk after Replace in Files: only the matches change, each
    // page keeps its encoding, its line ends and its stray bytes, and nothing
    // is added at the end; a page that cannot hold the replacement in its
    // encoding is left as it was and named, and the others are written.
    void replacesOnlyTheMatchesByteForByte()
    {
        const QVector<PageReplaced> done =
            replaceAll(searchFor(root(), QStringLiteral("logo.gif")), QStringLiteral("logo.gif"), "pic.png");
        QCOMPARE(readBytes(at("index.htm")), QByteArray("<p>Caf\xc3\xa9 caf\xc3\xa9 pic.png</p>\r\n<img src=\"pic.png\">\r\n"));
        QCOMPARE(readBytes(at("old.htm")), QByteArray("<p>Caf\xe9 \x93pic.png\x94</p>\n"));
        QCOMPARE(readBytes(at("stray.html")), QByteArray("\xc3\xa9 pic.png \xff end\n"));
        QCOMPARE(readBytes(at("sub/style.css")), QByteArray("a{}\rbody { background: url(pic.png); }\r"));
        QCOMPARE(readBytes(at("sub/deep/PAGE.HTM")), QByteArray("\tpic.png"));
        QCOMPARE(readBytes(at("notes.txt")), QByteArray("logo.gif"));
        QCOMPARE(replaceSummary(done), QStringLiteral("Replaced 6 matches in 5 pages."));
        QCOMPARE(replaceReportLines(done).first(), QStringLiteral("Written: index.htm (2 matches)"));

        const QVector<PageReplaced> arrows =
            replaceAll(searchFor(root(), QStringLiteral("café")), QStringLiteral("café"), "\xe2\x86\x92");
        QCOMPARE(readBytes(at("index.htm")), QByteArray("<p>\xe2\x86\x92 \xe2\x86\x92 pic.png</p>\r\n<img src=\"pic.png\">\r\n"));
        QCOMPARE(readBytes(at("old.htm")), QByteArray("<p>Caf\xe9 \x93pic.png\x94</p>\n"));
        QCOMPARE(replaceReportLines(arrows),
                 (QStringList{"Written: index.htm (2 matches)",
                              QStringLiteral("\"%1\" was left as it was: the replacement holds characters that "
                                             "Windows-1252 cannot store.").arg(at("old.htm"))}));
        const FindOptions regex{false, false, true};
        replaceAll(searchFor(root(), QStringLiteral("caf(é)"), regex), QStringLiteral("caf(é)"), "T$1a", regex);
        QCOMPARE(readBytes(at("old.htm")), QByteArray("<p>T\xe9" "a \x93pic.png\x94</p>\n"));
    }

    // Between the search and the replace a page is changed, another deleted,
    // and one is open in a window with other text: each is left as it is and
    // named with the reason, while the rest are still written.
    void pagesChangedSinceTheSearchAreLeftAlone()
    {
        const Found f = searchFor(root(), QStringLiteral("logo.gif"),
                                  {}, {{at("sub/deep/PAGE.HTM"), "unsaved logo.gif"}});
        QVERIFY(f.pages.last().open);
        QCOMPARE(f.pages.last().hits.first().lineText, QStringLiteral("unsaved logo.gif"));
        QVERIFY(writeBytes(at("old.htm"), "<p>other logo.gif</p>\n"));
        QVERIFY(QFile::remove(at("stray.html")));
        // Same size, same time, other text: only the text tells.
        const QString css = at("sub/style.css");
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(css).constData(), &before), 0);
        QVERIFY(writeBytes(css, QByteArray(readBytes(css)).replace("body", "BODY")));
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(css).constData(), times, 0), 0);

        QVector<PageHits> closed = f.pages;
        closed.removeLast();
        const QVector<PageReplaced> done = replaceAll({closed, {}}, QStringLiteral("logo.gif"), "x");
        const QString changed = QStringLiteral("\"%1\" was left as it was: it changed on disk since it was searched.");
        QCOMPARE(replaceReportLines(done), (QStringList{"Written: index.htm (2 matches)", changed.arg(at("old.htm")),
                                                        changed.arg(at("stray.html")), changed.arg(css)}));
        QCOMPARE(readBytes(at("old.htm")), QByteArray("<p>other logo.gif</p>\n"));
        QCOMPARE(readBytes(css), QByteArray("a{}\rBODY { background: url(logo.gif); }\r"));
        QCOMPARE(replaceSummary(done), QStringLiteral("Replaced 2 matches in 1 page. 3 pages were left as they were."));
    }

    // A full disk (a file-size limit) fails the write: the old page stays
    // whole and the reason is given.
    void aFullDiskLeavesThePageWhole()
    {
        const QByteArray old = readBytes(at("index.htm"));
        const Found f = searchFor(root(), QStringLiteral("logo.gif"));
        QVector<PageReplaced> done;
        {
            const test::FileSizeLimit limit(old.size());
            done = replaceAll({{f.pages.first()}, {}}, QStringLiteral("logo.gif"), "a-much-longer-name.gif");
        }
        QVERIFY(!done.first().written);
        QVERIFY2(done.first().message.contains(QStringLiteral("too large for the size limit")), qPrintable(done.first().message));
        QCOMPARE(readBytes(at("index.htm")), old);
    }

    // The quick look over a page's bytes, sixteen at a time and then one by
    // one: letters of either case, at every place a block may cut it.
    void quickLookFindsTheBytes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<bool>("holds");
        const QByteArray pad(40, '.');
        for (const int at : {0, 1, 15, 16, 17, 31, 33})
            QTest::addRow("at %d", at) << pad.left(at) + "LiGhThOu" + pad.left(7) << QByteArray("lighthou") << true;
        QTest::newRow("in the last bytes") << pad + "xLIGHTHOU" << QByteArray("lighthou") << true;
        QTest::newRow("one letter short") << pad + "lighthoX" + pad << QByteArray("lighthou") << false;
        QTest::newRow("first and last alone") << pad + "l......u" + pad << QByteArray("lighthou") << false;
        QTest::newRow("a sign is no letter") << pad + "@b[" + pad << QByteArray("`b{") << false;
        QTest::newRow("signs as they are") << pad + "`b{" + pad << QByteArray("`b{") << true;
        QTest::newRow("longer than the text") << QByteArray("abc") << QByteArray("abcd") << false;
    }
    void quickLookFindsTheBytes()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, needle);
        QFETCH(bool, holds);
        QCOMPARE(holdsBytes(text.constData(), text.size(), needle, false), holds);
    }

    // Several threads share the files out, and the pages still come in the
    // walk's order: the first page takes far longer than the rest.
    void pagesComeInTheWalksOrder()
    {
        QVERIFY(writeBytes(at("0slow.htm"), QByteArray("logo.gif\n").repeated(400'000)));
        const Found f = searchFor(root(), QStringLiteral("logo.gif"), {}, {}, {}, 3);
        QStringList names;
        for (const PageHits &p : f.pages)
            names << p.relative;
        QCOMPARE(names, (QStringList{"0slow.htm", "index.htm", "old.htm", "stray.html", "sub/style.css",
                                     "sub/deep/PAGE.HTM"}));
        QCOMPARE(f.pages.first().count, 400'000);
        QCOMPARE(f.totals.matches, 400'000 + 6);
    }

    // What a folder may hold besides pages: a link back to its parent, a
    // pipe, a folder that cannot be read, names with blanks, a newline or
    // bytes that are not UTF-8, a page deleted while the search runs, and a
    // 50 MB page. Nothing hangs, nothing is lost, each skip is counted.
    void oddFoldersAreWalkedSafely()
    {
        QVERIFY(QFile::link(root(), at("sub/loop")));
        QCOMPARE(::mkfifo(QFile::encodeName(at("pipe.htm")).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(at("locked")));
        QVERIFY(writeBytes(at("locked/in.htm"), "logo.gif"));
        ::chmod(QFile::encodeName(at("locked")).constData(), 0);
        const bool lockWorks = ::access(QFile::encodeName(at("locked/in.htm")).constData(), R_OK) != 0;
        QVERIFY(writeBytes(at("a b\nc.htm"), "logo.gif"));
        const int bad = ::open((QFile::encodeName(root()) + "/bad\xff.htm").constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(bad >= 0 && ::write(bad, "logo.gif", 8) == 8 && ::close(bad) == 0);
        QByteArray big(50'000'000, 'x');
        for (qsizetype i = 99; i < big.size(); i += 100)
            big[i] = '\n';
        big.replace(big.size() - 9, 8, "logo.gif");
        QVERIFY(writeBytes(at("sub/big.htm"), big));

        const Found f = searchFor(root(), QStringLiteral("logo.gif"), {}, {}, [this](const PageHits &page) {
            if (page.relative == QLatin1String("a b\nc.htm"))
                QFile::remove(at("index.htm")); // listed already, gone before it is read
        }, 1);
        ::chmod(QFile::encodeName(at("locked")).constData(), 0700);
        ::unlink((QFile::encodeName(root()) + "/bad\xff.htm").constData());
        QStringList names;
        for (const PageHits &p : f.pages)
            names << p.relative;
        QStringList expected{"a b\nc.htm", "old.htm", "stray.html", "sub/big.htm", "sub/style.css",
                             "sub/deep/PAGE.HTM"};
        if (!lockWorks)
            expected.insert(3, QStringLiteral("locked/in.htm"));
        QCOMPARE(names.join(QLatin1Char('|')), expected.join(QLatin1Char('|')));
        QCOMPARE(f.pages[expected.indexOf(QStringLiteral("sub/big.htm"))].hits.first().line, 500'000);
        QCOMPARE(f.totals.skippedLinks, 1);
        QCOMPARE(f.totals.skippedFolders, lockWorks ? 1 : 0);
        QCOMPARE(f.totals.skippedFiles, 2); // the name that is not UTF-8, the page deleted
        QVERIFY(f.totals.problems.join(QLatin1Char('\n')).contains(QStringLiteral("its name is not UTF-8")));
    }

    // The worker thread delivers every page and then its totals, and a stop
    // delivers nothing more.
    void theWorkerDeliversInBatches()
    {
        SearchQuery query;
        query.pattern = QStringLiteral("logo");
        query.folder = root();
        SearchRun run(query, {});
        int pages = 0;
        QObject::connect(&run, &SearchRun::found, [&](const QVector<PageHits> &batch) { pages += batch.size(); });
        QSignalSpy finished(&run, &SearchRun::finished);
        run.start();
        QVERIFY(finished.wait(test::kCeiling));
        QCOMPARE(pages, 5);
        QCOMPARE(finished.first().first().value<SearchTotals>().matches, 6);

        SearchRun stopped(query, {});
        QSignalSpy found(&stopped, &SearchRun::found);
        stopped.start();
        stopped.stop();
        QTest::qWait(50);
        QCOMPARE(found.size(), 0);
        QVERIFY(!stopped.running());
    }
};

QTEST_GUILESS_MAIN(SiteSearchTest)
#include "tst_site_search.moc"
