// Find in Files over a generated site of 2,000 pages (about 100 MB, with
// style sheets, scripts, pictures and a few broken links), side by side with
// ripgrep (Debian's `ripgrep`, which bench/run-findfiles-bench.sh installs)
// on the same files and pattern, in the same run, with a warm cache:
//   - the time to the first result delivered to the window thread;
//   - the whole search, and rg's time for it;
//   - the longest the window thread was held while results streamed into a
//     shown results view (a 1 ms timer's longest gap);
// each with the view drawn as rows come, and again drawn anew at every tick
// of that timer besides (which takes a processor from the search).
//
//   QT_QPA_PLATFORM=offscreen tw_findfiles_bench [site-folder] [runs]

#include "search/SearchResultModel.h"
#include "search/SearchRun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace tw;
using namespace tw::search;

namespace {

constexpr int kPages = 2000;
constexpr int kPageBytes = 50'000;
const char *const kPattern = "lighthouse";

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// Pages of paragraphs, tables and links in 20 folders; one page in ten
// mentions the word looked for a few times, one in a hundred has a broken link.
void makeSite(const QString &root)
{
    std::mt19937 random(42);
    const char *words[] = {"harbour", "caf\xc3\xa9", "table", "river", "garden", "window", "stone",
                           "lantern", "meadow", "bridge", "harvest", "summit"};
    for (int i = 0; i < kPages; ++i) {
        QByteArray page = "<!DOCTYPE html>\r\n<html><head><title>Page " + QByteArray::number(i)
                          + "</title><link rel=\"stylesheet\" href=\"../css/site.css\"></head>\r\n<body>\r\n";
        int line = 0;
        while (page.size() < kPageBytes) {
            page += "<p class=\"text\">";
            for (int w = 0; w < 12; ++w) {
                page += words[random() % std::size(words)];
                page += ' ';
            }
            if (i % 10 == 0 && ++line % 80 == 0)
                page += "the Lighthouse ";
            page += "<a href=\"page" + QByteArray::number(random() % kPages) + ".htm\">more</a></p>\r\n";
        }
        if (i % 100 == 0)
            page += "<img src=\"missing.gif\">\r\n";
        page += "</body></html>\r\n";
        write(QStringLiteral("%1/s%2/page%3.htm").arg(root).arg(i % 20).arg(i), page);
    }
    for (int i = 0; i < 20; ++i) {
        write(QStringLiteral("%1/css/s%2.css").arg(root).arg(i),
              QByteArray("body { background: url(../img/bg.gif); }\n").repeated(200));
        write(QStringLiteral("%1/js/s%2.js").arg(root).arg(i), QByteArray("function f(x) { return x + 1; }\n").repeated(200));
        write(QStringLiteral("%1/img/p%2.gif").arg(root).arg(i), QByteArray(20'000, '\x47'));
    }
}

struct Run {
    double firstMs = -1;
    double totalMs = 0;
    double longestStallMs = 0;
    qint64 matches = 0;
};

// With `repaintEachTick` the view is also drawn anew at every tick, as if it
// were scrolled all the while; without, it is drawn as rows come, as in the
// program.
Run searchOnce(const QString &root, QTreeView &view, SearchResultModel &model, bool repaintEachTick)
{
    model.clear();
    SearchQuery query;
    query.pattern = QString::fromLatin1(kPattern);
    query.folder = root;
    SearchRun run(query, {});
    Run r;
    QElapsedTimer clock;
    QEventLoop loop;
    QObject::connect(&run, &SearchRun::found, &model, [&](const QVector<PageHits> &pages) {
        if (r.firstMs < 0)
            r.firstMs = clock.nsecsElapsed() / 1e6;
        model.append(pages);
    });
    QObject::connect(&run, &SearchRun::finished, &loop, [&](const SearchTotals &t) {
        r.totalMs = clock.nsecsElapsed() / 1e6;
        r.matches = t.matches;
        loop.quit();
    });
    // The window thread's longest gap between two ticks of a 1 ms timer.
    QTimer tick;
    tick.setInterval(1);
    QElapsedTimer sinceTick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        r.longestStallMs = std::max(r.longestStallMs, sinceTick.nsecsElapsed() / 1e6 - 1);
        sinceTick.start();
        if (repaintEachTick)
            view.viewport()->update();
    });
    clock.start();
    sinceTick.start();
    tick.start();
    run.start();
    loop.exec();
    return r;
}

double ripgrep(const QString &rg, const QString &root)
{
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.start(rg, {"-i", "-F", "--no-ignore", "--hidden", "-n", "--column", "-g", "*.htm", "-g", "*.html",
                 "-g", "*.css", "-g", "*.js", QString::fromLatin1(kPattern), root});
    p.waitForFinished(-1);
    (void)p.readAllStandardOutput();
    return clock.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    QString root = argc > 1 && argv[1][0] ? QString::fromLocal8Bit(argv[1]) : temporary.path() + QStringLiteral("/site");
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    if (!QFileInfo::exists(root + QStringLiteral("/s0/page0.htm"))) {
        std::printf("making the site in %s ...\n", qPrintable(root));
        makeSite(root);
    }
    const QString rg = QStandardPaths::findExecutable(QStringLiteral("rg"));

    SearchResultModel model;
    QTreeView view;
    view.setModel(&model);
    view.setUniformRowHeights(true);
    view.resize(900, 400);
    view.show();

    searchOnce(root, view, model, false); // warms the cache
    if (!rg.isEmpty())
        ripgrep(rg, root);
    std::printf("Find in Files, %d pages, pattern \"%s\", median of %d runs:\n", kPages, kPattern, runs);
    for (const bool repaint : {false, true}) {
        std::vector<double> first, total, stall, rgTimes;
        qint64 matches = 0;
        for (int i = 0; i < runs; ++i) {
            const Run r = searchOnce(root, view, model, repaint);
            first.push_back(r.firstMs);
            total.push_back(r.totalMs);
            stall.push_back(r.longestStallMs);
            matches = r.matches;
            if (!rg.isEmpty())
                rgTimes.push_back(ripgrep(rg, root));
        }
        std::printf(repaint ? "the results view drawn anew every millisecond besides:\n"
                            : "the results view drawn as rows come (%lld matches):\n",
                    static_cast<long long>(matches));
        std::printf("  first result        %8.1f ms\n", median(first));
        std::printf("  whole search        %8.1f ms\n", median(total));
        if (!rgTimes.empty())
            std::printf("  ripgrep (rg -i -F)  %8.1f ms   ratio %.2f\n", median(rgTimes),
                        median(total) / median(rgTimes));
        else
            std::printf("  ripgrep: not installed (apt-get install ripgrep)\n");
        std::printf("  longest window stall %7.1f ms (worst run %.1f ms)\n", median(stall),
                    *std::max_element(stall.begin(), stall.end()));
    }
    return 0;
}
