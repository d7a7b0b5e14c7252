// Loading a page into a document window's editor with the look the program
// gives it: highlighted (style bytes and the HTML lexer) up to 20 MB, plain
// above. The time is loading the page into a fresh editor and painting it;
// to_end_ms is going to the end of the page afterwards and painting again,
// which makes the lexer style the whole page once.
//
//   QT_QPA_PLATFORM=offscreen tw_look_bench --benchmark_filter=NAME
//
// Run one case per process to read its peak memory (peak_rss_MB); the
// bench/run-look-bench.sh script does so.

#include "editor/EditorLook.h"
#include "editor/SourceEditor.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>


#include <cstdio>
#include <memory>

using namespace tw;

namespace {

constexpr qsizetype kMB = 1 << 20;

QByteArray makePage(qsizetype size)
{
    QByteArray page;
    page.reserve(size + 256);
    page += "<html><head><style>td { color: red; }</style>"
            "<script>var n = 1; // count</script></head><body><table>\r\n";
    char line[256];
    for (int row = 0; page.size() < size; ++row) {
        const int n = std::snprintf(line, sizeof line,
                                    "<tr><td class=\"c%d\">Row %d</td><!-- note --><td>caf\xC3\xA9 &amp; "
                                    "text</td><td align=right>%d</td></tr>\r\n",
                                    row % 7, row, row * 3);
        page.append(line, n);
    }
    page.truncate(size);
    return page;
}

void load(benchmark::State &state, bool highlighting)
{
    const qsizetype size = state.range(0) * kMB;
    QByteArray page = makePage(size);
    const double base = tw::bench::peakRssMB();
    bool plain = false;
    double endMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<SourceEditor>();
        EditorLook *look = EditorLook::attach(editor.get(), highlighting, true);
        editor->resize(900, 700);
        editor->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        editor->loadBytes(page);
        editor->repaint();
        plain = look->isPlain();

        state.PauseTiming();
        // Going to the end makes the lexer style everything before it once.
        QElapsedTimer clock;
        clock.start();
        editor->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        editor->repaint();
        endMs += double(clock.nsecsElapsed()) / 1e6;
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["page_MB"] = double(size) / kMB;
    state.counters["plain"] = plain ? 1 : 0;
    state.counters["to_end_ms"] = endMs / double(state.iterations());
    state.counters["base_rss_MB"] = base;
    state.counters["peak_rss_MB"] = tw::bench::peakRssMB();
}

void BM_LoadHighlighted(benchmark::State &state)
{
    load(state, true);
}

void BM_LoadHighlightingOff(benchmark::State &state)
{
    load(state, false);
}

} // namespace

BENCHMARK(BM_LoadHighlighted)->Arg(1)->Arg(19)->Arg(21)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadHighlightingOff)->Arg(1)->Arg(19)->Arg(21)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return tw::bench::runBenchmarks(argc, argv);
}
