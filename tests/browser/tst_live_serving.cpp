// What the live preview serves: the page's bytes as Save writes them, and
// the files of its folder, and only those, as they are on the disk.
#include "browser/FolderReach.h"
#include "browser/LiveServing.h"
#include "site/SiteFolder.h"

#include "DataRows.h"
#include "TestFiles.h"

#include <sys/stat.h>
#include <QtTest>

using namespace tw;

class LiveServingTest : public QObject {
    Q_OBJECT

private slots:
    void savedBytesAreWhatSaveWrites_data()
    {
        tw::test::columns<QByteArray, int, QByteArray, QByteArray>("utf8", "encoding", "expected", "contentType");
        const QByteArray utf8Type("text/html;charset=utf-8");
        const QByteArray legacyType("text/html;charset=windows-1252");
        QTest::newRow("empty page") << QByteArray() << int(PageEncoding::Utf8) << QByteArray("\r\n") << utf8Type;
        QTest::newRow("utf-8 kept, line ends as typed")
            << QByteArray("<p>caf\xc3\xa9 \xe2\x86\x92</p>\n<b>x</b>\r\n") << int(PageEncoding::Utf8)
            << QByteArray("<p>caf\xc3\xa9 \xe2\x86\x92</p>\n<b>x</b>\r\n\r\n") << utf8Type;
        QTest::newRow("stray byte and NUL in utf-8 kept")
            << QByteArray("a\xff" "b\0c", 5) << int(PageEncoding::Utf8) << QByteArray("a\xff" "b\0c\r\n", 7)
            << utf8Type;
        QTest::newRow("windows-1252") << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xc2\x81") << int(PageEncoding::Legacy)
                                      << QByteArray("caf\xe9 \x80 \x81\r\n") << legacyType;
        QTest::newRow("windows-1252 misfit as reference")
            << QByteArray("\xc3\xa9\xe2\x86\x92") << int(PageEncoding::Legacy)
            << QByteArray("\xe9&#8594;\r\n") << legacyType;
        QTest::newRow("references") << QByteArray("\xe2\x86\x92\xc3\xa9") << int(PageEncoding::LegacyReferences)
                                    << QByteArray("&#8594;\xe9\r\n") << legacyType;
    }
    void savedBytesAreWhatSaveWrites()
    {
        auto [utf8, encoding, expected, contentType] = tw::test::fetch<QByteArray, int, QByteArray, QByteArray>(
            "utf8", "encoding", "expected", "contentType");
        const auto e = PageEncoding(encoding);
        QCOMPARE(savedBytes(utf8.constData(), utf8.size(), e), expected);
        QCOMPARE(pageContentType(e), contentType);
    }

    // A 5 MB page (the size where refreshing turns to on demand) is served
    // whole, in both encodings; nothing is cut at 2 MB as setHtml would.
    void largePageIsServedWhole()
    {
        QByteArray text(5 * 1024 * 1024, 'a');
        text.replace(0, 3, "<p>");
        text.append("\xc3\xa9");
        const QByteArray utf8 = savedBytes(text.constData(), text.size(), PageEncoding::Utf8);
        QCOMPARE(utf8.size(), 5 * 1024 * 1024 + 4);
        QVERIFY(utf8.startsWith("<p>aaa"));
        QVERIFY(utf8.endsWith("a\xc3\xa9\r\n"));
        const QByteArray legacy = savedBytes(text.constData(), text.size(), PageEncoding::Legacy);
        QCOMPARE(legacy.size(), 5 * 1024 * 1024 + 3);
        QVERIFY(legacy.endsWith("a\xe9\r\n"));
    }

    void pagePlaces_data()
    {
        tw::test::columns<QString, bool, QString, QString>("caption", "untitled", "path", "address");
        QTest::newRow("saved page") << "/home/ann/site/index.htm" << false << "/home/ann/site/index.htm"
                                    << "twlive:/home/ann/site/index.htm";
        QTest::newRow("blank, hash and percent")
            << "/home/ann/my site/a#1 50%.htm" << false << "/home/ann/my site/a#1 50%.htm"
            << "twlive:/home/ann/my%20site/a%231%2050%25.htm";
        // Untitled pages lie in no folder: their path is no absolute one.
        QTest::newRow("untitled") << "Document 3" << true << "Document 3" << "twlive:Document%203";
        QTest::newRow("slash in an untitled caption") << "../Document 5/../x" << true << "_Document 5_.._x"
                                                      << "twlive:_Document%205_.._x";
    }
    void pagePlaces()
    {
        auto [caption, untitled, path, address] = tw::test::fetch<QString, bool, QString, QString>(
            "caption", "untitled", "path", "address");
        QCOMPARE(livePagePath(caption, untitled), path);
        const QUrl url = liveAddress(path);
        QCOMPARE(url.toString(QUrl::FullyEncoded), address);
        QCOMPARE(livePath(url), path);
        // A saved page's relative picture resolves in its folder; an untitled
        // page reaches no folder at all, not even the working one.
        if (untitled) {
            QCOMPARE(reachableFolders(path), QStringList());
            QCOMPARE(folderProblem(path), QString());
            QCOMPARE(int(reachOf(QDir::current().filePath(QStringLiteral("a.png")), reachableFolders(path))),
                     int(Reach::Outside));
        } else {
            QCOMPARE(livePath(url.resolved(QUrl(QStringLiteral("pics/a.png")))),
                     QFileInfo(path).absolutePath() + QStringLiteral("/pics/a.png"));
        }
    }

    // Only a change to a script (or noscript) element's text loads the page anew.
    void scriptChangesAreFound_data()
    {
        tw::test::columns<QString, QString, bool>("before", "after", "differ");
        QTest::newRow("nothing shown yet") << QString() << "<p>a" << true;
        QTest::newRow("text outside") << "<p>a<script>x()</script>" << "<p>ab<script>x()</script>" << false;
        QTest::newRow("inside a script") << "<SCRIPT>x()</SCRIPT>" << "<SCRIPT>x(1)</SCRIPT>" << true;
        QTest::newRow("script attribute") << "<script src=a.js></script>" << "<script src=b.js></script>" << true;
        QTest::newRow("script added") << "<p>" << "<p><script>" << true;
        QTest::newRow("unclosed script grows") << "<script>x" << "<script>xy" << true;
        QTest::newRow("noscript text") << "<noscript>a</noscript>" << "<noscript>b</noscript>" << true;
        QTest::newRow("names that only begin alike") << "<scripts>a<noscripted>" << "<scripts>b<noscripted>" << false;
    }
    void scriptChangesAreFound()
    {
        auto [before, after, differ] = tw::test::fetch<QString, QString, bool>("before", "after", "differ");
        QCOMPARE(liveScriptsDiffer(before, after), differ);
    }

    // The page's own address gets the bytes in memory (its file on the disk may
    // differ or not exist); other addresses get the disk's files, read only.
    void requestsAreAnswered()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString page = dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(test::writeBytes(page, "<p>on disk</p>"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("pics")));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("pics/a.png")), "\x89PNG"));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("style.css")), "p{}"));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("locked.css")), "p{}"));
        QFile::setPermissions(dir.filePath(QStringLiteral("locked.css")), QFileDevice::WriteOwner);
        const QByteArray type("text/html;charset=utf-8");
        const auto ask = [&](const QString &relative) {
            return answerLiveRequest(liveAddress(page).resolved(QUrl(relative)), page, "<p>typed</p>\r\n", type);
        };

        LiveAnswer own = ask(QStringLiteral("page.htm#top"));
        QCOMPARE(int(own.kind), int(LiveAnswer::Kind::Bytes));
        QCOMPARE(own.bytes, QByteArray("<p>typed</p>\r\n"));
        QCOMPARE(own.contentType, type);

        LiveAnswer picture = ask(QStringLiteral("pics/a.png"));
        QCOMPARE(int(picture.kind), int(LiveAnswer::Kind::File));
        QCOMPARE(picture.path, dir.filePath(QStringLiteral("pics/a.png")));
        QCOMPARE(picture.contentType, QByteArray("image/png"));

        QVERIFY(picture.device && picture.device->isOpen());
        QCOMPARE(picture.device->readAll(), QByteArray("\x89PNG"));
        QCOMPARE(ask(QStringLiteral("style.css")).contentType, QByteArray("text/css"));

        QCOMPARE(int(ask(QStringLiteral("missing.png")).kind), int(LiveAnswer::Kind::Missing));
        QCOMPARE(int(ask(QStringLiteral("pics")).kind), int(LiveAnswer::Kind::Missing));
        QCOMPARE(int(answerLiveRequest(QUrl(QStringLiteral("file:///etc/hostname")), page, "x", type).kind),
                 int(LiveAnswer::Kind::Missing));
        if (geteuid() != 0) // root reads any file
            QCOMPARE(int(ask(QStringLiteral("locked.css")).kind), int(LiveAnswer::Kind::Denied));
        // A pipe in the folder would hold whoever opens it.
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.css"))).constData(), 0600) == 0);
        QCOMPARE(int(ask(QStringLiteral("pipe.css")).kind), int(LiveAnswer::Kind::Denied));
        QCOMPARE(test::readBytes(page), QByteArray("<p>on disk</p>"));
    }

    // Nothing out of the page's folder is served, by any name that leads there,
    // whether it exists or not.
    void nothingOutOfTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("site/sub")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("site-2")));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("secret.txt")), "secret"));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("site-2/secret.txt")), "secret"));
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("site/sub/in.txt")), "in"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("secret.txt")), dir.filePath(QStringLiteral("site/out.txt"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("site/sub")), dir.filePath(QStringLiteral("site/alias"))));
        const QString page = dir.filePath(QStringLiteral("site/page.htm"));
        const QString site = dir.filePath(QStringLiteral("site"));
        const struct {
            QString address;
            LiveAnswer::Kind kind;
        } rows[] = {
            {site + "/sub/in.txt", LiveAnswer::Kind::File},
            {site + "/alias/in.txt", LiveAnswer::Kind::File}, // a link within the folder
            {site + "/out.txt", LiveAnswer::Kind::Denied}, // a link out of it
            {site + "/../secret.txt", LiveAnswer::Kind::Denied},
            {site + "/%2e%2e/secret.txt", LiveAnswer::Kind::Denied},
            {site + "/sub/%2E%2E/%2E%2E/secret.txt", LiveAnswer::Kind::Denied},
            {site + "-2/secret.txt", LiveAnswer::Kind::Denied}, // a folder named alike
            {dir.filePath(QStringLiteral("gone.txt")), LiveAnswer::Kind::Denied},
            {QStringLiteral("/etc/passwd"), LiveAnswer::Kind::Denied},
            {QStringLiteral("/dev/zero"), LiveAnswer::Kind::Denied},
        };
        for (const auto &row : rows) {
            const QUrl url(QStringLiteral("twlive:") + row.address);
            const LiveAnswer answer = answerLiveRequest(url, page, "x", "text/html");
            QVERIFY2(answer.kind == row.kind, qPrintable(url.toString()));
            QCOMPARE(bool(answer.device), row.kind == LiveAnswer::Kind::File);
        }
    }

    void linksLeadToFiles_data()
    {
        tw::test::columns<QString, QString>("link", "address");
        QTest::newRow("page of the folder") << "twlive:/home/ann/site/b.htm" << "file:///home/ann/site/b.htm";
        QTest::newRow("anchor kept") << "twlive:/home/ann/site/b.htm#part2" << "file:///home/ann/site/b.htm#part2";
        QTest::newRow("blank in the name") << "twlive:/home/ann/my%20site/b.htm" << "file:///home/ann/my site/b.htm";
        QTest::newRow("web address as it is") << "https://example.org/a?b=1" << "https://example.org/a?b=1";
        QTest::newRow("from a page not saved") << "twlive:b.htm" << "";
    }
    void linksLeadToFiles()
    {
        auto [link, address] = tw::test::fetch<QString, QString>("link", "address");
        QCOMPARE(browserAddressFor(QUrl(link)), address);
    }

    void unreadableFolderIsNamed()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("page.htm"))), QString());
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("gone/page.htm"))),
                 QStringLiteral("The folder \"%1\" cannot be read (it does not exist): pictures, style sheets "
                                "and scripts the page takes from it are not shown.")
                     .arg(dir.filePath(QStringLiteral("gone"))));
        if (geteuid() == 0)
            return; // root reads any folder
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked));
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        QVERIFY(folderProblem(locked + QStringLiteral("/page.htm")).contains(QStringLiteral("(permission denied)")));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // A page inside the open site may take what the whole site holds; other
    // pages keep to their own folder.
    void siteFolderJoinsTheReach()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString site = dir.filePath(QStringLiteral("site"));
        QVERIFY(QDir().mkpath(site + QStringLiteral("/pages/deep")));
        QVERIFY(QDir().mkpath(site + QStringLiteral("/css")));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("site-2"))));
        QVERIFY(test::writeBytes(site + QStringLiteral("/css/s.css"), "p{}"));
        QVERIFY(QFile::link(site + QStringLiteral("/pages"), dir.filePath(QStringLiteral("alias"))));
        const struct {
            QString page;
            QString site;
            QStringList folders;
        } rows[] = {
            {site + "/pages/a.htm", site, {site + "/pages", site}},
            {site + "/pages/deep/a.htm", site + "/", {site + "/pages/deep", site}},
            {site + "/a.htm", site, {site}},
            {site + "/pages/a.htm", QString(), {site + "/pages"}},
            {dir.filePath("site-2/a.htm"), site, {dir.filePath("site-2")}}, // a folder named alike
            {dir.filePath("a.htm"), site, {dir.path()}},
            {dir.filePath("alias/a.htm"), site, {dir.filePath("alias"), site}}, // through a link into it
        };
        for (const auto &row : rows)
            QCOMPARE(reachableFolders(row.page, row.site), row.folders);

        const QString css = site + QStringLiteral("/pages/../css/s.css");
        QCOMPARE(int(reachOf(css, reachableFolders(site + QStringLiteral("/pages/a.htm")))), int(Reach::Outside));
        SiteFolder::instance().setFolder(site);
        QCOMPARE(int(reachOf(css, reachableFolders(site + QStringLiteral("/pages/a.htm")))), int(Reach::Inside));
        const QUrl url(QStringLiteral("twlive:") + css);
        QCOMPARE(int(answerLiveRequest(url, site + QStringLiteral("/pages/a.htm"), "x", "text/html").kind),
                 int(LiveAnswer::Kind::File));
        SiteFolder::instance().setFolder(QString());
    }
};

QTEST_GUILESS_MAIN(LiveServingTest)
#include "tst_live_serving.moc"
