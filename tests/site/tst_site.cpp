// The site's folder without widgets: kinds of files, addresses between
// them, open pages after a rename, names and folders that cannot be used,
// and the dock's saved state read back from anything.
#include "site/SiteFiles.h"
#include "site/SiteFolder.h"
#include "site/SiteState.h"

#include "DataRows.h"
#include "TestFiles.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

using namespace tw;
using namespace tw::site;

class SiteTest : public QObject {
    Q_OBJECT

private slots:
    void kindsByName()
    {
        const struct {
            const char *name;
            WebKind kind;
        } rows[] = {
            {"index.htm", WebKind::Page},   {"A.HTML", WebKind::Page},        {"x.xhtml", WebKind::Page},
            {"site.css", WebKind::StyleSheet}, {"app.js", WebKind::Script},   {"Logo.PNG", WebKind::Picture},
            {"p.jpeg", WebKind::Picture},   {"icon.svg", WebKind::Picture},   {"notes.txt", WebKind::Other},
            {".htm", WebKind::Other},       {"htm", WebKind::Other},          {"page.htm~", WebKind::Other},
            {"archive.tar.gz", WebKind::Other}, {"my page.htm", WebKind::Page},
        };
        for (const auto &row : rows)
            QVERIFY2(webKindOf(QString::fromUtf8(row.name)) == row.kind, row.name);
    }

    void addressesFromThePage_data()
    {
        test::columns<QString, QString, QString>("page", "target", "address");
        QTest::newRow("beside") << "/s/a.htm" << "/s/b.gif" << "b.gif";
        QTest::newRow("below") << "/s/a.htm" << "/s/img/b.gif" << "img/b.gif";
        QTest::newRow("above") << "/s/pages/a.htm" << "/s/b.htm" << "../b.htm";
        QTest::newRow("across") << "/s/x/y/a.htm" << "/s/img/b.gif" << "../../img/b.gif";
        QTest::newRow("blank and accents as spelt") << "/s/a.htm" << "/s/my pic é.png" << "my pic é.png";
        QTest::newRow("marks that change an address") << "/s/a.htm" << "/s/100%#1?.png" << "100%25%231%3F.png";
        QTest::newRow("backslash in a name") << "/s/a.htm" << "/s/a\\b.png" << "a%5Cb.png";
        QTest::newRow("doubled separators") << "/s//p/./a.htm" << "/s/p//b.htm" << "b.htm";
        QTest::newRow("a folder alike by name") << "/s/a.htm" << "/s-2/b.htm" << "../s-2/b.htm";
    }
    void addressesFromThePage()
    {
        const auto [page, target, address] = test::fetch<QString, QString, QString>("page", "target", "address");
        QCOMPARE(relativeAddress(page, target), address);
    }

    void openPagesFollowARename()
    {
        const struct {
            const char *open, *oldPath, *newPath, *now;
        } rows[] = {
            {"/s/a.htm", "/s/a.htm", "/s/b.htm", "/s/b.htm"},
            {"/s/sub/a.htm", "/s/sub", "/s/pages", "/s/pages/a.htm"},
            {"/s/sub/deep/a.htm", "/s/sub", "/s/other", "/s/other/deep/a.htm"},
            {"/s/sub-2/a.htm", "/s/sub", "/s/x", ""}, // alike by name only
            {"/s/a.htm", "/s/b.htm", "/s/c.htm", ""},
            {"/s/sub/a.htm", "/s/sub/", "/s/new/", "/s/new/a.htm"},
        };
        for (const auto &row : rows)
            QCOMPARE(renamedPath(QString::fromUtf8(row.open), QString::fromUtf8(row.oldPath),
                                 QString::fromUtf8(row.newPath)),
                     QString::fromUtf8(row.now));
    }

    void namesThatCannotBeUsed()
    {
        QCOMPARE(nameProblem(QStringLiteral("new page.htm")), QString());
        QCOMPARE(nameProblem(QStringLiteral("é\tx")), QString());
        QCOMPARE(nameProblem(QStringLiteral("  ")), QStringLiteral("the name is empty."));
        QCOMPARE(nameProblem(QStringLiteral("a/b")), QStringLiteral("a name cannot hold a \"/\"."));
        QCOMPARE(nameProblem(QStringLiteral("..")), QStringLiteral("\".\" and \"..\" name folders that are there already."));
        QCOMPARE(nameProblem(QString(u'a') + QChar(0)), QStringLiteral("a name cannot hold a NUL character."));
        QCOMPARE(nameProblem(QString(128, QChar(0xe9))), QStringLiteral("the name is too long."));
    }

    // What the dock says of a folder it cannot show; a pipe is never opened.
    void foldersThatCannotBeShown()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("file")), "x"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
        QCOMPARE(folderProblem(dir.path()), QString());
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("gone"))), QStringLiteral("it does not exist."));
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("file"))), QStringLiteral("it is not a folder."));
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("pipe"))), QStringLiteral("it is not a folder."));
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("file/x"))),
                 QStringLiteral("a part of its path is not a folder."));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("loop")), dir.filePath(QStringLiteral("loop"))));
        QCOMPARE(folderProblem(dir.filePath(QStringLiteral("loop"))),
                 QStringLiteral("its path holds a loop of symbolic links."));
        if (geteuid() == 0)
            return; // root lists any folder
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(locked));
        QFile::setPermissions(locked, QFileDevice::WriteOwner);
        QCOMPARE(folderProblem(locked), QStringLiteral("permission denied."));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void savedStateReadsBackFromAnything_data()
    {
        test::columns<QByteArray, QString, QStringList, bool, int>("ini", "folder", "expanded", "shown", "edge");
        QTest::newRow("nothing") << QByteArray() << QString() << QStringList() << false << 0;
        QTest::newRow("as written")
            << QByteArray("[Site]\nfolder=/home/ann/site\nexpanded=img, pages/old\nshown=true\narea=right\n")
            << "/home/ann/site" << QStringList{"img", "pages/old"} << true << 1;
        QTest::newRow("one subfolder") << QByteArray("[Site]\nfolder=/s/\nexpanded=img\narea=Bottom\n") << "/s"
                                       << QStringList{"img"} << false << 3;
        QTest::newRow("garbage")
            << QByteArray("[Site]\nfolder=relative/site\nexpanded=../up, /abs, ., a/../.., img, img, a//b\n"
                          "shown=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3)\narea=middle\n")
            << QString() << QStringList{"img", "a/b"} << false << 0;
        QTest::newRow("a list where a text belongs") << QByteArray("[Site]\nfolder=/a, /b\nshown=1, 2\n") << QString()
                                                     << QStringList() << false << 0;
    }
    void savedStateReadsBackFromAnything()
    {
        QFETCH(QByteArray, ini);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.conf"));
        QVERIFY(test::writeBytes(path, ini));
        QSettings store(path, QSettings::IniFormat);
        const SiteState state = loadSiteState(store);
        QTEST(state.folder, "folder");
        QTEST(state.expanded, "expanded");
        QTEST(state.shown, "shown");
        QTEST(int(state.edge), "edge");
    }

    void savedStateRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.conf"));
        const SiteState written{QStringLiteral("/home/ann/my site, new"),
                                {QStringLiteral("a b"), QStringLiteral("x,y/z")}, true, SiteState::Edge::Top};
        {
            QSettings store(path, QSettings::IniFormat);
            saveSiteState(store, written);
        }
        QSettings store(path, QSettings::IniFormat);
        QVERIFY(loadSiteState(store) == written);
    }

    void siteFolderTellsOnce()
    {
        SiteFolder &site = SiteFolder::instance();
        QSignalSpy changed(&site, &SiteFolder::changed);
        site.setFolder(QStringLiteral("/tmp/x/../site/"));
        site.setFolder(QStringLiteral("/tmp/site"));
        QCOMPARE(site.folder(), QStringLiteral("/tmp/site"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(QCoreApplication::instance()->property(kSiteFolderProperty).toString(), QStringLiteral("/tmp/site"));
    }
};

QTEST_GUILESS_MAIN(SiteTest)
#include "tst_site.moc"
