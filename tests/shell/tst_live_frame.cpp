// The live preview in the frame: View, Live Preview (F6) in both menu trees,
// the dock following the active page, the choice kept in the settings. On a
// real display (e2e_live_preview) the keys are pressed through the X server.
#include "Ceiling.h"
#include "StartedFrame.h"

#include "browser/BrowserEngine.h"
#include "browser/LiveArea.h"
#include "browser/LivePreviewDock.h"
#include "editor/EditorSettings.h"
#include "editor/SourceEditor.h"
#include "shell/CommandActions.h"
#include "shell/FrameMenus.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace tw;

namespace {

constexpr int kLoad = test::kCeiling;

bool onX()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// Keys through the X server when there is one, else through Qt.
void press(QWidget *target, const char *xKeys, Qt::Key key)
{
    if (onX())
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(xKeys)}), 0);
    else
        QTest::keyClick(target, key);
}

void typeText(QWidget *target, const QString &text)
{
    if (onX())
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                                   {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text}),
                 0);
    else
        QTest::keyClicks(target, text);
}

QString shownText(LiveArea *area)
{
    QString text;
    QEventLoop loop;
    area->runScript(QStringLiteral("document.body ? document.body.innerText : ''"), [&](const QVariant &v) {
        text = v.toString();
        loop.quit();
    });
    QTimer::singleShot(kLoad, &loop, &QEventLoop::quit); // a guard
    loop.exec();
    return text.trimmed();
}

QAction *item(QMenu *menu)
{
    for (QAction *a : menu->actions())
        if (a->objectName() == QLatin1String("mnuViewLivePreview"))
            return a;
    return nullptr;
}

} // namespace

class LiveFrameTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    test::ScriptedDialogs m_dialogs;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        test::startIn(m_dir.path());
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        // The page gets exactly the typed text: no closing tags or
        // completion added while typing.
        editorSettings::setCloseTags(false);
        editorSettings::setCompletion(false);
        if (onX() && QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
    }

    void livePreviewFollowsTyping()
    {
        editorSettings::setLivePreview(false);
        auto frame = test::startFrame(m_dialogs);
        CommandActions &a = frame->commands();
        // Both View menus carry it, unchecked, on F6; the engine is not loaded.
        for (QMenu *view : {frame->menus().mnuView, frame->menus().documentView}) {
            QAction *live = item(view);
            QVERIFY(live);
            QCOMPARE(live->text(), QStringLiteral("&Live Preview"));
            QCOMPARE(live->shortcut(), QKeySequence(Qt::Key_F6));
            QVERIFY(live->isCheckable() && !live->isChecked());
        }
        QVERIFY(!frame->findChild<LivePreviewDock *>());
        QVERIFY(!browserEngineLoaded());

        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get(), test::kCeiling));
        SourceEditor *editor = frame->activeDocument()->textEdit;
        press(editor, "F6", Qt::Key_F6);
        LivePreviewDock *dock = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((dock = frame->findChild<LivePreviewDock *>()) && dock->isVisible(), kLoad);
        QCOMPARE(dock->windowTitle(), QStringLiteral("Live Preview"));
        QCOMPARE(frame->dockWidgetArea(dock), Qt::RightDockWidgetArea);
        QVERIFY(a.viewLivePreview->isChecked());
        QVERIFY(item(frame->menus().mnuView)->isChecked());
        QVERIFY(editorSettings::livePreview());
        QVERIFY(dock->area());
        // On Xvfb without a window manager the engine's start leaves the
        // frame without the input focus; the user clicks it back.
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get(), test::kCeiling));
        // The editor keeps the keys: the dock takes no focus.
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), kLoad);

        typeText(editor, QStringLiteral("<h1>Hello live</h1>"));
        QTRY_COMPARE_WITH_TIMEOUT(shownText(dock->area()), QStringLiteral("Hello live"), kLoad);
        QVERIFY(editor->isModified());
        QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());

        // A new window: the dock follows it; back to the first, and its text.
        frame->NewDocument();
        QTRY_COMPARE_WITH_TIMEOUT(shownText(dock->area()), QString(), kLoad);
        typeText(frame->activeDocument()->textEdit, QStringLiteral("<p>second</p>"));
        QTRY_COMPARE_WITH_TIMEOUT(shownText(dock->area()), QStringLiteral("second"), kLoad);
        frame->mdiArea->activatePreviousSubWindow();
        QTRY_COMPARE_WITH_TIMEOUT(shownText(dock->area()), QStringLiteral("Hello live"), kLoad);

        // Closing the dock unchecks the item and keeps the choice.
        dock->close();
        QVERIFY(!a.viewLivePreview->isChecked());
        QVERIFY(!editorSettings::livePreview());
        press(frame->activeDocument()->textEdit, "F6", Qt::Key_F6);
        QTRY_VERIFY_WITH_TIMEOUT(dock->isVisible(), kLoad);
        QVERIFY(editorSettings::livePreview());

        // No document window: an empty view.
        for (frmDocument *d : frame->documents())
            d->closeWithoutQuestion();
        QTRY_VERIFY_WITH_TIMEOUT(frame->documents().isEmpty(), test::kCeiling);
        QTRY_COMPARE_WITH_TIMEOUT(shownText(dock->area()), QString(), kLoad);
    }

    // The next start shows the dock at once, on the first page.
    void choiceIsKept()
    {
        QVERIFY(editorSettings::livePreview());
        auto frame = test::startFrame(m_dialogs);
        auto *dock = frame->findChild<LivePreviewDock *>();
        QVERIFY(dock);
        QTRY_VERIFY_WITH_TIMEOUT(dock->isVisible(), test::kCeiling);
        QVERIFY(frame->commands().viewLivePreview->isChecked());
        QCOMPARE(dock->document(), frame->activeDocument());
        frame->commands().viewLivePreview->trigger();
        QVERIFY(!dock->isVisible());
        QVERIFY(!editorSettings::livePreview());
    }
};

QTEST_MAIN(LiveFrameTest)
#include "tst_live_frame.moc"
