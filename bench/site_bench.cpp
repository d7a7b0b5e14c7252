// How the Site dock fills with a large folder: the time until its first rows
// are shown, until the whole folder is listed and sorted, and the longest
// the window's event loop was held up meanwhile (the lateness of a 1 ms
// timer). Beside it, Qt's own file-system model and tree view as they come
// (system icons, all columns). Run offscreen:
//
//   QT_QPA_PLATFORM=offscreen tw_site_bench [FILES] [RUNS]
#include "platform/QtDialogs.h"
#include "shell/SiteDock.h"
#include "shell/frmMain.h"
#include "site/SiteTree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct Fill {
    double shownMs = 0;  // first rows in the tree
    double listedMs = 0; // every file listed and the rows sorted
    double stallMs = 0;  // the longest the event loop was held up
};

void makeFolder(const QString &path, int files)
{
    QDir().mkpath(path);
    const char *endings[] = {"htm", "png", "css", "txt", "js", "html", "gif", "md"};
    for (int i = 0; i < files; ++i) {
        const QByteArray name = QFile::encodeName(path)
            + QByteArray("/file ") + QByteArray::number(i * 7919 % files) + '.' + endings[i % 8];
        const int fd = ::open(name.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    for (int i = 0; i < 20; ++i)
        QDir().mkdir(path + QStringLiteral("/folder %1").arg(i));
}

// Measures one fill: `start` shows the folder, `rows` counts the rows shown
// and `sorted` says the listing is complete and in order.
template <typename Start, typename Rows, typename Sorted>
Fill measure(int expected, Start start, Rows rows, Sorted sorted)
{
    Fill fill;
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 stallNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        stallNs = std::max(stallNs, now - lastTick - 1'000'000);
        lastTick = now;
    });
    clock.start();
    ticker.start();
    const qint64 before = clock.nsecsElapsed();
    start();
    // The call itself holds the loop up as long as it takes.
    stallNs = std::max(stallNs, clock.nsecsElapsed() - before);
    lastTick = clock.nsecsElapsed();
    while (rows() == 0 && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
    fill.shownMs = clock.nsecsElapsed() / 1e6;
    while ((rows() < expected || !sorted()) && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    fill.listedMs = clock.nsecsElapsed() / 1e6;
    // A sort or a batch may still come just after.
    const qint64 settle = clock.elapsed() + 300;
    while (clock.elapsed() < settle)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    fill.stallMs = stallNs / 1e6;
    return fill;
}

bool sortedByName(const QAbstractItemModel *model, const QModelIndex &root)
{
    const int n = model->rowCount(root);
    if (n < 2)
        return true;
    // Folders come first; a folder row at the end means not sorted yet.
    const auto *fs = static_cast<const QFileSystemModel *>(model);
    return fs->isDir(model->index(0, 0, root)) && !fs->isDir(model->index(n - 1, 0, root));
}

void report(const char *what, std::vector<Fill> fills)
{
    const auto median = [&](double Fill::*field) {
        std::vector<double> v;
        for (const Fill &f : fills)
            v.push_back(f.*field);
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%-34s first rows %8.1f ms   all listed %8.1f ms   longest stall %7.1f ms\n", what,
                median(&Fill::shownMs), median(&Fill::listedMs), median(&Fill::stallMs));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("site"));
    QElapsedTimer made;
    made.start();
    makeFolder(folder, files);
    std::printf("%d files and 20 folders made in %.1f s; median of %d runs, cache warm:\n", files,
                made.elapsed() / 1000.0, runs);
    const int expected = files + 20;

    std::vector<Fill> plain, dock;
    for (int run = 0; run <= runs; ++run) {
        {
            QFileSystemModel model;
            QTreeView view;
            view.setModel(&model);
            view.setSortingEnabled(true);
            view.sortByColumn(0, Qt::AscendingOrder);
            view.resize(300, 600);
            view.show();
            QModelIndex root;
            const Fill f = measure(
                expected, [&] { root = model.setRootPath(folder); view.setRootIndex(root); },
                [&] { return model.rowCount(root); }, [&] { return sortedByName(&model, root); });
            if (run > 0)
                plain.push_back(f);
        }
        {
            tw::QtDialogs dialogs;
            tw::frmMain frame(dialogs);
            frame.resize(1000, 700);
            frame.show();
            QCoreApplication::processEvents();
            auto *site = new tw::SiteDock(frame);
            frame.addDockWidget(Qt::LeftDockWidgetArea, site);
            site->show();
            QCoreApplication::processEvents();
            const Fill f = measure(
                expected, [&] { site->setFolder(folder); },
                [&] { return site->model()->rowCount(site->view()->rootIndex()); },
                [&] { return site->model()->isListed(site->view()->rootIndex()); });
            if (run > 0)
                dock.push_back(f);
        }
    }
    report("Qt's model and tree as they come", plain);
    report("the Site dock", dock);
    return 0;
}
