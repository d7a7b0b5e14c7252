// Replace All on a 50 MB page with 100,000 matches: the byte pass alone
// (replaceAllMatches), and the whole command on an editor holding the page
// (one edit of the document, one undo step). Also find next over the page.
//
//   QT_QPA_PLATFORM=offscreen tw_find_bench

#include "editor/FindReplace.h"
#include "editor/SourceEditor.h"
#include "editor/TextSearch.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>

using namespace tw;

namespace {

constexpr qsizetype kPageSize = 50 << 20;
constexpr int kMatches = 100000;

// Lines of table markup with CR LF line ends; one line in every few holds the
// word "needle", kMatches times in all.
const QByteArray &page()
{
    static const QByteArray bytes = [] {
        QByteArray out;
        out.reserve(kPageSize + 1024);
        const QByteArray filler("<tr><td class=\"c\">caf\xC3\xA9 text</td><td>42</td></tr>\r\n");
        const qsizetype every = kPageSize / kMatches;
        int placed = 0;
        while (out.size() < kPageSize) {
            const qsizetype blockEnd = out.size() + every;
            if (placed < kMatches) {
                out += "<p>needle</p>\r\n";
                ++placed;
            }
            while (out.size() + filler.size() <= blockEnd)
                out += filler;
            if (placed >= kMatches && out.size() + filler.size() > kPageSize)
                break;
        }
        return out;
    }();
    return bytes;
}

void replaceAllBytes(benchmark::State &state, FindOptions options, const QByteArray &find,
                     const QByteArray &with)
{
    const QByteArray &text = page();
    qsizetype count = 0;
    for (auto _ : state) {
        TextSearch search(find, options);
        ReplaceAllResult r = replaceAllMatches(search, text.constData(), text.size(), with);
        count = r.count;
        benchmark::DoNotOptimize(r.text.data());
    }
    state.counters["matches"] = static_cast<double>(count);
    state.counters["page_MB"] = static_cast<double>(text.size()) / (1 << 20);
}

void BM_ReplaceAllBytesPlain(benchmark::State &state)
{
    replaceAllBytes(state, FindOptions{}, "needle", "thread");
}

void BM_ReplaceAllBytesRegex(benchmark::State &state)
{
    FindOptions o;
    o.regularExpression = true;
    o.matchCase = true;
    replaceAllBytes(state, o, "<p>(ne+dle)</p>", "<div>$1</div>");
}

// The command a user runs: the editor already holds the page; the time covers
// the search, the one edit and its notifications.
void BM_ReplaceAllInEditor(benchmark::State &state)
{
    SourceEditor editor;
    qsizetype size = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.loadBytes(page());
        state.ResumeTiming();
        FindRequest request{QStringLiteral("needle"), QStringLiteral("threads"), FindOptions{}};
        const FindOutcome out = replaceAllInEditor(editor, request);
        if (!out.changed)
            state.SkipWithError("nothing replaced");
        size = editor.documentLength();
    }
    state.counters["page_MB"] = static_cast<double>(size) / (1 << 20);
}

void BM_FindNextToTheEnd(benchmark::State &state)
{
    const QByteArray &text = page();
    TextSearch search("no such text", FindOptions{});
    for (auto _ : state)
        benchmark::DoNotOptimize(search.findNext(text.constData(), text.size(), 0, true));
}

} // namespace

BENCHMARK(BM_ReplaceAllBytesPlain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReplaceAllBytesRegex)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReplaceAllInEditor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FindNextToTheEnd)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return tw::bench::runBenchmarks(argc, argv);
}
