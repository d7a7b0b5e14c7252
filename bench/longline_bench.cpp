// Editing a page whose text is one very long line, against a page of the same
// size in ordinary lines. Each row is one page, highlighted ("lexer") or with
// highlighting off ("plain"), in an offscreen editor of 900 x 700 pixels with
// the look a document window gives it:
//
//   open    loading the page into a fresh editor and painting it once
//           ("load_cpu_ms": the processor time before the paint); for a
//           "-breaks" page this includes putting a line break after each '>'
//           of the long line first (Open With Line Breaks)
//   key     one typed character (a real key event) in the middle of the long
//           line, and the paint that shows it
//   right   the Right arrow key there, and the paint
//   end     the End and Home keys in turn, each with its paint
//   scroll  a horizontal scroll by a page, right and left in turn, with paint
//   idle    the editor focused with the caret in the middle of the line, left
//           alone for 5 s with the caret blinking ("idle") or standing still
//           ("idle-steady", as a page opened as it is has it)
//   census  counting the longest line of the page as the reader does while
//           it reads (LineCensus), per MB
//
// The steps report the median and the slowest step ("median_ms", "max_ms")
// and the median processor time of a step ("cpu_median_ms"); idle reports the
// processor time of the 5 s.
// Names are OPERATION/PAGE/LOOK, for instance key/5MB-one-line/lexer. The
// 256KB to 2MB one-line pages find the line length where a key starts to
// cost a quarter of a second (kLongLineLimit).
//
//   QT_QPA_PLATFORM=offscreen tw_longline_bench [--sci=MESSAGE:VALUE ...]
//       [--steps=N] [--caret-listener] [Google Benchmark options]
//
// --sci sends a Scintilla message with that number and value to every editor
// after its look is attached, to try an editor setting without a rebuild
// (2514:N is SCI_SETPOSITIONCACHE, 2272:N SCI_SETLAYOUTCACHE). Run one
// --steps sets how many steps each step row times (to profile them).
// --caret-listener connects a listener to the caret's line and column, as a
// status bar showing them would.
// Run one benchmark per process to read its peak memory; bench/run-longline-bench.sh
// does so and prints a table.

#include "editor/EditorLook.h"
#include "documents/LongLineQuestion.h"
#include "editor/SourceEditor.h"

#include "BenchSupport.h"
#include "LongPage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QKeyEvent>
#include <QScrollBar>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace tw;

namespace {

constexpr qsizetype kMB = 1 << 20;

struct Page {
    const char *name;
    qsizetype size;
    bool oneLine;
    bool breaks = false; // opened with line breaks
};

const Page kPages[] = {
    {"256KB-one-line", kMB / 4, true},
    {"512KB-one-line", kMB / 2, true},
    {"768KB-one-line", kMB * 3 / 4, true},
    {"1MB-one-line", kMB, true},
    {"2MB-one-line", 2 * kMB, true},
    {"5MB-one-line", 5 * kMB, true},
    {"5MB-one-line-breaks", 5 * kMB, true, true},
    {"20MB-one-line", 20 * kMB, true},
    {"20MB-one-line-breaks", 20 * kMB, true, true},
    {"5MB-lines", 5 * kMB, false},
};

std::vector<std::pair<int, long>> g_settings;
int g_steps = 0;
bool g_caretListener = false;

using tw::bench::threadCpuMs;

QByteArray makePage(const Page &p)
{
    return tw::bench::makeLongLinePage(p.size, p.oneLine);
}

const QByteArray &pageBytes(const Page &p)
{
    static QByteArray bytes[sizeof kPages / sizeof *kPages];
    QByteArray &b = bytes[&p - kPages];
    if (b.isEmpty())
        b = makePage(p);
    return b;
}

// The text an editor holds once the page is open: for a "-breaks" page, the
// page with line breaks put in as Open With Line Breaks does.
QByteArray openedText(const Page &p)
{
    const QByteArray &page = pageBytes(p);
    if (!p.breaks)
        return page;
    return breakLongLines(page.constData(), page.size(), kLongLineLimit, lineEndOf(page.constData(), page.size()));
}

std::unique_ptr<SourceEditor> newEditor(bool highlighting)
{
    auto editor = std::make_unique<SourceEditor>();
    EditorLook::attach(editor.get(), highlighting, true);
    for (const auto &[message, value] : g_settings)
        editor->SendScintilla(static_cast<unsigned>(message), static_cast<unsigned long>(value));
    if (g_caretListener)
        QObject::connect(editor.get(), &QsciScintilla::cursorPositionChanged, editor.get(), [](int, int) {});
    editor->resize(900, 700);
    editor->show();
    QCoreApplication::processEvents();
    return editor;
}

void openPage(benchmark::State &state, const Page *p, bool highlighting)
{
    const QByteArray &page = pageBytes(*p);
    double peakMB = 0;
    std::vector<double> loadMs;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = newEditor(highlighting);
        state.ResumeTiming();

        const double cpuStart = threadCpuMs();
        if (p->breaks) {
            editor->loadBytes(page); // as the page's reader has put it there
            putLineBreaks(editor.get());
        } else {
            editor->loadBytes(page);
        }
        loadMs.push_back(threadCpuMs() - cpuStart);
        editor->repaint();

        state.PauseTiming();
        if (peakMB == 0)
            peakMB = tw::bench::peakRssMB();
        editor.reset();
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = peakMB;
    std::sort(loadMs.begin(), loadMs.end());
    if (!loadMs.empty())
        state.counters["load_cpu_ms"] = loadMs[loadMs.size() / 2];
}

void sendKey(SourceEditor *editor, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(editor, &release);
}

enum class Step { Key, Right, HomeEnd, Scroll };

// Steps timed one by one after the page is loaded, painted and the caret put
// in the middle of the page (of the long line) and painted there.
void stepPage(benchmark::State &state, const Page *p, bool highlighting, Step step)
{
    auto editor = newEditor(highlighting);
    editor->setFocus();
    editor->loadBytes(openedText(*p));
    editor->repaint();
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(p->size / 2));
    editor->repaint();
    QScrollBar *bar = editor->horizontalScrollBar();

    std::vector<double> ms;
    std::vector<double> cpuMs;
    for (auto _ : state) {
        const double cpuStart = threadCpuMs();
        QElapsedTimer clock;
        clock.start();
        switch (step) {
        case Step::Key:
            sendKey(editor.get(), Qt::Key_A, QStringLiteral("a"));
            break;
        case Step::Right:
            sendKey(editor.get(), Qt::Key_Right);
            break;
        case Step::HomeEnd:
            sendKey(editor.get(), ms.size() % 2 ? Qt::Key_Home : Qt::Key_End);
            break;
        case Step::Scroll:
            bar->triggerAction(ms.size() % 2 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
            break;
        }
        editor->repaint();
        const double elapsed = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        ms.push_back(elapsed * 1e3);
        cpuMs.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpuMs.begin(), cpuMs.end());
    if (!ms.empty()) {
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["max_ms"] = ms.back();
        state.counters["cpu_median_ms"] = cpuMs[cpuMs.size() / 2];
    }
    state.counters["peak_rss_MB"] = tw::bench::peakRssMB();
}

// Processor time while the focused editor is left alone for 5 s.
void idlePage(benchmark::State &state, const Page *p, bool highlighting, bool steady)
{
    constexpr int kIdleMs = 5000;
    auto editor = newEditor(highlighting);
    QApplication::setActiveWindow(editor.get());
    editor->setFocus();
    editor->loadBytes(openedText(*p));
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(p->size / 2));
    editor->setSteadyCaret(steady);
    editor->repaint();
    QCoreApplication::processEvents();
    std::vector<double> cpuMs;
    for (auto _ : state) {
        const double cpuStart = threadCpuMs();
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(kIdleMs, &loop, &QEventLoop::quit);
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        cpuMs.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(cpuMs.begin(), cpuMs.end());
    if (!cpuMs.empty())
        state.counters["cpu_median_ms"] = cpuMs[cpuMs.size() / 2];
    state.counters["peak_rss_MB"] = tw::bench::peakRssMB();
}

// The longest-line count over the page, as PageReader makes it piece by piece.
void censusPage(benchmark::State &state, const Page *p)
{
    const QByteArray &page = pageBytes(*p);
    qint64 longest = 0;
    for (auto _ : state) {
        LineCensus census;
        for (qsizetype at = 0; at < page.size(); at += kMB)
            census.add(page.constData() + at, qMin(kMB, page.size() - at));
        longest = census.longestCharacters();
        benchmark::DoNotOptimize(longest);
    }
    state.counters["ms_per_MB"] = benchmark::Counter(double(page.size()) / kMB * state.iterations(),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        int message = 0;
        long value = 0;
        if (std::sscanf(argv[i], "--sci=%d:%ld", &message, &value) == 2) {
            g_settings.emplace_back(message, value);
        } else if (std::sscanf(argv[i], "--steps=%d", &g_steps) == 1) {
        } else if (std::strcmp(argv[i], "--caret-listener") == 0) {
            g_caretListener = true;
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argv[i]);
            return 2;
        }
    }

    const std::pair<const char *, Step> steps[] = {
        {"key", Step::Key}, {"right", Step::Right}, {"end", Step::HomeEnd}, {"scroll", Step::Scroll}};
    for (const Page &p : kPages) {
        if (!p.breaks)
            benchmark::RegisterBenchmark((std::string("census/") + p.name).c_str(), censusPage, &p)
                ->Unit(benchmark::kMillisecond);
        for (const bool highlighting : {true, false}) {
            const std::string suffix = std::string("/") + p.name + (highlighting ? "/lexer" : "/plain");
            const bool big = p.size > 5 * kMB;
            benchmark::RegisterBenchmark(("open" + suffix).c_str(), openPage, &p, highlighting)
                ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(big ? 2 : 3);
            for (const auto &[name, step] : steps) {
                benchmark::RegisterBenchmark((name + suffix).c_str(), stepPage, &p, highlighting, step)
                    ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(g_steps > 0 ? g_steps : big ? 6 : 10);
            }
            for (const bool steady : {false, true}) {
                benchmark::RegisterBenchmark(((steady ? "idle-steady" : "idle") + suffix).c_str(), idlePage, &p,
                                             highlighting, steady)
                    ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
            }
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
