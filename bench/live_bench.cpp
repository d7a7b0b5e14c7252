// What the live preview costs while typing, with the real engine.
//
//   tw_live_bench [KEYS]
//
// keystroke: one character inserted into a 1 MB page as typing does, timed
//            on the user-interface thread, with the preview off (dock
//            hidden) and on (dock showing the page); the median and the
//            slowest of KEYS keys (200 unless given).
// key to paint: a key pressed in the editor (a real key event) to the page's
//            acknowledgement that it painted the change (after its next
//            animation frame), for a 100 KB and a 1 MB page: the median and
//            the 95th percentile. "in place" is the dock as it is; "reload"
//            is the way it worked before: 300 ms after the last key, the
//            whole page loaded anew.
// Prints one line per figure in milliseconds.
#include "browser/BrowserEngine.h"
#include "browser/BrowserHost.h"
#include "browser/LiveArea.h"
#include "browser/LivePreviewDock.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace tw;

namespace {

class Host final : public BrowserHost {
public:
    QtDialogs d;
    Dialogs &dialogs() override { return d; }
    void addBrowserWindow(frmBrowser *) override {}
    bool toolbarShown() const override { return true; }
    bool editBarsShown() const override { return true; }
    void setToolbarShown(bool) override {}
    void setEditBarsShown(bool) override {}
    void watchBars(QObject *, std::function<void()>) override {}
};

QByteArray pageOf(qsizetype size)
{
    QByteArray line("<p>Some text of a paragraph, with <b>bold</b> words in it.</p>\n");
    QByteArray out("<!DOCTYPE html><html><body>\n");
    while (out.size() < size)
        out += line;
    out += "<p id=end>end</p></body></html>";
    return out;
}

// One key typed at the end of the page's body, timed; ns.
qint64 key(frmDocument *d)
{
    SourceEditor *e = d->textEdit;
    QElapsedTimer t;
    t.start();
    e->SendScintilla(QsciScintilla::SCI_INSERTTEXT, e->documentLength() - 20, "x");
    return t.nsecsElapsed();
}

void report(const char *what, QList<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    std::printf("%-40s median %8.3f ms   p95 %8.3f ms   slowest %8.3f ms   (%lld runs)\n", what,
                ns.at(ns.size() / 2) / 1e6, ns.at((ns.size() * 95 + 99) / 100 - 1) / 1e6,
                ns.last() / 1e6, static_cast<long long>(ns.size()));
}

// From a key pressed in the editor to the page's paint of it, count times.
QList<qint64> keyToPaint(LivePreviewDock *dock, frmDocument *d, int count, bool reload)
{
    QSignalSpy painted(dock, &LivePreviewDock::painted);
    QTimer later; // the old way: a load 300 ms after the last key
    later.setSingleShot(true);
    later.setInterval(300);
    QObject::connect(&later, &QTimer::timeout, dock, &LivePreviewDock::refresh);
    QList<qint64> out;
    SourceEditor *e = d->textEdit;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = QByteArray(e->documentData(), e->documentLength()).lastIndexOf("</p>");
        e->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(at));
        const int before = dock->area()->revision();
        painted.clear();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(e, Qt::Key_X);
        if (reload)
            later.start();
        for (;;) {
            if (painted.isEmpty() && !painted.wait(60000))
                break;
            if (painted.takeFirst().at(0).toInt() > before)
                break;
        }
        out << t.nsecsElapsed();
        QTest::qWait(20);
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known
    const int keys = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    addBrowserModuleDir(QCoreApplication::applicationDirPath());
    Host host;
    QMainWindow frame;
    frame.resize(1200, 800);
    auto *dock = new LivePreviewDock(host, &frame);
    frame.addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
    frame.show();
    QTest::qWaitForWindowExposed(&frame);

    frmDocument big;
    big.setCaption(QStringLiteral("Document 1"));
    big.textEdit->loadBytes(pageOf(1 << 20));
    dock->setDocument(&big);

    QList<qint64> off;
    for (int i = 0; i < keys; ++i) {
        off << key(&big);
        QTest::qWait(5);
    }
    report("keystroke, 1 MB, preview off", off);

    QSignalSpy shown(dock, &LivePreviewDock::shown);
    dock->show();
    shown.wait(60000);
    QSignalSpy painted(dock, &LivePreviewDock::painted);
    QList<qint64> on;
    for (int i = 0; i < keys; ++i) {
        on << key(&big);
        // Every tenth key waits for the page, so updates run between keys
        // as they do for a person typing.
        if (i % 10 == 9)
            painted.wait(60000);
        else
            QTest::qWait(5);
    }
    report("keystroke, 1 MB, preview on", on);

    frmDocument small;
    small.setCaption(QStringLiteral("Document 2"));
    small.textEdit->loadBytes(pageOf(100 * 1024));
    for (frmDocument *d : {&small, &big}) {
        dock->setDocument(d);
        shown.wait(60000);
        d->textEdit->setFocus();
        const char *size = d == &small ? "100 KB" : "1 MB";
        report(qPrintable(QStringLiteral("key to paint, %1, in place").arg(QLatin1String(size))),
               keyToPaint(dock, d, d == &small ? 40 : 20, false));
        dock->setAutoLimit(0); // edits wait for Refresh, which the old timer pressed
        report(qPrintable(QStringLiteral("key to paint, %1, reload").arg(QLatin1String(size))),
               keyToPaint(dock, d, 20, true));
        dock->setAutoLimit(LivePreviewDock::kAutoLimit);
    }
    return 0;
}
