// The live preview dock with the real web engine, offscreen, on pages in a
// folder of the test's own.
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/BrowserHost.h"
#include "browser/LiveArea.h"
#include "browser/LivePreviewDock.h"
#include "browser/frmBrowser.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"

#include "Ceiling.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace tw;

namespace {

constexpr int kLoad = test::kCeiling; // a local page loaded

class FakeHost final : public QObject, public BrowserHost {
    Q_OBJECT
public:
    QMdiArea area;
    test::ScriptedDialogs script;
    Dialogs &dialogs() override { return script; }
    void addBrowserWindow(frmBrowser *window) override { area.addSubWindow(window)->show(); }
    bool toolbarShown() const override { return true; }
    bool editBarsShown() const override { return true; }
    void setToolbarShown(bool) override {}
    void setEditBarsShown(bool) override {}
    void watchBars(QObject *, std::function<void()>) override {}
};

// Runs a script in the view and waits for its result.
QVariant run(LiveArea *area, const QString &script, int guardMs = kLoad)
{
    // Held apart from this frame: an answer may come after the guard.
    struct Wait {
        QVariant result;
        QEventLoop loop;
        bool done = false;
    };
    auto wait = std::make_shared<Wait>();
    area->runScript(script, [wait](const QVariant &v) {
        wait->result = v;
        wait->done = true;
        wait->loop.quit();
    });
    QTimer::singleShot(guardMs, &wait->loop, &QEventLoop::quit); // a guard, not a measure
    if (!wait->done)
        wait->loop.exec();
    return wait->result;
}

QString shownText(LiveArea *area)
{
    return run(area, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

// Every file under the folder with its bytes.
QMap<QString, QByteArray> folderBytes(const QString &dir)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(path, test::readBytes(path));
    }
    return out;
}

} // namespace

class LivePreviewTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    FakeHost *m_host = nullptr;
    QMainWindow *m_frame = nullptr;
    LivePreviewDock *m_dock = nullptr;
    QList<frmDocument *> m_documents;

    frmDocument *document(const QString &caption, const QByteArray &text)
    {
        auto *d = new frmDocument;
        d->setCaption(caption);
        d->textEdit->loadBytes(text);
        m_documents << d;
        return d;
    }
    // Shows the document and waits until the view has loaded it.
    void showDocument(frmDocument *d)
    {
        QSignalSpy shown(m_dock, &LivePreviewDock::shown);
        m_dock->setDocument(d);
        QVERIFY(shown.wait(kLoad));
        QVERIFY(shown.last().at(0).toBool());
    }
    // Appends text as typing does and waits for the refresh it causes.
    void type(frmDocument *d, const QByteArray &text)
    {
        QSignalSpy shown(m_dock, &LivePreviewDock::shown);
        d->textEdit->SendScintilla(QsciScintilla::SCI_APPENDTEXT, text.size(), text.constData());
        QVERIFY(shown.wait(kLoad));
    }
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        test::startIn(m_dir.path());
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(path("pic.png")));
        QVERIFY(test::writeBytes(path("other.htm"), "<title>Other</title><p>other page</p>"));
        m_host = new FakeHost;
        m_host->area.resize(800, 600);
        m_host->area.show();
    }
    void cleanupTestCase()
    {
        qDeleteAll(m_documents);
        delete m_frame;
        delete m_host;
    }

    // First, before the module is loaded: as root with the sandbox on, the
    // engine is not started and the dock says why in its own area.
    void refusalIsShownInTheDock()
    {
        if (geteuid() != 0)
            QSKIP("only root is refused");
        const QByteArray flag = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "0");
        QMainWindow frame;
        auto *dock = new LivePreviewDock(*m_host, &frame);
        frame.addDockWidget(Qt::RightDockWidgetArea, dock);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame, test::kCeiling));
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", flag);
        QVERIFY(!dock->area());
        QVERIFY(!browserEngineLoaded());
        QCOMPARE(dock->message(),
                 QStringLiteral("The live preview cannot be shown.\nThe web browser does not run as the "
                                "administrator (root) with its sandbox on. Start Tagwright as an ordinary "
                                "user, or set QTWEBENGINE_DISABLE_SANDBOX=1 if you accept the risk."));
        QVERIFY(dock->findChild<QLabel *>(QStringLiteral("lblLiveUnavailable"))->isVisible());
    }

    void engineStartsWithTheShownDock()
    {
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        m_frame = new QMainWindow;
        m_frame->resize(900, 700);
        m_dock = new LivePreviewDock(*m_host, m_frame);
        m_frame->addDockWidget(Qt::RightDockWidgetArea, m_dock);
        m_dock->hide();
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame, test::kCeiling));
        QVERIFY(!browserEngineLoaded());
        m_dock->show();
        QVERIFY(m_dock->area());
        QVERIFY(browserEngineLoaded());
    }

    // An untitled page: unsaved text, its relative picture from the start folder.
    void typingChangesTheShownText()
    {
        frmDocument *d = document(QStringLiteral("Document 1"), "<img src='pic.png'><p>first</p>");
        showDocument(d);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("first"));
        QTRY_COMPARE_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("document.images[0].naturalWidth")).toInt(),
                                  40, kLoad);
        type(d, "<p>second \xc3\xa9</p>");
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("first\n\nsecond \u00e9"));
        QVERIFY(!QFileInfo::exists(path("Document 1")));
    }

    void scrollIsKept()
    {
        QByteArray tall("<div style='height:5000px'>top</div><p>end</p>");
        frmDocument *d = document(QStringLiteral("Document 2"), tall);
        showDocument(d);
        run(m_dock->area(), QStringLiteral("window.scrollTo(0, 1200)"));
        QTRY_COMPARE_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("window.scrollY")).toInt(), 1200, kLoad);
        type(d, "<p>more</p>");
        QVERIFY(shownText(m_dock->area()).contains(QStringLiteral("more")));
        QTRY_COMPARE_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("window.scrollY")).toInt(), 1200, kLoad);
        // Text typed above the place keeps the distance from the top, and
        // at the top the new text is in sight.
        const auto typeAtTop = [&](const QByteArray &text) {
            QSignalSpy shown(m_dock, &LivePreviewDock::shown);
            d->textEdit->SendScintilla(QsciScintilla::SCI_INSERTTEXT, 0UL, text.constData());
            QVERIFY(shown.wait(kLoad));
        };
        typeAtTop("<h1>above</h1>");
        QTRY_COMPARE_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("window.scrollY")).toInt(), 1200, kLoad);
        run(m_dock->area(), QStringLiteral("window.scrollTo(0, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("window.scrollY")).toInt(), 0, kLoad);
        typeAtTop("<h1>new</h1>");
        QVERIFY(shownText(m_dock->area()).startsWith(QStringLiteral("new")));
        QCOMPARE(run(m_dock->area(), QStringLiteral("window.scrollY")).toInt(), 0);
    }

    void switchingWindowsSwitchesContent()
    {
        frmDocument *a = document(QStringLiteral("Document 3"), "<p>page A</p>");
        frmDocument *b = document(QStringLiteral("Document 4"), "<p>page B</p>");
        showDocument(a);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("page A"));
        showDocument(b);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("page B"));
        // Edits of a window no longer shown change nothing.
        QSignalSpy shown(m_dock, &LivePreviewDock::shown);
        a->textEdit->SendScintilla(QsciScintilla::SCI_APPENDTEXT, 1, "x");
        QTest::qWait(LivePreviewDock::kLiveDelayMs * 2);
        QCOMPARE(shown.size(), 0);
        // No document: an empty view.
        m_dock->setDocument(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(shownText(m_dock->area()), QString(), kLoad);
    }

    // A saved page with its folder: typing never touches the disk, and a
    // Windows-1252 page is shown with its own characters.
    void savedPageLeavesTheDiskAlone()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("site")));
        const QString file = path("site/page.htm");
        QVERIFY(test::writeBytes(file, "<p>caf\xe9 on disk</p>\r\n"));
        const QMap<QString, QByteArray> before = folderBytes(m_dir.path());
        frmDocument *d = document(file, "<p>caf\xc3\xa9 typed</p>");
        d->encoding = PageEncoding::Legacy;
        showDocument(d);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("caf\u00e9 typed"));
        type(d, "<p>\xe2\x82\xac more</p>");
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("caf\u00e9 typed\n\n\u20ac more"));
        QCOMPARE(folderBytes(m_dir.path()), before);
    }

    // A click on a link opens a browser window there; the view stays.
    void linksOpenBrowserWindows()
    {
        frmDocument *d = document(
            QStringLiteral("Document 5"),
            "<a id=l href='other.htm' style='display:block;width:300px;height:80px'>go</a>"
            "<a id=n href='other.htm#end' target=_blank style='display:block;width:300px;height:80px'>new</a>");
        showDocument(d);
        for (const char *id : {"l", "n"}) {
            const QVariantList box = run(m_dock->area(), QStringLiteral("(function(){var r=document.getElementById('%1')"
                                                                        ".getBoundingClientRect();return [r.x+20,r.y+20];})()")
                                                             .arg(QLatin1String(id)))
                                         .toList();
            QCOMPARE(box.size(), 2);
            const QPoint at(box.at(0).toInt(), box.at(1).toInt());
            const int before = m_host->area.subWindowList().size();
            QWidget *input = m_dock->area()->widget()->focusProxy();
            QVERIFY(input);
            QTest::mouseMove(input, at);
            QTest::mouseClick(input, Qt::LeftButton, {}, at);
            QTRY_COMPARE_WITH_TIMEOUT(m_host->area.subWindowList().size(), before + 1, kLoad);
            auto *browser = qobject_cast<frmBrowser *>(m_host->area.subWindowList().last()->widget());
            QVERIFY(browser);
            QCOMPARE(browser->StartingAddress,
                     QUrl::fromLocalFile(path("other.htm")).toString() + (id[0] == 'n' ? "#end" : ""));
        }
        QVERIFY(shownText(m_dock->area()).contains(QStringLiteral("new")));
        m_host->area.closeAllSubWindows();
    }

    // Alerts, boxes and windows from scripts come to nothing, and a page
    // whose script never ends is replaced by the next change.
    void scriptsCannotBother()
    {
        frmDocument *d = document(QStringLiteral("Document 6"),
                                  "<p>quiet</p><script>alert('a'); confirm('b'); prompt('c');"
                                  "window.open('other.htm'); window.open('https://example.org/');</script>");
        showDocument(d);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("quiet"));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_host->area.subWindowList().size(), 0);

        d->textEdit->loadBytes("<p>looping</p><script>for(;;){}</script>");
        // The editor takes the next change while the page's script runs.
        // Waits until the looping page holds its process (no answer within a
        // second; a page whose scripts have ended answers far sooner).
        QTRY_VERIFY_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("1"), 1000).isNull(), kLoad);
        QSignalSpy shown(m_dock, &LivePreviewDock::shown);
        d->textEdit->loadBytes("<p>fixed</p>");
        // The looping page's load ends unfinished, then the new one loads.
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && shown.last().at(0).toBool(), kLoad);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("fixed"));
        QCOMPARE(m_dock->message(), QStringLiteral("The page stopped: its scripts did not answer for 2 seconds "
                                                   "and were ended. The preview shows it again at the next change."));
    }

    // Above the size limit the view waits for Refresh, and says so.
    void largePagesRefreshOnDemand()
    {
        m_dock->setAutoLimit(1024 * 1024);
        frmDocument *d = document(QStringLiteral("Document 7"), "<p>small</p>");
        showDocument(d);
        QSignalSpy shown(m_dock, &LivePreviewDock::shown);
        const QByteArray big = "<p>" + QByteArray(1024 * 1024, 'b') + "</p><p>big end</p>";
        d->textEdit->SendScintilla(QsciScintilla::SCI_APPENDTEXT, big.size(), big.constData());
        QTest::qWait(LivePreviewDock::kLiveDelayMs * 2);
        QCOMPARE(shown.size(), 0);
        QCOMPARE(m_dock->message(), QStringLiteral("This page is over 1 MB: the preview is refreshed only "
                                                   "when you press Refresh."));
        auto *refresh = m_dock->findChild<QPushButton *>(QStringLiteral("cmdLiveRefresh"));
        QVERIFY(refresh->isVisible());
        QTest::mouseClick(refresh, Qt::LeftButton);
        QVERIFY(shown.wait(kLoad));
        QVERIFY(shownText(m_dock->area()).contains(QStringLiteral("big end")));
        m_dock->setAutoLimit(LivePreviewDock::kAutoLimit);
    }
};

QTEST_MAIN(LivePreviewTest)
#include "tst_live_preview.moc"
