// A small frame for measuring what the browser costs: start-up with and
// without the browser module loaded, and idle CPU with browser windows open.
//
//   tw_browser_start plain|attr|browser|idle3 [PAGE]
//
// plain   shows an MDI frame and exits: the start-up every session pays.
// attr    the same with Qt::AA_ShareOpenGLContexts set before the application
//         exists (how the engine's GL context used to be provided).
// browser opens one browser window on PAGE and exits once it has loaded.
// idle3   opens three browser windows on PAGE and stays open.
// Prints "window <ns since the epoch>", "loaded <ns>" and "rss <kB>".
#include "browser/BrowserCommands.h"
#include "browser/BrowserHost.h"
#include "browser/frmBrowser.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>

namespace {

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

QByteArray rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "?";
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first();
    return "?";
}

class Frame final : public QObject, public tw::BrowserHost {
public:
    QMdiArea area;
    tw::QtDialogs dialogsImpl;
    tw::Dialogs &dialogs() override { return dialogsImpl; }
    void addBrowserWindow(tw::frmBrowser *window) override { area.addSubWindow(window)->show(); }
    bool toolbarShown() const override { return true; }
    bool editBarsShown() const override { return true; }
    void setToolbarShown(bool) override {}
    void setEditBarsShown(bool) override {}
    void watchBars(QObject *, std::function<void()>) override {}
};

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("plain");
    if (mode == "attr")
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QString page = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    Frame frame;
    frame.area.resize(1000, 700);
    frame.area.show();
    while (!frame.area.windowHandle() || !frame.area.windowHandle()->isExposed())
        app.processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("window %lld\n", nowNs());

    if (mode == "plain" || mode == "attr") {
        std::printf("rss %s\n", rssKb().constData());
        return 0;
    }
    const int count = mode == "idle3" ? 3 : 1;
    int loaded = 0;
    for (int i = 0; i < count; ++i) {
        tw::frmBrowser *window = tw::openBrowserWindow(frame, page);
        QObject::connect(window, &QWidget::windowTitleChanged, &app, [&, window](const QString &title) {
            if (title.isEmpty() || title == QLatin1String("Working...") || window->property("done").toBool())
                return;
            window->setProperty("done", true);
            if (++loaded < count)
                return;
            std::printf("loaded %lld\nrss %s\n", nowNs(), rssKb().constData());
            std::fflush(stdout);
            if (mode == "browser")
                QTimer::singleShot(0, &app, &QApplication::quit);
        });
    }
    return app.exec();
}
