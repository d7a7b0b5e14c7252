// What the live preview costs while typing, with the real engine.
//
//   tw_live_bench [KEYS]
//
// keystroke: one character inserted into a 1 MB page as typing does, timed
//            on the user-interface thread, with the preview off (dock
//            hidden) and on (dock showing the page); the median and the
//            slowest of KEYS keys (200 unless given), keys spaced so that
//            refreshes run in between as they would.
// refresh:   the work a refresh does on that thread for the 1 MB page
//            (copying its bytes as Save writes them and asking the view).
// latency:   a 100 KB page: from the last key to the view having loaded the
//            new text (the text read back from the page), ten times.
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
    std::printf("%-34s median %7.3f ms   slowest %7.3f ms   (%lld runs)\n", what, ns.at(ns.size() / 2) / 1e6,
                ns.last() / 1e6, static_cast<long long>(ns.size()));
}

QString bodyText(LiveArea *area)
{
    QString text;
    QEventLoop loop;
    area->runScript(QStringLiteral("document.getElementById('end') ? document.getElementById('end').innerText : ''"),
                    [&](const QVariant &v) {
                        text = v.toString();
                        loop.quit();
                    });
    loop.exec();
    return text;
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
    QList<qint64> on;
    for (int i = 0; i < keys; ++i) {
        on << key(&big);
        // Every tenth key waits for the refresh, so refreshes and loads run
        // between keys as they do for a person typing.
        if (i % 10 == 9)
            shown.wait(60000);
        else
            QTest::qWait(5);
    }
    report("keystroke, 1 MB, preview on", on);

    QList<qint64> refresh;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        dock->refresh();
        refresh << t.nsecsElapsed();
        shown.wait(60000);
    }
    report("refresh work on the UI thread, 1 MB", refresh);

    frmDocument small;
    small.setCaption(QStringLiteral("Document 2"));
    small.textEdit->loadBytes(pageOf(100 * 1024));
    dock->setDocument(&small);
    shown.wait(60000);
    QList<qint64> latency;
    for (int i = 0; i < 10; ++i) {
        const QByteArray mark = QByteArray::number(i);
        SourceEditor *e = small.textEdit;
        // The last key of the paragraph with id "end".
        const qsizetype at = QByteArray(e->documentData(), e->documentLength()).lastIndexOf("</p>");
        QElapsedTimer t;
        t.start();
        e->SendScintilla(QsciScintilla::SCI_INSERTTEXT, at, mark.constData());
        // Signals that came during a read count: nothing is missed.
        qsizetype seen = shown.size();
        for (;;) {
            if (shown.size() == seen)
                shown.wait(60000);
            seen = shown.size();
            if (bodyText(dock->area()).endsWith(QString::fromLatin1(mark)))
                break;
        }
        latency << t.nsecsElapsed();
    }
    report("last key to new text shown, 100 KB", latency);
    return 0;
}
