#include "DataRows.h"
#include "TestFiles.h"
#include "documents/OpenPages.h"

#include <QtTest>

using namespace tw;

namespace {

OpenPage page(const QString &path, int line = 0, int column = 0, int first = 0,
              PageEncoding encoding = PageEncoding::Utf8)
{
    return {path, line, column, first, encoding};
}

// "path" or "*path" for the active one, in order.
QStringList shown(const OpenPages &list)
{
    QStringList out;
    for (int i = 0; i < list.pages.size(); ++i)
        out << (i == list.active ? QStringLiteral("*") : QString()) + list.pages[i].path;
    return out;
}

} // namespace

class OpenPagesTest : public QObject {
    Q_OBJECT
private slots:
    // The bytes on disk, written out: a reader of another version or a person
    // with a text editor meets exactly this.
    void theListIsWrittenAsThisText()
    {
        OpenPages list;
        list.pages = {page(QStringLiteral("/site/a b.htm"), 3, 4, 1),
                      page(QStringLiteral("/site/\n\t\u00e9%.htm"), 0, 0, 0, PageEncoding::LegacyReferences),
                      page(QStringLiteral("/w.htm"), 7, 0, 2, PageEncoding::Legacy)};
        list.active = 1;
        QCOMPARE(formatOpenPages(list), QByteArray("Tagwright open pages 1\n"
                                                   "-\t3\t4\t1\tutf-8\t/site/a%20b.htm\n"
                                                   "*\t0\t0\t0\twindows-1252+references\t/site/%0A%09%C3%A9%25.htm\n"
                                                   "-\t7\t0\t2\twindows-1252\t/w.htm\n"));
    }

    // Any name a page may have comes back as it was, and so do the numbers.
    void oddNamesComeBack_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("blanks") << QStringLiteral("/my site/ index .htm ");
        QTest::newRow("line breaks, tab, CR") << QStringLiteral("/a\nb\r\n\tc.htm");
        QTest::newRow("percent and plus") << QStringLiteral("/100%25+%.htm");
        QTest::newRow("non-ASCII, emoji, NBSP") << QStringLiteral("/p\u00e4ge/\U0001F600\u00a0.html");
        QTest::newRow("replacement character (a name that was not UTF-8)") << QStringLiteral("/x\ufffd.htm");
        QTest::newRow("long") << QStringLiteral("/") + QString(3000, QLatin1Char('n'));
    }
    void oddNamesComeBack()
    {
        QFETCH(QString, path);
        OpenPages list;
        list.pages = {page(QStringLiteral("/first.htm"), 1, 2, 3), page(path, 120000, 9, 119990, PageEncoding::Legacy)};
        list.active = 1;
        QCOMPARE(parseOpenPages(formatOpenPages(list)), list);
    }

    // A damaged list gives what it still holds whole, and nothing else.
    void damagedListsGiveWhatTheyCan_data()
    {
        test::columns<QByteArray, QStringList>("bytes", "pages");
        const QByteArray head = "Tagwright open pages 1\n";
        const QByteArray a = "-\t0\t0\t0\tutf-8\t/a.htm\n";
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("binary garbage") << QByteArray("\xff\xfe\0\x01\n\t\t\t\t\t\n\x80", 12) << QStringList();
        QTest::newRow("cut in the last line") << head + a + "*\t3\t1\t0\tutf-8\t/b.h" << QStringList{"/a.htm"};
        QTest::newRow("cut in the header") << QByteArray("Tagwright open pa") << QStringList();
        QTest::newRow("no header") << a << QStringList{"/a.htm"};
        QTest::newRow("fields missing or extra, bad mark")
            << head + "-\t0\t0\tutf-8\t/x.htm\n-\t0\t0\t0\tutf-8\t/y.htm\textra\n+\t0\t0\t0\tutf-8\t/z.htm\n" + a
            << QStringList{"/a.htm"};
        QTest::newRow("relative, empty, NUL in path")
            << head + "-\t0\t0\t0\tutf-8\trel.htm\n-\t0\t0\t0\tutf-8\t\n-\t0\t0\t0\tutf-8\t/n%00.htm\n" + a
            << QStringList{"/a.htm"};
        QTest::newRow("repeats, two active") << head + "*" + a.mid(1) + a + "*\t0\t0\t0\tutf-8\t/b.htm\n"
                                             << QStringList{"*/a.htm", "/b.htm"};
        QTest::newRow("raw bytes that are not UTF-8")
            << head + "-\t0\t0\t0\tutf-8\t/p\xff\xfe.htm\n" + a << QStringList{"/p\ufffd\ufffd.htm", "/a.htm"};
    }
    void damagedListsGiveWhatTheyCan()
    {
        const auto [bytes, pages] = test::fetch<QByteArray, QStringList>("bytes", "pages");
        QCOMPARE(shown(parseOpenPages(bytes)), pages);
    }

    void badNumbersAndEncodingsCountAsDefaults()
    {
        const OpenPages list =
            parseOpenPages("-\t-3\tx\t99999999999\tebcdic\t/a.htm\n-\t5\t6\t7\tWINDOWS-1252\t/b.htm\n");
        QCOMPARE(list.pages, (QList<OpenPage>{page("/a.htm"), page("/b.htm", 5, 6, 7)}));
        QCOMPARE(list.active, -1);
    }

    void theFileIsReplacedWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("deeper/open-pages"));
        OpenPages list;
        list.pages = {page(QStringLiteral("/a.htm"))};
        list.active = 0;
        QVERIFY(writeOpenPages(path, list));
        QCOMPARE(readOpenPages(path), list);
        QCOMPARE(QDir(dir.filePath("deeper")).entryList(QDir::Files), QStringList{"open-pages"});

        // A folder where the file should be: the write fails with a reason.
        QString error;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("taken"))));
        QVERIFY(!writeOpenPages(dir.filePath(QStringLiteral("taken")), list, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readOpenPages(dir.filePath(QStringLiteral("none"))), OpenPages());
    }

    // Saved pages first, less those the journal restored, then the command
    // line's new ones; the command line's last page is the active one.
    void startPlan_data()
    {
        // "saved": the saved pages opened; "opened": the command line's.
        test::columns<QStringList, QStringList, QStringList, QStringList, QString>("restored", "commandLine", "saved",
                                                                                   "opened", "active");
        QTest::newRow("saved alone") << QStringList() << QStringList() << QStringList{"/a", "/b", "/c"}
                                     << QStringList() << QStringLiteral("/b");
        QTest::newRow("one restored") << QStringList{"/b"} << QStringList() << QStringList{"/a", "/c"}
                                      << QStringList() << QStringLiteral("/b");
        QTest::newRow("command line adds")
            << QStringList() << QStringList{"/d", "/e"} << QStringList{"/a", "/b", "/c"} << QStringList{"/d", "/e"}
            << QStringLiteral("/e");
        QTest::newRow("command line names saved pages")
            << QStringList() << QStringList{"/x/../c", "/a/"} << QStringList{"/a", "/b", "/c"} << QStringList()
            << QStringLiteral("/a/");
        QTest::newRow("command line names a restored page")
            << QStringList{"/d"} << QStringList{"/d", "/d"} << QStringList{"/a", "/b", "/c"} << QStringList() << QStringLiteral("/d");
    }
    void startPlan()
    {
        const auto [restored, commandLine] = test::fetch<QStringList, QStringList>("restored", "commandLine");
        OpenPages saved;
        saved.pages = {page("/a"), page("/b", 4), page("/c")};
        saved.active = 1;
        const ReopenPlan plan = planReopen(saved, restored, commandLine);
        QStringList savedPaths;
        for (const OpenPage &p : plan.saved)
            savedPaths << p.path;
        QTEST(savedPaths, "saved");
        QTEST(plan.commandLine, "opened");
        QTEST(plan.active, "active");
    }
};

QTEST_MAIN(OpenPagesTest)
#include "tst_open_pages.moc"
