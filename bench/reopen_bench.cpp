// Start-up with 20 pages, after the frame and its first empty window exist:
// "commandLine" opens them as named on the command line (Reopen Pages at
// Start off), "reopened" brings the same 20 back from the list of the last
// exit (on), caret and first line in view included; each runs to the first
// idle moment, the list's own write included. The pages are 40 KB each.
//
//   tw_reopen_bench [Google Benchmark options]     (QT_QPA_PLATFORM=offscreen)

#include "documents/OpenPages.h"
#include "platform/QtDialogs.h"
#include "documents/frmDocument.h"
#include "shell/ReopenWiring.h"
#include "shell/frmMain.h"

#include "BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kPages = 20;

struct Site {
    QTemporaryDir dir;
    QStringList pages;
    Site()
    {
        QByteArray body = "<html><head><title>t</title></head><body>\n";
        while (body.size() < 40 * 1024)
            body += "<p class=\"x\">A line of text with <a href=\"other.htm\">a link</a> in it.</p>\n";
        body += "</body></html>\n";
        for (int i = 0; i < kPages; ++i) {
            const QString path = dir.filePath(QStringLiteral("page%1.htm").arg(i));
            QFile f(path);
            if (f.open(QIODevice::WriteOnly))
                f.write(body);
            pages << path;
        }
    }
};

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void start(benchmark::State &state, bool reopened)
{
    static Site site;
    QTemporaryDir journals;
    tw::setReopenPagesChosen(reopened);
    tw::OpenPages list;
    for (const QString &page : site.pages)
        list.pages << tw::OpenPage{page, 100, 4, 90};
    list.active = kPages - 1;
    for (auto _ : state) {
        state.PauseTiming();
        tw::writeOpenPages(tw::defaultOpenPagesFile(), list);
        tw::DocumentCount = 0;
        tw::QtDialogs dialogs;
        auto frame = std::make_unique<tw::frmMain>(dialogs);
        frame->MDIForm_Load();
        frame->show();
        settle();
        state.ResumeTiming();

        tw::openStartPages(*frame, reopened ? QStringList() : site.pages, journals.path());
        settle();

        state.PauseTiming();
        if (frame->documents().size() != kPages + 1)
            state.SkipWithError("not every page opened");
        frame.reset();
        settle();
        state.ResumeTiming();
    }
    tw::setReopenPagesChosen(false);
}

void commandLine(benchmark::State &state)
{
    start(state, false);
}
void reopened(benchmark::State &state)
{
    start(state, true);
}

} // namespace

BENCHMARK(commandLine)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(reopened)->Unit(benchmark::kMillisecond)->MinTime(2);

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true); // never the user's settings or list
    return tw::bench::runBenchmarks(argc, argv);
}
