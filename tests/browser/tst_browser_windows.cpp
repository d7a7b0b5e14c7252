#include "DataRows.h"
#include "TestHost.h"
// Browser windows with the real web engine, offscreen, on local pages only.
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/PictureButton.h"
#include "browser/frmAbout.h"
#include "browser/frmOpen.h"
#include "documents/Preview.h"
#include "editor/SourceEditor.h"

#include "FakeBrowserHost.h"
#include "ModalDriver.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::kLoad;
using tw::test::page;
using FakeHost = tw::test::FakeBrowserHost;

namespace {

bool engineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

} // namespace

class TestBrowserWindows : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    FakeHost *m_host = nullptr;

    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    frmBrowser *open(const QString &address) { return openBrowserWindow(*m_host, address); }

    // Returns once the engine has handled everything asked of it so far: a
    // page that another window asks for now finishes loading after any load
    // asked for earlier has started. It stands in for waiting for a thing
    // that should not happen.
    void engineCaughtUp()
    {
        frmBrowser *probe = open(path("help.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(probe->caption(), QStringLiteral("Help page"), kLoad);
    }

private slots:
    void initTestCase()
    {
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        QVERIFY(test::writeBytes(path("a.htm"), page("Page A", "<a id=l href='b%20page.htm'>b</a>")));
        QVERIFY(test::writeBytes(path("b page.htm"), page("Page B")));
        QVERIFY(test::writeBytes(path("help.htm"), page("Help page")));
        QVERIFY(test::writeBytes(path("sample.htm"), page("Sample page")));
        QVERIFY(test::writeBytes(path("no title.htm"), "<p>no title</p>"));
        QVERIFY(test::writeBytes(path("Ã©tÃ© #1.htm"), page("Summer")));
        tw::test::startIn(m_dir.path());
        m_host = new FakeHost;
        m_host->area.resize(1000, 800);
        m_host->area.show();
    }
    void cleanupTestCase() { delete m_host; }
    void cleanup()
    {
        m_host->area.closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(m_host->area.subWindowList().isEmpty(), test::kCeiling);
        QCOMPARE(m_host->script.remaining(), 0);
        m_host->script = ScriptedDialogs();
    }

    // Must run first: nothing of the engine is loaded before a browser opens.
    void engineLoadsWithTheFirstWindow()
    {
        QVERIFY(!browserEngineLoaded());
        QVERIFY(!engineMapped());
        frmBrowser *w = open(QString());
        QVERIFY(browserEngineLoaded());
        QVERIFY(engineMapped());
        QVERIFY(w->page());
        QVERIFY(!w->lblUnavailable);
    }

    void emptyStartingAddressLeavesAllBlank()
    {
        auto *w = new frmBrowser(*m_host);
        test::LoadCount loads(w);
        m_host->addBrowserWindow(w);
        w->Form_Load();
        QCOMPARE(w->cboAddress->currentText(), QString());
        QCOMPARE(w->cboAddress->count(), 0);
        QCOMPARE(w->caption(), QString());
        QVERIFY(w->page()->url().isEmpty());
        engineCaughtUp();
        QCOMPARE(loads.started, 0);
        QCOMPARE(w->caption(), QString());
    }

    void startingAddressLoadsAndShowsTheTitle()
    {
        frmBrowser *w = new frmBrowser(*m_host);
        QStringList captions;
        connect(w, &QWidget::windowTitleChanged, [&](const QString &t) { captions << t; });
        w->StartingAddress = path("a.htm");
        m_host->addBrowserWindow(w);
        w->Form_Load();
        QCOMPARE(w->cboAddress->currentText(), path("a.htm"));
        QCOMPARE(w->cboAddress->count(), 1);
        QCOMPARE(w->cboAddress->itemText(0), path("a.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page A"), kLoad);
        QCOMPARE(captions.first(), QStringLiteral("Working..."));
        QCOMPARE(w->page()->url(), QUrl::fromLocalFile(path("a.htm")));

        // A page without a title is named by its address.
        frmBrowser *untitled = open(path("no title.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(untitled->caption(), QStringLiteral("no title.htm"), kLoad);
    }

    // Enter navigates to exactly the typed text and adds nothing to the list;
    // choosing the list's item goes back there.
    void addressBoxNavigatesWithoutTouchingTheList()
    {
        frmBrowser *w = open(path("a.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page A"), kLoad);
        w->cboAddress->setEditText(QStringLiteral("file:") + path("b page.htm"));
        QTest::keyClick(w->cboAddress->lineEdit(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page B"), kLoad);
        QCOMPARE(w->cboAddress->count(), 1);
        QCOMPARE(w->cboAddress->currentText(), QStringLiteral("file:") + path("b page.htm"));

        w->cboAddress->setCurrentIndex(0);
        Q_EMIT w->cboAddress->activated(0);
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page A"), kLoad);
        QCOMPARE(w->cboAddress->count(), 1);

        w->cboAddress->setEditText(path("Ã©tÃ© #1.htm"));
        QTest::keyClick(w->cboAddress->lineEdit(), Qt::Key_Enter);
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Summer"), kLoad);

        test::LoadCount loads(w);
        w->NavigateSuppressed = true;
        w->cboAddress->setEditText(path("b page.htm"));
        QTest::keyClick(w->cboAddress, Qt::Key_Return);
        engineCaughtUp();
        QCOMPARE(loads.started, 0);
        QCOMPARE(w->caption(), QStringLiteral("Summer"));
    }

    void backForwardStopAndBookmarksLeaveTheAddressBox()
    {
        frmBrowser *w = open(path("a.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page A"), kLoad);
        // Back with no earlier page does nothing and says nothing.
        auto loads = std::make_unique<test::LoadCount>(w);
        QTest::mouseClick(w->CmdBackUp, Qt::LeftButton);
        engineCaughtUp();
        QCOMPARE(loads->started, 0);
        QCOMPARE(w->caption(), QStringLiteral("Page A"));
        loads.reset();

        w->mnuFavorites->findChild<QAction *>(QStringLiteral("mnu1"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Help page"), kLoad);
        QTest::mouseClick(w->CmdBackUp, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page A"), kLoad);
        QTest::mouseClick(w->CmdFowardUp, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Help page"), kLoad);
        loads = std::make_unique<test::LoadCount>(w);
        QTest::mouseClick(w->CmdFowardUp, Qt::LeftButton); // no later page
        engineCaughtUp();
        QCOMPARE(loads->started, 0);
        QCOMPARE(w->caption(), QStringLiteral("Help page"));
        loads.reset();

        // Stop while idle: the caption is the page's name again.
        w->setWindowTitle(QStringLiteral("Working..."));
        QTest::mouseClick(w->CmdStopUp, Qt::LeftButton);
        QCOMPARE(w->caption(), QStringLiteral("Help page"));

        QCOMPARE(w->cboAddress->currentText(), path("a.htm"));
        QCOMPARE(w->cboAddress->count(), 1);
    }

    // The action runs on release, wherever the pointer is then and whichever
    // mouse button it was; the button shows pressed while held.
    void buttonsActOnRelease_data()
    {
        tw::test::columns<int, QPoint>("button", "releaseAt");
        QTest::newRow("left, released off the button") << int(Qt::LeftButton) << QPoint(400, 300);
        QTest::newRow("right") << int(Qt::RightButton) << QPoint(5, 5);
        QTest::newRow("middle") << int(Qt::MiddleButton) << QPoint(5, 5);
    }
    void buttonsActOnRelease()
    {
        auto [button, releaseAt] = tw::test::fetch<int, QPoint>("button", "releaseAt");
        frmBrowser *w = open(path("a.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Page A"), kLoad);
        QSignalSpy acted(w->CmdHomeUp, &PictureButton::acted);
        QTest::mousePress(w->CmdHomeUp, Qt::MouseButton(button), {}, QPoint(5, 5));
        QVERIFY(w->CmdHomeUp->isDown());
        QTest::mouseMove(w->CmdHomeUp, releaseAt);
        QVERIFY(w->CmdHomeUp->isDown());
        QCOMPARE(acted.size(), 0);
        QTest::mouseRelease(w->CmdHomeUp, Qt::MouseButton(button), {}, releaseAt);
        QVERIFY(!w->CmdHomeUp->isDown());
        QCOMPARE(acted.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(w->caption(), QStringLiteral("Help page"), kLoad); // Home
        QCOMPARE(w->cboAddress->currentText(), path("a.htm"));
    }

    void buttonsAreNamedAndReachable()
    {
        frmBrowser *w = open(QString());
        QStringList seen;
        for (PictureButton *b : w->tbToolBar->findChildren<PictureButton *>()) {
            seen << b->objectName() + QLatin1Char('|') + b->accessibleName() + QLatin1Char('|') + b->toolTip();
            QVERIFY(b->focusPolicy() & Qt::TabFocus);
            QVERIFY(!b->icon().isNull());
        }
        QCOMPARE(seen, QStringList({"CmdBackUp|Back|Back", "CmdFowardUp|Forward|Forward", "CmdStopUp|Stop|Stop",
                                    "CmdRefreshUp|Refresh|Refresh", "CmdHomeUp|Home|Home",
                                    "CmdSearchUp|Search|Search", "CmdFavoriteUp|Favorites|Favorites"}));
        QSignalSpy acted(w->CmdStopUp, &PictureButton::acted);
        QTest::keyClick(w->CmdStopUp, Qt::Key_Space);
        QCOMPARE(acted.size(), 1);
        // Favorites pops up below its button.
        QTest::mouseClick(w->CmdFavoriteUp, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w->mnuFavorites->isVisible(), test::kCeiling);
        QCOMPARE(w->mnuFavorites->pos(), w->CmdFavoriteUp->mapToGlobal(QPoint(0, w->CmdFavoriteUp->height())));
        w->mnuFavorites->close();
    }

    void menusHoldTheirItems()
    {
        frmBrowser *w = open(QString());
        QStringList items;
        for (QMenu *menu : w->menus()) {
            items << menu->title();
            for (QAction *a : menu->actions())
                items << QStringLiteral("  ") + a->objectName() + QLatin1Char('|') + a->text()
                        + (a->shortcut().isEmpty() ? QString() : QLatin1Char('|') + a->shortcut().toString());
        }
        QCOMPARE(items.join(QLatin1Char('\n')), QStringLiteral(R"(&File
  |&New
  mnuFileOpen|&Open...|Ctrl+O
  mnuFileLine|
  mnuExit|E&xit
&View
  mnuViewToolbar|&Toolbar
  mnuViewEdit|HTML &Edit Toolbar
F&avorites
  mnu1|Brightfold
  LineA|
  a1|Altavista
  a2|Yahoo
  Line1|
  mnu2|Geocities
  mnu3|Rocket Mail
  mnu44|Hotmail
  Line2|
  mnu11|Download
  mnu5|Filez
  mnui6|Shareware
  mnu7|Winfiles
  Line3|
  mnu12|Game Center
  mnu10|HappyPuppy
  Line4|
  mnu8|Mp3
  mnu9|Layer3
  mnuW|Winamp
&Help
  mnuContents|&Contents
  line|
  mnuWebBrowser|&About Web Browser...)"));
        QCOMPARE(w->mnuFileNew->actions(), QList<QAction *>{w->mnuFileBrowser});
        QCOMPARE(w->mnuFileBrowser->text(), QStringLiteral("&Web Browser"));
        QCOMPARE(w->lblAddress->text(), QStringLiteral("&Address:"));
        QCOMPARE(w->lblAddress->buddy(), w->cboAddress);
    }

    // The view marks follow the frame's bars; Exit closes only its own window.
    void viewMarksAndExit()
    {
        frmBrowser *a = open(QString());
        frmBrowser *b = open(QString());
        QVERIFY(a->mnuViewToolbar->isChecked() && a->mnuViewEdit->isChecked());
        m_host->setToolbarShown(false);
        QVERIFY(!a->mnuViewToolbar->isChecked() && !b->mnuViewToolbar->isChecked());
        QVERIFY(a->mnuViewEdit->isChecked());
        a->mnuViewEdit->trigger();
        QVERIFY(!m_host->edit);
        QVERIFY(!b->mnuViewEdit->isChecked());
        b->mnuViewToolbar->trigger();
        QVERIFY(m_host->toolbar);
        QVERIFY(a->mnuViewToolbar->isChecked());
        b->mnuViewEdit->trigger();
        QVERIFY(m_host->edit && a->mnuViewEdit->isChecked());
        frmBrowser *c = open(QString());
        m_host->setEditBarsShown(false);
        QVERIFY(!c->mnuViewEdit->isChecked());
        m_host->setEditBarsShown(true);
        QVERIFY(c->mnuViewEdit->isChecked());
        QPointer<frmBrowser> gone(a);
        a->mnuExit->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!gone, test::kCeiling);
        QCOMPARE(m_host->windows(), (QList<frmBrowser *>{b, c}));
    }

    void sampleAndHelpOpenANewWindowEachTime()
    {
        ShowSampleInBrowser(*m_host);
        ShowSampleInBrowser(*m_host);
        ShowHelpContents(*m_host);
        const QList<frmBrowser *> w = m_host->windows();
        QCOMPARE(w.size(), 3);
        QCOMPARE(w[0]->StartingAddress, path("sample.htm"));
        QCOMPARE(w[1]->StartingAddress, path("sample.htm"));
        QCOMPARE(w[2]->StartingAddress, path("help.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(w[0]->caption(), QStringLiteral("Sample page"), kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(w[2]->caption(), QStringLiteral("Help page"), kLoad);
        w[2]->mnuFileBrowser->trigger();
        w[2]->mnuContents->trigger();
        QCOMPARE(m_host->windows().size(), 5);
        QCOMPARE(m_host->windows().at(4)->StartingAddress, path("help.htm"));
    }

    // Open location drives the one shared window, made on first use and
    // again after it was closed; the window it was chosen in stays put.
    void openLocationDrivesTheSharedWindow()
    {
        frmBrowser *from = open(path("help.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(from->caption(), QStringLiteral("Help page"), kLoad);

        frmOpen first(*m_host);
        first.txtOpen->setEditText(path("a.htm"));
        first.cmdOK_Click();
        QCOMPARE(first.result(), int(QDialog::Accepted));
        QCOMPARE(m_host->windows().size(), 2);
        frmBrowser *shared = m_host->windows().at(1);
        QCOMPARE(shared, sharedBrowserWindow(*m_host));
        QCOMPARE(shared->cboAddress->currentText(), path("a.htm"));
        QCOMPARE(shared->cboAddress->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(shared->caption(), QStringLiteral("Page A"), kLoad);

        frmOpen second(*m_host);
        second.txtOpen->setEditText(path("b page.htm"));
        QTest::keyClick(second.txtOpen->lineEdit(), Qt::Key_Return); // Enter is OK
        QCOMPARE(second.result(), int(QDialog::Accepted));
        QCOMPARE(m_host->windows().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(shared->caption(), QStringLiteral("Page B"), kLoad);
        QCOMPARE(from->caption(), QStringLiteral("Help page"));

        frmOpen empty(*m_host);
        empty.cmdOK_Click();
        QCOMPARE(shared->cboAddress->currentText(), QString());

        QPointer<frmBrowser> old(shared);
        shared->mnuExit_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!old, test::kCeiling);
        frmOpen third(*m_host);
        third.txtOpen->setEditText(path("a.htm"));
        third.cmdOK_Click();
        QCOMPARE(m_host->windows().size(), 2);
        QVERIFY(m_host->windows().at(1) != from);
    }

    // A line edit cuts its text at 32,767 characters unless told otherwise:
    // a long address pasted into either box is kept whole.
    void longAddressesAreTakenWhole()
    {
        const QString address = QStringLiteral("http://example.com/?q=") + QString(100000 - 22, QLatin1Char('x'));
        QApplication::clipboard()->setText(address);
        frmBrowser *window = open(QString());
        QTest::keyClick(window->cboAddress->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window->cboAddress->currentText(), address);
        frmOpen dialog(*m_host);
        QTest::keyClick(dialog.txtOpen->lineEdit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(dialog.txtOpen->currentText(), address);
    }

    void browseFillsTheFieldAndFocusesOk()
    {
        frmOpen dialog(*m_host);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog, test::kCeiling));
        m_host->script.file(path("a.htm")).file(QString());
        dialog.CmdOpen_Click();
        QCOMPARE(dialog.txtOpen->currentText(), path("a.htm"));
        QCOMPARE(dialog.focusWidget(), dialog.cmdOK);
        dialog.CmdOpen_Click();
        QCOMPARE(dialog.txtOpen->currentText(), QString());
        QCOMPARE(m_host->script.shown.first(),
                 (test::Shown{"open", {}, "HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*", "htm"}));
        // Escape does not close it; Cancel does and opens nothing.
        QTest::keyClick(dialog.txtOpen->lineEdit(), Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        dialog.CmdCancel->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(m_host->windows().isEmpty());
    }

    // The real modal window, reached from the File menu.
    void fileOpenShowsTheOpenWindow()
    {
        frmBrowser *w = open(QString());
        QString caption;
        bool focused = false;
        test::onNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<frmOpen *>(modal);
            if (!dialog)
                return;
            // The window may be seen before it has taken the focus.
            focused = QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->txtOpen; }, test::kCeiling);
            caption = dialog->windowTitle() + QLatin1Char('|') + dialog->Label1->text() + QLatin1Char('|')
                + dialog->Label2->text();
            QTest::keyClicks(dialog->txtOpen->lineEdit(), path("a.htm"));
            QTest::keyClick(dialog->txtOpen->lineEdit(), Qt::Key_Enter);
        });
        w->mnuFileOpen->trigger();
        QVERIFY(focused);
        QCOMPARE(caption, QStringLiteral("Open|Type a Internet address of a document or folder, and Web "
                                         "Browser will open it for you.|&Open:"));
        QCOMPARE(m_host->windows().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_host->windows().at(1)->caption(), QStringLiteral("Page A"), kLoad);
    }

    void aboutClosesOnEnterAndEscape_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void aboutClosesOnEnterAndEscape()
    {
        QFETCH(int, key);
        frmBrowser *w = open(QString());
        QString texts;
        bool closed = false;
        test::onNextModal([&](QWidget *modal) {
            auto *about = qobject_cast<frmAbout *>(modal);
            if (!about)
                return;
            texts = QStringList({about->windowTitle(), about->lblTitle->text(), about->Label1->text(),
                                 about->lblVersion->text(), about->cmdOK->text(), about->cmdSysInfo->text()})
                        .join(QLatin1Char('|'));
            QTest::keyClick(about, Qt::Key(key));
            closed = !about->isVisible();
        });
        w->mnuWebBrowser->trigger();
        QVERIFY(closed);
        QCOMPARE(texts, QStringLiteral("About Web Browser|Web Browser for Tagwright|for Windows 95|Version 1.0|OK|"
                                       "&System Info..."));
    }

    void systemInfoButtonStartsOrSays()
    {
        frmAbout about(m_host->script);
        about.starter = [](const QString &) { return false; };
        m_host->script.acknowledge();
        about.cmdSysInfo->click();
        // Whether a program was found on PATH or not, the user hears of the failure.
        QCOMPARE(m_host->script.shown.last().text, QStringLiteral("System Information Is Unavailable At This Time"));
    }

    // Preview writes the page and a browser window shows what was written.
    void previewShowsTheSavedPage()
    {
        frmDocument document;
        document.setCaption(path("preview.htm"));
        document.textEdit->loadBytes(page("Previewed"));
        tw::test::TestHost frame;
        frame.active = &document;
        QVERIFY(PreviewActiveDocument(frame, [this](const QString &p) { openBrowserWindow(*m_host, p); }));
        QCOMPARE(m_host->windows().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_host->windows().first()->caption(), QStringLiteral("Previewed"), kLoad);
    }
};

QTEST_MAIN(TestBrowserWindows)
#include "tst_browser_windows.moc"
