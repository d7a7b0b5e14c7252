#include "DataRows.h"
#include "Niceness.h"
#include "checking/CheckerRun.h"
#include "checking/PageChecker.h"
#include "checking/TextPlaces.h"
#include "pages/PageEncoding.h"

#include <QDir>
#include <QSignalSpy>

#include <atomic>

using namespace tw::checking;

// Where tidy's lines and columns land in the editor's UTF-8 text.
class TextPlacesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setCheckerPath(QStringLiteral(TW_CHECKER)); }
    void spans_data()
    {
        tw::test::columns<QByteArray, bool, int, int, qint64, qint64>("text", "legacy", "line", "column", "start", "end");

        QTest::newRow("tag at start") << QByteArray("<img src=a>x") << false << 1 << 1 << 0LL << 11LL;
        QTest::newRow("tag runs to line end") << QByteArray("ab<img src=\nx>") << false << 1 << 3 << 2LL << 11LL;
        QTest::newRow("entity") << QByteArray("a &bogus; b") << false << 1 << 3 << 2LL << 9LL;
        QTest::newRow("entity without semicolon") << QByteArray("a &copy b") << false << 1 << 3 << 2LL << 7LL;
        QTest::newRow("entity cut by a tag") << QByteArray("a &amp<b>") << false << 1 << 3 << 2LL << 6LL;
        QTest::newRow("one character") << QByteArray("abc") << false << 1 << 2 << 1LL << 2LL;
        QTest::newRow("tab to column 9") << QByteArray("\t<b>") << false << 1 << 9 << 1LL << 4LL;
        QTest::newRow("tab after three") << QByteArray("abc\t<b>") << false << 1 << 9 << 4LL << 7LL;
        QTest::newRow("two tabs") << QByteArray("a\t\tb") << false << 1 << 17 << 3LL << 4LL;
        QTest::newRow("inside a tab") << QByteArray("\tb") << false << 1 << 5 << 0LL << 1LL;
        QTest::newRow("two-byte character") << QByteArray("\xc3\xa9<b>") << false << 1 << 2 << 2LL << 5LL;
        QTest::newRow("four-byte character") << QByteArray("\xf0\x9f\x98\x80<b>") << false << 1 << 2 << 4LL << 7LL;
        QTest::newRow("the character itself") << QByteArray("a\xe2\x86\x92") << false << 1 << 2 << 1LL << 4LL;
        QTest::newRow("CR LF") << QByteArray("ab\r\ncd<b>") << false << 2 << 3 << 6LL << 9LL;
        QTest::newRow("CR") << QByteArray("ab\rcd<b>") << false << 2 << 3 << 5LL << 8LL;
        QTest::newRow("CR CR") << QByteArray("a\r\r<b>") << false << 3 << 1 << 3LL << 6LL;
        QTest::newRow("LF CR") << QByteArray("a\n\r<b>") << false << 3 << 1 << 3LL << 6LL;
        QTest::newRow("byte order mark at start") << QByteArray("\xef\xbb\xbf<b>") << false << 1 << 1 << 3LL << 6LL;
        QTest::newRow("byte order mark mid-line") << QByteArray("a\xef\xbb\xbf<b>") << false << 1 << 3 << 4LL << 7LL;
        QTest::newRow("control characters take no column") << QByteArray("a\x01\x0c<b>") << false << 1 << 2 << 3LL << 6LL;
        QTest::newRow("truncated sequence is one") << QByteArray("a\xe2\x82<b>") << false << 1 << 3 << 3LL << 6LL;
        QTest::newRow("stray byte is one") << QByteArray("a\x80<b>") << false << 1 << 3 << 2LL << 5LL;
        QTest::newRow("overlong sequence is one") << QByteArray("a\xc0\x80<b>") << false << 1 << 3 << 3LL << 6LL;
        QTest::newRow("beyond the line") << QByteArray("ab\ncd") << false << 1 << 9 << 2LL << 2LL;
        QTest::newRow("beyond the text") << QByteArray("ab\ncd") << false << 7 << 1 << 5LL << 5LL;
        QTest::newRow("whole page") << QByteArray("ab") << false << 0 << 0 << 0LL << 0LL;
        QTest::newRow("legacy: one byte each") << QByteArray("\xe2\x80\x9cq\xe2\x80\x9d<b>") << true << 1 << 4 << 7LL << 10LL;
        QTest::newRow("legacy: a reference is wide") << QByteArray("\xe2\x86\x92<b>") << true << 1 << 8 << 3LL << 6LL;
        QTest::newRow("legacy: undefined byte takes none") << QByteArray("a\xc2\x81<b>") << true << 1 << 2 << 3LL << 6LL;
        QTest::newRow("legacy: undefined 0x9D takes none") << QByteArray("a\xc2\x9d<b>") << true << 1 << 2 << 3LL << 6LL;
        QTest::newRow("legacy: after an undefined byte") << QByteArray("a\xc2\x81" "b<b>") << true << 1 << 3 << 4LL << 7LL;
        QTest::newRow("UTF-8: U+0081 takes a column") << QByteArray("a\xc2\x81<b>") << false << 1 << 3 << 3LL << 6LL;
        QTest::newRow("legacy: byte order mark is a reference") << QByteArray("\xef\xbb\xbf<b>") << true << 1 << 9 << 3LL << 6LL;
        QTest::newRow("legacy: tab") << QByteArray("\xc3\xa9\t<b>") << true << 1 << 9 << 3LL << 6LL;
    }
    void spans()
    {
        auto [text, legacy, line, column, start, end] = tw::test::fetch<QByteArray, bool, int, int, qint64, qint64>(
            "text", "legacy", "line", "column", "start", "end");
        const QList<Span> got = spansOf(text.constData(), text.size(), legacy, {TidyPlace{line, column}});
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].start, start);
        QCOMPARE(got[0].end, end);
    }

    // Real tidy over pages with tabs, line ends of each kind and multi-byte
    // characters: every message about an <img> points at that tag.
    void placesInRealPages_data()
    {
        tw::test::columns<QByteArray, bool, int>("text", "legacy", "images");
        const QDir pages(QStringLiteral(TW_CHECK_PAGES));
        const auto page = [&pages](const char *name) {
            QFile f(pages.filePath(QLatin1String(name)));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QTest::newRow("tabs") << page("tabs.htm") << false << 2;
        QTest::newRow("CR LF") << page("crlf.htm") << false << 1;
        QTest::newRow("CR") << page("cr.htm") << false << 1;
        QTest::newRow("mixed ends") << page("mixedends.htm") << false << 2;
        QTest::newRow("multi-byte") << page("multibyte.htm") << false << 2;
        QTest::newRow("byte order mark") << page("bom.htm") << false << 1;
        QTest::newRow("broken bytes") << page("badbytes.htm") << false << 4;
        // The editor's UTF-8 text of a Windows-1252 page: curly quotes, an
        // arrow the code page lacks, an undefined byte, tabs.
        QTest::newRow("windows-1252") << QByteArray("<title>x</title>\n\xe2\x80\x9cq\xe2\x80\x9d \xe2\x86\x92 "
                                                    "\xc2\x81\t<img src=a>\r\n\t\xc3\xa9<img src=b>\r<img src=c>")
                                      << true << 3;
    }
    void placesInRealPages()
    {
        auto [text, legacy, images] = tw::test::fetch<QByteArray, bool, int>("text", "legacy", "images");
        int seen = 0;
        for (const Problem &p : checkPage(text, legacy)) {
            if (!p.message.text.startsWith(QLatin1String("<img> lacks \"alt\"")))
                continue;
            ++seen;
            const QByteArray at = text.mid(p.span.start, p.span.end - p.span.start);
            QVERIFY2(at.startsWith("<img") && at.endsWith('>'),
                     qPrintable(QStringLiteral("line %1 column %2 gave '%3'")
                                    .arg(p.message.line).arg(p.message.column).arg(QString::fromUtf8(at))));
        }
        QCOMPARE(seen, images);
    }

    void windows1252_data()
    {
        tw::test::columns<QByteArray, QByteArray>("utf8", "bytes");
        QTest::newRow("ascii") << QByteArray("<p>a\tb\r\n") << QByteArray("<p>a\tb\r\n");
        QTest::newRow("latin-1") << QByteArray("caf\xc3\xa9 \xc2\xa0") << QByteArray("caf\xe9 \xa0");
        QTest::newRow("high half") << QByteArray("\xe2\x82\xac\xe2\x80\x9c\xc5\xb8") << QByteArray("\x80\x93\x9f");
        QTest::newRow("undefined bytes") << QByteArray("\xc2\x81\xc2\x9d") << QByteArray("\x81\x9d");
        QTest::newRow("misfit as reference") << QByteArray("a\xe2\x86\x92" "b") << QByteArray("a&#8594;b");
        QTest::newRow("emoji as reference") << QByteArray("\xf0\x9f\x98\x80") << QByteArray("&#128512;");
        QTest::newRow("stray byte kept") << QByteArray("a\x93z") << QByteArray("a\x93z");
        QTest::newRow("surrogate bytes kept") << QByteArray("a\xed\xa0\x80z") << QByteArray("a\xed\xa0\x80z");
    }
    void windows1252()
    {
        auto [utf8, bytes] = tw::test::fetch<QByteArray, QByteArray>("utf8", "bytes");
        QCOMPARE(windows1252ForCheck(utf8.constData(), utf8.size()), bytes);
    }

    // Every byte of a Windows-1252 page, read into the editor, is checked as itself.
    void windows1252MatchesTheEditorsReading()
    {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        QByteArray utf8(3 * 256, '\0');
        utf8.resize(tw::legacyToUtf8(all.constData(), all.size(), utf8.data()));
        QCOMPARE(windows1252ForCheck(utf8.constData(), utf8.size()), all);
    }

    void nesting_data()
    {
        tw::test::columns<QByteArray, int>("page", "depth");
        QTest::newRow("flat") << QByteArray("<p>a<br><img src=x><hr/>") << 1;
        QTest::newRow("closed") << QByteArray("<div><div></div><div></div></div>") << 2;
        QTest::newRow("unclosed") << QByteArray("<div><b><i>x") << 3;
        QTest::newRow("end tag closes paragraphs and cells") << QByteArray("<div><table><tr><td><p>x</table><p></div><div>") << 5;
        QTest::newRow("end tag leaves inline elements open") << QByteArray("<div><b><i></div><div>") << 4;
        QTest::newRow("end tag leaves blocks open") << QByteArray("<a><div></a><a><div></a>") << 4;
        QTest::newRow("misnested inline elements") << QByteArray("<b><i></b></i><p>") << 2;
        QTest::newRow("list items end each other") << QByteArray("<ul><li>a<li>b<li>c</ul>") << 2;
        QTest::newRow("script text opens nothing") << QByteArray("<script>a='<div><div>'</script><p>") << 1;
        QTest::newRow("comment opens nothing") << QByteArray("<!-- <div><div> --><p>") << 1;
        QTest::newRow("upper case") << QByteArray("<DIV><div></DIV><div>") << 2;
    }
    void nesting()
    {
        auto [page, depth] = tw::test::fetch<QByteArray, int>("page", "depth");
        QCOMPARE(nestingDepth(page.constData(), page.size(), 100), depth);
    }

    void tooDeepGivesOneRow()
    {
        const QByteArray page = "<html><body>" + QByteArray("<div>").repeated(kDeepestNesting + 1);
        const QList<CheckMessage> messages = tidyMessages(page.constData(), page.size(), Input::Utf8);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].kind, Kind::Error);
        QCOMPARE(messages[0].text, QString::fromLatin1(kTooDeep));
        QCOMPARE(messages[0].line, 0);
    }

    // Checks run in the checker process, never on the window's thread: a normal
    // page gives the rows tidy gives in this process; a checker that hangs,
    // crashes or is missing gives the one row saying why. The answer never comes
    // before check() returns.
    void checksRunInTheChecker_data()
    {
        tw::test::columns<QByteArray, QString, QString>("page", "checker", "failure");
        const QString built = QStringLiteral(TW_CHECKER);
        const QByteArray normal = "<html><head><title>T</title></head>\n<body>\n<p>caf\xc3\xa9\t<img src=a.gif>\r<foo>x</foo>";
        QTest::newRow("normal page") << normal << built << QString();
        QTest::newRow("hangs") << QByteArray("<!--hang--><p>x") << built
                               << "the page could not be checked: the check took longer than 2 seconds";
        QTest::newRow("crashes") << QByteArray("<!--crash--><p>x") << built
                                 << "the page could not be checked: the checker ended unexpectedly (signal 6)";
        QTest::newRow("missing") << normal << QStringLiteral("/nonexistent/tagwright-check")
                                 << "the page could not be checked: the checker /nonexistent/tagwright-check "
                                    "could not be started (";
    }
    void checksRunInTheChecker()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, checker);
        QFETCH(QString, failure);
        qputenv("TAGWRIGHT_CHECKER_FAULTS", "1");
        qputenv("TAGWRIGHT_CHECK_SECONDS", "2");
        setCheckerPath(checker);
        PageChecker pageChecker;
        QObject receiver;
        QList<Problem> got;
        bool answered = false;
        pageChecker.check(page, false, &receiver, {}, [&](const QList<Problem> &problems, bool) {
            got = problems;
            answered = true;
        });
        QVERIFY(!answered);
        QTRY_VERIFY_WITH_TIMEOUT(answered, 60000);
        setCheckerPath(QStringLiteral(TW_CHECKER));
        if (failure.isEmpty()) {
            QCOMPARE(got, listOrder(checkPage(page, false)));
            QVERIFY(got.size() > 3);
            return;
        }
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].message.kind, Kind::Error);
        QCOMPARE(got[0].message.line, 0);
        QVERIFY2(got[0].message.text.startsWith(failure), qPrintable(got[0].message.text));
    }

    // A check under way whose text has changed is stopped for the newer one.
    void newerCheckStopsTheOneUnderWay()
    {
        qputenv("TAGWRIGHT_CHECKER_FAULTS", "1");
        qputenv("TAGWRIGHT_CHECK_SECONDS", "600");
        PageChecker pageChecker;
        QObject receiver;
        std::atomic<bool> firstWanted{true};
        QList<bool> ran;
        QSignalSpy started(&pageChecker, &PageChecker::checkStarted);
        pageChecker.check("<!--hang-->", false, &receiver, [&firstWanted] { return firstWanted.load(); },
                          [&ran](const QList<Problem> &, bool checked) { ran << checked; });
        QVERIFY(started.wait(60000));
        // The checker runs behind the window's thread.
        QTRY_COMPARE_WITH_TIMEOUT(tw::test::nicenessOfChildren(), QList<int>{5}, 60000);
        firstWanted = false;
        pageChecker.check("<p>x", false, &receiver, {}, [&ran](const QList<Problem> &, bool checked) { ran << checked; });
        QTRY_COMPARE_WITH_TIMEOUT(ran.size(), 2, 60000);
        QCOMPARE(ran, QList<bool>({false, true}));
    }
};

QTEST_MAIN(TextPlacesTest)
#include "tst_text_places.moc"
