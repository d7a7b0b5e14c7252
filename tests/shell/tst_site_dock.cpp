// The Site dock in a started frame, offscreen: a folder chosen from the File
// menu, pages opened once, renames that open windows follow, drops that
// write tags, and what it says of a folder it cannot show.
#include "StartedFrame.h"
#include "TestFiles.h"
#include "shell/FrameMenus.h"
#include "shell/SiteDock.h"
#include "shell/SiteWiring.h"
#include "site/SiteFolder.h"
#include "site/SiteTree.h"

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeView>
#include <QAccessible>
#include <QtTest>

#include <sys/stat.h>

using namespace tw;
using tw::test::ScriptedDialogs;

class SiteDockTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_site;

    QString at(const char *name) const { return m_site + QLatin1Char('/') + QLatin1String(name); }
    SiteDock *dock() const { return m_frame->findChild<SiteDock *>(); }
    QModelIndex row(const char *name) const { return dock()->indexOf(at(name)); }
    // Opens the site from the frame's File menu and waits for its listing.
    SiteDock *openSite()
    {
        m_dialogs.folder(m_site);
        tw::test::menuItem(m_frame->menus().mnuFile, "mnuFileOpenFolder")->trigger();
        SiteDock *d = dock();
        if (d && !QTest::qWaitFor([d] { return d->model()->rowCount(d->view()->rootIndex()) == 5; },
                                  tw::test::kCeiling))
            return nullptr;
        return d;
    }
    QStringList listed(const QModelIndex &parent) const
    {
        QStringList names;
        for (int i = 0; i < dock()->model()->rowCount(parent); ++i)
            names << dock()->model()->index(i, 0, parent).data().toString();
        return names;
    }
    // Drops a file of the dock at the start of the editor's line `line`.
    bool drop(SourceEditor *editor, const char *file, int position)
    {
        std::unique_ptr<QMimeData> mime(dock()->model()->mimeData({row(file)}));
        const int x = int(editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(position)));
        const int y = int(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(position)));
        const QPointF point(x + 1, y + 2);
        QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(point, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &dropped);
        return dropped.isAccepted();
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dialogs = ScriptedDialogs();
        tw::test::startIn(m_dir.path());
        QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright")).remove(QStringLiteral("Site"));
        QVERIFY(tw::test::writeBytes(m_dir.filePath(QStringLiteral("Template.html")), "<P>new</P>"));
        m_site = m_dir.filePath(QStringLiteral("site"));
        QDir(m_site).removeRecursively();
        QVERIFY(QDir().mkpath(at("img")));
        QVERIFY(QDir().mkpath(at("pages")));
        for (const char *name : {"b.htm", "Notes.txt", "A.htm", "img/x.png", "pages/p.htm"})
            QVERIFY(tw::test::writeBytes(at(name), "ab"));
    }
    void cleanup() { closeFrame(); }

    // Folders first, then files, by name; web files plain, others dimmed.
    // Enter on a page opens it once; again, its window comes to the front.
    void folderListedAndPagesOpenedOnce()
    {
        frmMain &frame = open();
        SiteDock *d = openSite();
        QVERIFY(d && d->isVisible());
        QCOMPARE(SiteFolder::instance().folder(), m_site);
        QTRY_COMPARE_WITH_TIMEOUT(listed(d->view()->rootIndex()),
                                  (QStringList{"img", "pages", "A.htm", "b.htm", "Notes.txt"}), tw::test::kCeiling);
        QVERIFY(!row("b.htm").data(Qt::ForegroundRole).isValid());
        QVERIFY(row("Notes.txt").data(Qt::ForegroundRole).isValid());

        const int before = frame.documents().size();
        for (int i = 0; i < 2; ++i) {
            frame.NewDocument();
            d->view()->setFocus();
            d->view()->setCurrentIndex(row("b.htm"));
            QTest::keyClick(d->view(), Qt::Key_Return);
            QCOMPARE(frame.activeDocument()->caption(), at("b.htm"));
        }
        QCOMPARE(frame.documents().size(), before + 2 + 1);
        // Enter on a folder opens and closes it.
        d->view()->setCurrentIndex(row("img"));
        QTest::keyClick(d->view(), Qt::Key_Return);
        QVERIFY(d->view()->isExpanded(row("img")));
        QCOMPARE(d->expandedFolders(), QStringList{"img"});

        // A pipe is never opened; the status bar says why.
        QCOMPARE(::mkfifo(QFile::encodeName(at("pipe.htm")).constData(), 0600), 0);
        d->openFile(at("pipe.htm"));
        QCOMPARE(frame.statusBar()->currentMessage(),
                 QStringLiteral("\"%1\" is not a regular file; it is not opened.").arg(at("pipe.htm")));
        QCOMPARE(frame.documents().size(), before + 3);

        QSignalSpy check(d, &SiteDock::checkSiteRequested);
        QTest::mouseClick(d->checkButton(), Qt::LeftButton);
        QCOMPARE(check.size(), 1);
        QCOMPARE(check.at(0).at(0).toString(), m_site);
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    // Renaming a page or its folder renames its window, text kept unsaved.
    void renamesFollowedByOpenWindows()
    {
        frmMain &frame = open();
        SiteDock *d = openSite();
        QVERIFY(d);
        d->openFile(at("b.htm"));
        frmDocument *page = frame.activeDocument();
        page->textEdit->replaceSelectionExact(QStringLiteral("typed "));
        d->openFile(at("pages/p.htm"));
        frmDocument *inner = frame.activeDocument();

        m_dialogs.answer(QStringLiteral("a/b")).acknowledge().answer(QStringLiteral("c.htm"));
        d->rename(row("b.htm"));
        QCOMPARE(m_dialogs.shown.at(2).text, QStringLiteral("\"a/b\" cannot be used: a name cannot hold a \"/\"."));
        QCOMPARE(page->caption(), at("c.htm"));
        QCOMPARE(page->textEdit->documentBytes(), QByteArray("typed ab"));
        QVERIFY(page->textEdit->isModified());
        QVERIFY(!QFile::exists(at("b.htm")));
        QCOMPARE(tw::test::readBytes(at("c.htm")), QByteArray("ab"));

        m_dialogs.answer(QStringLiteral("A.htm")).acknowledge(); // taken: nothing is replaced
        d->rename(row("c.htm"));
        QCOMPARE(tw::test::readBytes(at("A.htm")), QByteArray("ab"));
        QCOMPARE(page->caption(), at("c.htm"));

        m_dialogs.answer(QStringLiteral("my pages"));
        d->rename(row("pages"));
        QCOMPARE(inner->caption(), at("my pages/p.htm"));
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    // A picture dropped writes an image tag, a page a link, each with its
    // address from the page's folder; other files are not taken.
    void dropsWriteTagsWithAddressesFromThePage()
    {
        // An untitled page takes addresses from the site's folder.
        QCOMPARE(siteDropText(QString(), m_site, at("my \"pages\"/p#1.htm")),
                 QStringLiteral("<A HREF=\"my &quot;pages&quot;/p%231.htm\">p#1.htm</A>"));

        frmMain &frame = open();
        SiteDock *d = openSite();
        QVERIFY(d);
        d->openFile(at("pages/p.htm"));
        SourceEditor *editor = frame.activeDocument()->textEdit;
        d->view()->expand(row("img"));
        QTRY_VERIFY_WITH_TIMEOUT(row("img/x.png").isValid(), tw::test::kCeiling);
        QVERIFY(drop(editor, "img/x.png", 1));
        QCOMPARE(editor->documentBytes(), QByteArray("a<IMG SRC=\"../img/x.png\" BORDER=0 ALT=\"\">b"));
        QVERIFY(drop(editor, "A.htm", 0));
        QCOMPARE(editor->documentBytes(),
                 QByteArray("<A HREF=\"../A.htm\">A.htm</A>a<IMG SRC=\"../img/x.png\" BORDER=0 ALT=\"\">b"));
        QVERIFY(!drop(editor, "Notes.txt", 0));
        editor->undo();
        QCOMPARE(editor->documentBytes(), QByteArray("a<IMG SRC=\"../img/x.png\" BORDER=0 ALT=\"\">b"));
    }

    // Said in the dock, with the reason, never in a box; the folder and its
    // open subfolders come back at the next start.
    void goneFolderSaidAndStateKept()
    {
        open();
        SiteDock *d = openSite();
        QVERIFY(d);
        d->view()->expand(row("pages"));
        closeFrame();
        const QString away = m_dir.filePath(QStringLiteral("away"));
        QVERIFY(QDir().mkpath(away));
        QVERIFY(QFile::link(away, at("pages/away")));

        open();
        d = dock();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->folder(), m_site);
        QTRY_VERIFY_WITH_TIMEOUT(d->view()->isExpanded(row("pages")), tw::test::kCeiling);

        // A subfolder that cannot be listed says so on its own row.
        QTRY_COMPARE_WITH_TIMEOUT(listed(row("pages")), (QStringList{"away", "p.htm"}), tw::test::kCeiling);
        QVERIFY(QDir().rmdir(away));
        d->view()->expand(row("pages/away"));
        QTRY_COMPARE_WITH_TIMEOUT(row("pages/away").data().toString(), QStringLiteral("away (cannot be read)"),
                                  tw::test::kCeiling);
        QCOMPARE(row("pages/away").data(Qt::ToolTipRole).toString(),
                 QStringLiteral("The folder \"away\" cannot be read: it does not exist."));
        // What a screen reader is told of the row.
        QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(d->view());
        QString heard;
        for (int i = 0; tree && i < tree->childCount(); ++i) {
            if (QAccessibleInterface *cell = tree->child(i); cell && cell->text(QAccessible::Name) == "away (cannot be read)")
                heard = cell->text(QAccessible::Description);
        }
        QCOMPARE(heard, row("pages/away").data(Qt::ToolTipRole).toString());

        d->setFolder(at("gone"));
        QVERIFY(!d->view()->isVisible());
        QCOMPARE(d->problem()->text(), QStringLiteral("The folder \"%1\" cannot be shown: it does not exist.")
                                           .arg(at("gone")));
        QVERIFY(d->problem()->isVisible());
        QVERIFY(!d->checkButton()->isEnabled());
        QCOMPARE(m_dialogs.shown.size(), 1); // the folder dialog only
    }

    // New Page writes the template there and opens it; Delete moves a page
    // to the trash after its window closed.
    void newPageAndDelete()
    {
        frmMain &frame = open();
        SiteDock *d = openSite();
        QVERIFY(d);
        m_dialogs.answer(QStringLiteral("fresh"));
        d->newPage(row("pages"));
        QCOMPARE(tw::test::readBytes(at("pages/fresh.htm")), QByteArray("<P>new</P>"));
        QCOMPARE(frame.activeDocument()->caption(), at("pages/fresh.htm"));
        m_dialogs.answer(QStringLiteral("sub"));
        d->newFolder(QModelIndex());
        QVERIFY(QFileInfo(at("sub")).isDir());

        m_dialogs.yes();
        d->remove(row("pages/fresh.htm"));
        QVERIFY(!QFile::exists(at("pages/fresh.htm")));
        QVERIFY(frame.activeDocument() == nullptr || frame.activeDocument()->caption() != at("pages/fresh.htm"));
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    // Enter and a drag with the mouse, through the X server.
    void realEnterAndDrag()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run by e2e_site_keys");
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty())
            QSKIP("xdotool is not installed");
        // The program's events flow while xdotool runs: a drag runs a loop of its own.
        const auto run = [&xdotool](const QStringList &arguments) {
            QProcess x;
            x.start(xdotool, arguments);
            QTRY_VERIFY_WITH_TIMEOUT(x.state() == QProcess::NotRunning, tw::test::kCeiling);
            QCOMPARE(x.exitCode(), 0);
        };
        frmMain &frame = open();
        frame.activateWindow();
        SiteDock *d = openSite();
        QVERIFY(d);
        d->openFile(at("pages/p.htm"));
        frmDocument *page = frame.activeDocument();
        d->view()->setFocus();
        d->view()->setCurrentIndex(row("b.htm"));
        QTRY_VERIFY_WITH_TIMEOUT(d->view()->hasFocus(), tw::test::kCeiling);
        run({QStringLiteral("key"), QStringLiteral("Return")});
        QTRY_COMPARE_WITH_TIMEOUT(frame.activeDocument()->caption(), at("b.htm"), tw::test::kCeiling);

        d->openFile(at("pages/p.htm"));
        QCOMPARE(frame.activeDocument(), page);
        d->view()->expand(row("img"));
        QTRY_VERIFY_WITH_TIMEOUT(d->view()->visualRect(row("img/x.png")).isValid(), tw::test::kCeiling);
        const QPoint from = d->view()->viewport()->mapToGlobal(d->view()->visualRect(row("img/x.png")).center());
        SourceEditor *editor = page->textEdit;
        const int x = int(editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, 1L));
        const int y = int(editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, 1L));
        const QPoint to = editor->viewport()->mapToGlobal(QPoint(x + 1, y + 3));
        const auto n = [](int v) { return QString::number(v); };
        run({QStringLiteral("mousemove"), n(from.x()), n(from.y()), QStringLiteral("mousedown"), QStringLiteral("1"),
             QStringLiteral("mousemove"), n(from.x() + 20), n(from.y() + 5), QStringLiteral("sleep"),
             QStringLiteral("0.3"), QStringLiteral("mousemove"), n(to.x() - 3), n(to.y()), QStringLiteral("sleep"),
             QStringLiteral("0.3"), QStringLiteral("mousemove"), n(to.x()), n(to.y()), QStringLiteral("sleep"),
             QStringLiteral("0.3"), QStringLiteral("mouseup"), QStringLiteral("1")});
        QTRY_COMPARE_WITH_TIMEOUT(editor->documentBytes(), QByteArray("a<IMG SRC=\"../img/x.png\" BORDER=0 ALT=\"\">b"),
                                  tw::test::kCeiling);
    }
};

QTEST_MAIN(SiteDockTest)
#include "tst_site_dock.moc"
