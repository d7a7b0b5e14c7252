// The live preview dock with the real web engine, offscreen, on pages in a
// folder of the test's own.
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/LiveArea.h"
#include "browser/LivePreviewDock.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"

#include "DataRows.h"
#include "FakeBrowserHost.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>

using namespace tw;

namespace {

using test::kLoad;
using FakeHost = test::FakeBrowserHost;

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

// What the rows of pagesReachOnlyTheirFolder try: each gives a promise of
// what the page could read or show, null when it could not.
constexpr const char *kAttempts = R"(
function settle(p) {
  Promise.resolve(p).then(v => { document.title = (v === null || v === undefined || v === '') ? 'none' : 'got:' + v; },
                          () => { document.title = 'none'; });
}
function fetchText(u) { return fetch(u).then(r => r.ok ? r.text() : null); }
function xhrText(u) {
  return new Promise(done => {
    const x = new XMLHttpRequest();
    x.onload = () => done(x.responseText); x.onerror = () => done(null);
    try { x.open('GET', u); x.send(); } catch (e) { done(null); }
  });
}
function frameText(u) {
  return new Promise(done => {
    const f = document.createElement('iframe');
    f.onload = () => { try { done(f.contentDocument.body.innerText); } catch (e) { done(null); } };
    f.src = u; document.body.appendChild(f);
    // A frame refused in the live view has no load event.
    setTimeout(() => done(null), 5000);
  });
}
function sheet(u, read) {
  return new Promise(done => {
    const l = document.createElement('link'); l.rel = 'stylesheet';
    l.onload = () => { try { done(read(l)); } catch (e) { done(null); } }; l.onerror = () => done(null);
    l.href = u; document.head.appendChild(l);
  });
}
function sheetText(u) { return sheet(u, l => l.sheet.cssRules[0].cssText); }
function styleShown(u) { return sheet(u, l => { const w = getComputedStyle(document.getElementById('probe')).width; return w.endsWith('3px') ? w : null; }); }
function picture(u, read) {
  return new Promise(done => {
    const i = new Image();
    i.onload = () => { try { done(read(i)); } catch (e) { done(null); } }; i.onerror = () => done(null);
    i.src = u;
  });
}
function pictureShown(u) { return picture(u, i => i.naturalWidth); }
function canvasText(u) {
  return picture(u, i => { const c = document.createElement('canvas'); const g = c.getContext('2d');
                           g.drawImage(i, 0, 0); return c.toDataURL().length + ':' + g.getImageData(0, 0, 1, 1).data.join(','); });
}
)";

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
        // The load that ended may be an earlier one's.
        QTRY_VERIFY_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("decodeURIComponent(location.pathname) + ' ' "
                                                                    "+ document.readyState"))
                                     .toString()
                                     .endsWith(d->caption() + QStringLiteral(" complete")),
                                 kLoad);
    }
    // Appends text as typing does and waits until the page has it.
    void type(frmDocument *d, const QByteArray &text) { insert(d, d->textEdit->documentLength(), text); }
    void insert(frmDocument *d, qsizetype at, const QByteArray &text)
    {
        QSignalSpy updated(m_dock, &LivePreviewDock::pageUpdated);
        d->textEdit->SendScintilla(QsciScintilla::SCI_INSERTTEXT, at, text.constData());
        QVERIFY(updated.wait(kLoad));
    }
    QVariant ask(const QString &script) { return run(m_dock->area(), script); }
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
        // A page's folder, and secrets beside it.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("guard/site/pics")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("guard/site/sub")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("guard/out")));
        QVERIFY(picture.save(path("guard/site/pics/in.png")));
        QVERIFY(picture.save(path("guard/out/secret.png")));
        QVERIFY(test::writeBytes(path("guard/site/in.txt"), "in the folder"));
        QVERIFY(test::writeBytes(path("guard/site/in.css"), "#probe{width:123px}"));
        QVERIFY(test::writeBytes(path("guard/out/secret.txt"), "secret"));
        QVERIFY(test::writeBytes(path("guard/out/secret.htm"), "<p>secret</p>"));
        QVERIFY(test::writeBytes(path("guard/out/secret.css"), "#probe{width:333px}"));
        QVERIFY(QFile::link(path("guard/out/secret.txt"), path("guard/site/link.txt")));
        QVERIFY(QFile::link(path("guard/out/secret.png"), path("guard/site/link.png")));
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

    // An untitled page shows its unsaved text, and reaches no file: not
    // even those of the folder the program started in.
    void typingChangesTheShownText()
    {
        frmDocument *d = document(QStringLiteral("Document 1"),
                                  "<img src='pic.png'><img src='" + QUrl::fromLocalFile(path("pic.png")).toEncoded()
                                      + "'><p>first</p>");
        showDocument(d);
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("first"));
        QTRY_COMPARE_WITH_TIMEOUT(ask(QStringLiteral("Array.from(document.images, i => i.complete + ':' + "
                                                     "i.naturalWidth).join()"))
                                      .toString(),
                                  QStringLiteral("true:0,true:0"), kLoad);
        type(d, "<p>second \xc3\xa9</p>");
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("first\n\nsecond \u00e9"));
    }

    void scrollIsKept()
    {
        frmDocument *d = document(QStringLiteral("Document 2"), "<div style='height:5000px'>top</div><p>end</p>");
        showDocument(d);
        const auto scrollY = [this] { return ask(QStringLiteral("window.scrollY")).toInt(); };
        ask(QStringLiteral("window.scrollTo(0, 1200)"));
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(), 1200, kLoad);
        type(d, "<p>more</p>");
        QVERIFY(shownText(m_dock->area()).contains(QStringLiteral("more")));
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(), 1200, kLoad);
        // Text typed above the place leaves what is in view where it is,
        // and at the top the new text is in sight.
        const QString top = QStringLiteral("document.querySelector('div').getBoundingClientRect().top");
        const int before = ask(top).toInt();
        insert(d, 0, "<h1>above</h1>");
        QCOMPARE(ask(top).toInt(), before);
        ask(QStringLiteral("window.scrollTo(0, 0)"));
        QTRY_COMPARE_WITH_TIMEOUT(scrollY(), 0, kLoad);
        insert(d, 0, "<h1>new</h1>");
        QVERIFY(shownText(m_dock->area()).startsWith(QStringLiteral("new")));
        QCOMPARE(scrollY(), 0);
    }

    // Edits of a window no longer shown change nothing.
    void editsOfAnotherWindowChangeNothing()
    {
        frmDocument *a = document(QStringLiteral("Document 3"), "<p>page A</p>");
        showDocument(a);
        showDocument(document(QStringLiteral("Document 4"), "<p>page B</p>"));
        QSignalSpy updated(m_dock, &LivePreviewDock::pageUpdated);
        a->textEdit->SendScintilla(QsciScintilla::SCI_APPENDTEXT, 1, "x");
        QTest::qWait(300);
        QCOMPARE(updated.size(), 0);
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
            path("links.htm"),
            "<a id=l href='other.htm' style='display:block;width:300px;height:80px'>go</a>"
            "<a id=n href='other.htm#end' target=_blank style='display:block;width:300px;height:80px'>new</a>");
        showDocument(d);
        for (const char *id : {"l", "n"}) {
            const QVariantList box = ask(QStringLiteral("(function(){var r=document.getElementById('%1')"
                                                        ".getBoundingClientRect();return [r.x+20,r.y+20];})()")
                                             .arg(QLatin1String(id))).toList();
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

    // A page's scripts try every way to read a file out of its folder, in
    // the live view and in a browser window (as Preview shows a saved
    // page): each row's script sets the title to what it got, or "none".
    void pagesReachOnlyTheirFolder_data()
    {
        tw::test::columns<QString, QString>("attempt", "got"); // in the live view and a browser window alike
        const QString out = QUrl::fromLocalFile(path("guard/out/")).toString();
        const QString twOut = QStringLiteral("twlive:") + path("guard/out/");
        const QString site = QUrl::fromLocalFile(path("guard/site/")).toString();
        const auto row = [&](const char *name, const QString &attempt, const QString &got = QStringLiteral("none")) {
            QTest::newRow(name) << attempt << got;
        };
        row("fetch ..", "fetchText('../out/secret.txt')");
        row("fetch file:", QStringLiteral("fetchText('%1secret.txt')").arg(out));
        row("fetch /etc/passwd", "fetchText('file:///etc/passwd')");
        row("xhr ..", "xhrText('../out/secret.txt')");
        row("xhr file:", QStringLiteral("xhrText('%1secret.txt')").arg(out));
        row("xhr twlive:", QStringLiteral("xhrText('%1secret.txt')").arg(twOut));
        row("xhr encoded ..", "xhrText('sub/%2e%2e/%2e%2e/out/secret.txt')");
        row("xhr symbolic link out", "xhrText('link.txt')");
        row("frame ..", "frameText('../out/secret.htm')");
        row("frame file:", QStringLiteral("frameText('%1secret.htm')").arg(out));
        row("style sheet read ..", "sheetText('../out/secret.css')");
        row("style sheet read file:", QStringLiteral("sheetText('%1secret.css')").arg(out));
        row("style sheet shown ..", "styleShown('../out/secret.css')");
        row("picture on canvas ..", "canvasText('../out/secret.png')");
        row("picture on canvas file:", QStringLiteral("canvasText('%1secret.png')").arg(out));
        row("picture shown by symbolic link out", "pictureShown('link.png')");
        // What the folder holds is shown, and scripts may read it.
        row("picture in the folder", "pictureShown('pics/in.png')", "got:40");
        row("picture in the folder as file:", QStringLiteral("pictureShown('%1pics/in.png')").arg(site), "got:40");
        row("style sheet in the folder", "styleShown('in.css')", "got:123px");
        row("xhr in the folder", "xhrText('in.txt')", "got:in the folder");
    }
    void pagesReachOnlyTheirFolder()
    {
        auto [attempt, got] = tw::test::fetch<QString, QString>("attempt", "got");
        static int count = 0;
        const QString file = path("guard/site/row-%1.htm").arg(++count);
        const QByteArray page = "<title>wait</title><div id=probe>probe</div><script>" + QByteArray(kAttempts)
            + "settle(" + attempt.toUtf8() + ");</script>";
        QVERIFY(test::writeBytes(file, page));
        frmDocument *d = document(file, page);
        showDocument(d);
        const auto title = [&] { return run(m_dock->area(), QStringLiteral("document.title")).toString(); };
        QTRY_VERIFY_WITH_TIMEOUT(title() != QLatin1String("wait"), kLoad);
        QCOMPARE(title(), got);

        frmBrowser *window = openBrowserWindow(*m_host, file);
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(window->page()->title() == QLatin1String("none")
                                     || window->page()->title().startsWith(QLatin1String("got:")),
                                 kLoad);
        QCOMPARE(window->page()->title(), got);
        m_host->area.closeAllSubWindows();
    }

    // Pipes in the page's folder, linked as style sheets and pictures by
    // both kinds of address: nothing opens them (an open would wait for a
    // writer, holding the engine's threads and this process's end), and the
    // page is shown.
    void pipesHoldNothing()
    {
        for (const char *name : {"guard/site/pipe.css", "guard/site/pipe.png"})
            QVERIFY(::mkfifo(QFile::encodeName(path(name)).constData(), 0600) == 0);
        const QString file = path("guard/site/pipes.htm");
        const QByteArray site = QUrl::fromLocalFile(path("guard/site/")).toEncoded();
        const QByteArray page = "<title>pipes</title><link rel=stylesheet href=pipe.css><link rel=stylesheet href='"
            + site + "pipe.css'><img src=pipe.png><img src='" + site + "pipe.png'><p>shown</p>";
        QVERIFY(test::writeBytes(file, page));
        showDocument(document(file, page));
        QCOMPARE(shownText(m_dock->area()).trimmed(), QStringLiteral("shown"));
        frmBrowser *window = openBrowserWindow(*m_host, file);
        QTRY_VERIFY_WITH_TIMEOUT(!window->page()->isLoading() && window->page()->title() == QLatin1String("pipes"),
                                 kLoad);
        m_host->area.closeAllSubWindows();
    }

    // A script's navigation is no click: whether a timer sets the address,
    // the page clicks a link or submits a form of its own, or opens a
    // window, no browser window opens; a page that tries is shown again
    // without its scripts, and the dock says so. The other pages set their
    // title once they have tried.
    void scriptNavigationsOpenNothing_data()
    {
        tw::test::columns<QByteArray, bool>("script", "stopped");
        QTest::newRow("timer sets location") << QByteArray("setTimeout(function(){location='other.htm';"
                                                           "document.title='tried';},50);") << true;
        QTest::newRow("click on a made link")
            << QByteArray("var a=document.createElement('a');a.href='other.htm';document.body.appendChild(a);"
                          "setTimeout(function(){a.click();document.title='tried';},50);") << true;
        QTest::newRow("click on a made link to a new window")
            << QByteArray("var a=document.createElement('a');a.href='other.htm';a.target='_blank';"
                          "document.body.appendChild(a);a.click();document.title='tried';") << false;
        QTest::newRow("window.open from a timer")
            << QByteArray("setTimeout(function(){window.open('other.htm');document.title='tried';},50);") << false;
        QTest::newRow("form.submit()")
            << QByteArray("var f=document.createElement('form');f.action='other.htm';document.body.appendChild(f);"
                          "f.submit();document.title='tried';") << true;
        QTest::newRow("50 tries")
            << QByteArray("var n=0;var t=setInterval(function(){location='https://example.org/?'+n;"
                          "if(++n==50){clearInterval(t);document.title='tried';}},10);") << true;
    }
    void scriptNavigationsOpenNothing()
    {
        auto [script, stopped] = tw::test::fetch<QByteArray, bool>("script", "stopped");
        static int n = 0;
        frmDocument *d = document(QStringLiteral("Script %1").arg(++n),
                                  "<title>start</title><p>page text</p><noscript><p>without scripts</p></noscript>"
                                  "<script>" + script + "</script>");
        m_dock->setDocument(d);
        if (stopped) {
            QTRY_COMPARE_WITH_TIMEOUT(m_dock->message(),
                                      QStringLiteral("The page stopped: its scripts tried to open another address "
                                                     "without a click and were stopped. The preview shows it again "
                                                     "at the next change."),
                                      kLoad);
            QTRY_COMPARE_WITH_TIMEOUT(shownText(m_dock->area()).trimmed(), QStringLiteral("page text\n\nwithout scripts"),
                                      kLoad);
        } else {
            // Also shows that the scripts of the next page run again.
            QTRY_COMPARE_WITH_TIMEOUT(run(m_dock->area(), QStringLiteral("document.title")).toString(),
                                      QStringLiteral("tried"), kLoad);
            QCOMPARE(m_dock->message(), QString());
        }
        QCOMPARE(m_host->area.subWindowList().size(), 0);
        m_dock->setDocument(nullptr);
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

    // Above the size limit the view waits for Refresh, and says so, before
    // and after it; at the limit it follows the typing.
    void largePagesRefreshOnDemand()
    {
        frmDocument *d = document(QStringLiteral("Document 7"), "<p>small</p>");
        showDocument(d);
        auto *refresh = m_dock->findChild<QPushButton *>(QStringLiteral("cmdLiveRefresh"));
        QVERIFY(!refresh->isVisible());
        m_dock->setAutoLimit(d->textEdit->documentLength() + 1);
        type(d, "!");
        m_dock->setAutoLimit(1024 * 1024);
        QSignalSpy shown(m_dock, &LivePreviewDock::shown);
        const QByteArray big = "<p>" + QByteArray(1024 * 1024, 'b') + "</p><p>big end</p>";
        d->textEdit->SendScintilla(QsciScintilla::SCI_APPENDTEXT, big.size(), big.constData());
        QTest::qWait(300);
        QCOMPARE(shown.size(), 0);
        const QString notice = QStringLiteral("This page is over 1 MB: the preview is refreshed only "
                                              "when you press Refresh.");
        QCOMPARE(m_dock->message(), notice);
        QVERIFY(refresh->isVisible());
        QTest::mouseClick(refresh, Qt::LeftButton);
        QVERIFY(shown.wait(kLoad));
        QVERIFY(shownText(m_dock->area()).contains(QStringLiteral("big end")));
        QCOMPARE(m_dock->message(), notice);
        // Back from another page, the large one waits again: the other's text goes.
        showDocument(document(QStringLiteral("Document 8"), "<p>other</p>"));
        m_dock->setDocument(d);
        QTRY_COMPARE_WITH_TIMEOUT(shownText(m_dock->area()), QString(), kLoad);
        m_dock->setAutoLimit(LivePreviewDock::kAutoLimit);
    }

    // Seeded random edits on the shipped pages, half-typed markup and all:
    // after each, the page changed in place serializes as a fresh load of
    // the same text does, and nothing loads anew (but for a doctype edit
    // that turns the quirks mode, which a document cannot change in place).
    void editsInPlaceMatchAFreshLoad()
    {
        QMainWindow freshFrame;
        auto *fresh = new LivePreviewDock(*m_host, &freshFrame);
        freshFrame.addDockWidget(Qt::RightDockWidgetArea, fresh);
        fresh->setAutoLimit(0); // shows the text only when refreshed: a fresh load each time
        freshFrame.show();
        const QString serialized = QStringLiteral(
            "document.compatMode + (document.doctype ? new XMLSerializer().serializeToString(document.doctype) : '')"
            " + document.documentElement.outerHTML");
        const char *pieces[] = {"<", ">", "<p cla", "\"", "'", "</div>", "<!--", "-->", "<b>", "</b>", "x", " ", "\n",
                                "&amp", "<li>", "<td>", "<table>", "</p>", "=", "<img src=pic.png>", "<template><i>",
                                "<svg><circle r=3>", "<iframe srcdoc='<b>f</b>'>", "<textarea>", "<style>p{}"};
        const int edits = qEnvironmentVariableIntValue("TW_LIVE_EDITS") > 0
            ? qEnvironmentVariableIntValue("TW_LIVE_EDITS") : 1000;
        QRandomGenerator random(24);
        int equal = 0, done = 0, strayLoads = 0;
        for (const char *name : {"sample.htm", "help.htm"}) {
            const QByteArray text = test::readBytes(qEnvironmentVariable("TW_TEST_DATA_DIR") + '/' + name);
            QVERIFY(!text.isEmpty());
            frmDocument *d = document(path(name), text);
            showDocument(d);
            fresh->setDocument(d);
            QSignalSpy loads(m_dock->area()->widget(), SIGNAL(loadStarted()));
            QString mode = ask(QStringLiteral("document.compatMode")).toString();
            for (int i = 0; i < edits / 2; ++i, ++done) {
                SourceEditor *e = d->textEdit;
                const qsizetype at = random.bounded(int(e->documentLength()) + 1);
                QSignalSpy updated(m_dock, &LivePreviewDock::pageUpdated);
                if (random.bounded(3) == 0) {
                    e->SendScintilla(QsciScintilla::SCI_DELETERANGE, at,
                                     qMin<qsizetype>(random.bounded(1, 12), e->documentLength() - at));
                } else {
                    const char *piece = pieces[random.bounded(int(std::size(pieces)))];
                    e->SendScintilla(QsciScintilla::SCI_INSERTTEXT, at, piece);
                }
                QVERIFY(updated.wait(kLoad));
                QSignalSpy loaded(fresh, &LivePreviewDock::pageUpdated);
                fresh->refresh();
                QVERIFY(loaded.wait(kLoad));
                const QString live = ask(serialized).toString();
                const QString expected = run(fresh->area(), serialized).toString();
                if (live == expected)
                    ++equal;
                else
                    qInfo().noquote() << "mismatch after edit" << done << "of" << name << "\n live: " << live
                                      << "\n fresh:" << expected;
                const QString now = expected.left(expected.indexOf(QLatin1Char('<')));
                const bool turned = !now.startsWith(mode);
                mode = now;
                if (!loads.isEmpty() && !turned)
                    ++strayLoads;
                loads.clear();
            }
        }
        qInfo() << equal << "of" << done << "edits equal a fresh load";
        QCOMPARE(strayLoads, 0);
        QVERIFY2(equal * 1000 >= done * 995, qPrintable(QStringLiteral("%1 of %2").arg(equal).arg(done)));
    }

    // After the first, each edit in place is sent as the part of the text
    // that changed, and among many children only those around the last
    // change are compared, once one comparison has proven all others equal:
    // edits beside the last change and away from it, across a character
    // written as two halves, after a script changed the page, and after the
    // page loaded itself anew (it then holds no text of ours and is sent the
    // whole). Written as the engine writes it back, the body's text is what
    // the page must hold after each edit.
    void editsAfterTheFirstSendTheirChange()
    {
        QByteArray page = "<html><head></head><body><p>a\xf0\x9f\x98\x80" "b</p>\n";
        for (int k = 0; k < 100; ++k)
            page += "<p>" + QByteArray::number(k) + "</p>\n";
        frmDocument *d = document(path("many.htm"), page + "</body></html>");
        showDocument(d);
        QSignalSpy loads(m_dock->area()->widget(), SIGNAL(loadStarted()));
        const struct {
            const char *find, *replace, *script;
        } rows[] = {
            {"b<", "bc<", nullptr},
            {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x81", nullptr}, // the same first half
            {"<p>50</p>", "<p>50x</p>", nullptr},
            {"50x", "50xy", nullptr},
            {"50xy</p>\n", "50xy</p>\n<p>new</p>\n", nullptr},
            {"</p>\n<p>new", " new", nullptr},
            {"<p>10</p>", "<p>10a</p>", nullptr},
            {"10a", "10ab", "document.body.children[90].textContent = 'changed'"},
            {"10ab", "10abc", "document.body.children[1].remove()"},
            {"10abc", "10abcd", "location.reload()"},
            {"<p>99</p>\n", "", nullptr},
            {"<body>", "<body><p>first</p>", nullptr},
        };
        for (const auto &row : rows) {
            if (row.script) {
                QSignalSpy loaded(m_dock->area()->widget(), SIGNAL(loadFinished(bool)));
                ask(QString::fromLatin1(row.script));
                if (QByteArray(row.script).contains("reload")) {
                    QVERIFY(loaded.wait(kLoad));
                    loads.clear();
                }
            }
            const QByteArray text(d->textEdit->documentData(), d->textEdit->documentLength());
            const qsizetype at = text.indexOf(row.find);
            QVERIFY(at >= 0);
            QSignalSpy updated(m_dock, &LivePreviewDock::pageUpdated);
            d->textEdit->SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, at, at + qstrlen(row.find));
            d->textEdit->SendScintilla(QsciScintilla::SCI_REPLACETARGET, -1, row.replace);
            QVERIFY(updated.wait(kLoad));
            const QByteArray now(d->textEdit->documentData(), d->textEdit->documentLength());
            const qsizetype body = now.indexOf("<body>") + 6;
            // The line end a save adds after </html> goes into the body.
            QCOMPARE(ask(QStringLiteral("document.body.innerHTML")).toString(),
                     QString::fromUtf8(now.mid(body, now.indexOf("</body>") - body) + '\n'));
        }
        QCOMPARE(loads.size(), 0);
    }

    // What the page's scripts keep and what the user typed into its fields
    // outlives edits of its markup; an edit of a script loads it anew, at
    // the element that was at the top of the view.
    void pageStateOutlivesEdits()
    {
        frmDocument *d = document(path("state.htm"),
                                  "<script>var born = Math.random(), n = 0;"
                                  "setInterval(function () { document.body.dataset.n = born + ':' + (++n); }, 10);"
                                  "</script><input id=f><div style='height:3000px'>a</div><p id=mark>mark</p>"
                                  "<div style='height:3000px'></div>");
        showDocument(d);
        QTRY_VERIFY_WITH_TIMEOUT(ask(QStringLiteral("document.body.dataset.n || ''")).toString().contains(':'), kLoad);
        ask(QStringLiteral("var f = document.getElementById('f'); f.focus(); f.value = 'typed'; "
                           "document.getElementById('mark').scrollIntoView()"));
        const QString born = ask(QStringLiteral("document.body.dataset.n")).toString().section(':', 0, 0);
        QSignalSpy loads(m_dock->area()->widget(), SIGNAL(loadStarted()));
        insert(d, d->textEdit->documentLength(), "<p>more</p>");
        const qsizetype field = QByteArray(d->textEdit->documentData()).indexOf("<input id=f") + 11;
        insert(d, field, " class=x");
        QTRY_VERIFY_WITH_TIMEOUT(ask(QStringLiteral("document.body.dataset.n || ''")).toString().contains(':'), kLoad);
        QCOMPARE(ask(QStringLiteral("document.body.dataset.n")).toString().section(':', 0, 0), born);
        QCOMPARE(ask(QStringLiteral("[f.value, f.className, document.activeElement.id].join()")).toString(),
                 QStringLiteral("typed,x,f"));
        QCOMPARE(loads.size(), 0);

        const QString markTop = QStringLiteral("Math.round(document.getElementById('mark').getBoundingClientRect().top)");
        const int top = ask(markTop).toInt();
        QSignalSpy updated(m_dock, &LivePreviewDock::pageUpdated);
        insert(d, QByteArray(d->textEdit->documentData()).indexOf("var born"),
               "document.documentElement.style.paddingTop = '500px'; ");
        QCOMPARE(updated.first().at(0).toBool(), true);
        QCOMPARE(loads.size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(ask(markTop).toInt(), top, kLoad);
    }

    // A style sheet open in a document window is served from its unsaved
    // text, and its edits restyle the page as a style element's do: in
    // place.
    void styleSheetsRestyleInPlace()
    {
        QVERIFY(test::writeBytes(path("look.css"), "#a{width:10px}"));
        frmDocument *sheet = document(path("look.css"), "#a{width:20px}");
        m_dock->setOpenDocuments([sheet] { return QList<frmDocument *>{sheet}; });
        frmDocument *d = document(path("look.htm"), "<link rel=stylesheet href=look.css>"
                                                    "<style>#b{width:5px}</style><p id=a>a</p><p id=b>b</p>");
        showDocument(d);
        const QString widths = QStringLiteral("getComputedStyle(document.getElementById('a')).width + "
                                              "getComputedStyle(document.getElementById('b')).width");
        QTRY_COMPARE_WITH_TIMEOUT(ask(widths).toString(), QStringLiteral("20px5px"), kLoad);
        QSignalSpy loads(m_dock->area()->widget(), SIGNAL(loadStarted()));
        sheet->textEdit->SendScintilla(QsciScintilla::SCI_INSERTTEXT, 10, "3");
        QTRY_COMPARE_WITH_TIMEOUT(ask(widths).toString(), QStringLiteral("230px5px"), kLoad);
        insert(d, QByteArray(d->textEdit->documentData()).indexOf("5px"), "6");
        QCOMPARE(ask(widths).toString(), QStringLiteral("230px65px"));
        QCOMPARE(loads.size(), 0);
        m_dock->setOpenDocuments({});
    }

    // What carries our messages lives in our own world: the page's scripts
    // find neither the channel, its transport nor our object, so they can
    // neither call it nor make messages of its.
    void pageScriptsCannotReachTheChannel()
    {
        frmDocument *d = document(path("reach.htm"),
                                  "<title>wait</title><script>document.title = [typeof qt, typeof QWebChannel, "
                                  "typeof twLive, typeof twLiveBridge].join();</script>");
        showDocument(d);
        QCOMPARE(ask(QStringLiteral("document.title")).toString(),
                 QStringLiteral("undefined,undefined,undefined,undefined"));
        QCOMPARE(ask(QStringLiteral("[typeof qt.webChannelTransport, typeof twLive.update].join()")).toString(),
                 QStringLiteral("object,function"));
    }
};

QTEST_MAIN(LivePreviewTest)
#include "tst_live_preview.moc"
