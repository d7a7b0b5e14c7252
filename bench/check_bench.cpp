// What checking pages with HTML Tidy costs.
//   checkPage/1MB       a whole check of a 1 MB page on the checking thread:
//                       tidy, and the places of its messages in the text; the
//                       page has a warning on every line (`clean` has none).
//   keystroke/on|off    one key in a 1 MB page with Check As You Type on and
//                       off, after a check left its ~13,000 problems marked.
//   window20MB          a 20 MB page checked through a document window as
//                       Check As You Type does: the longest time the window's
//                       event loop was held up while the check ran (it ticks
//                       every 5 ms), and the whole check's time.
//
//   tw_check_bench [Google Benchmark options]     (QT_QPA_PLATFORM=offscreen)

#include "checking/PageChecker.h"
#include "documents/DocumentCheck.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

constexpr qint64 kMB = 1 << 20;

QByteArray page(qint64 size, bool clean)
{
    const QByteArray line = clean ? QByteArray("<p>Some text <b>bold</b> <img src=\"a.gif\" alt=\"a\"> <a href=\"x.htm\">link</a></p>\n")
                                  : QByteArray("<p>Some text <b>bold</b> <img src=\"a.gif\"> <a href=\"x.htm\">link</a></p>\n");
    QByteArray out = "<!DOCTYPE html>\n<html><head><title>Bench</title></head><body>\n";
    out += line.repeated(qsizetype((size - 100) / line.size()));
    out += "</body></html>\n";
    return out;
}

void checkPage(benchmark::State &state)
{
    const QByteArray text = page(kMB, state.range(0) != 0);
    qsizetype problems = 0;
    for (auto _ : state)
        problems = tw::checking::checkPage(text, false).size();
    state.counters["problems"] = double(problems);
}

// Waits for the document's next check to end.
void waitChecked(tw::DocumentCheck &check)
{
    QEventLoop loop;
    QObject::connect(&check, &tw::DocumentCheck::checked, &loop, &QEventLoop::quit);
    loop.exec();
}

void keystroke(benchmark::State &state)
{
    tw::checking::PageChecker checker;
    tw::frmDocument document;
    document.textEdit->loadBytes(page(kMB, false));
    auto *check = new tw::DocumentCheck(&document, checker);
    check->checkNow();
    waitChecked(*check);
    check->setAsYouType(state.range(0) != 0);
    tw::SourceEditor *editor = document.textEdit;
    editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 100UL); // before every problem but the first
    for (auto _ : state) {
        editor->replaceSelectedBytes("a");
        editor->flushEdits(); // as the return to the event loop does
    }
    state.counters["problems"] = double(check->problems().size());
}

void window20MB(benchmark::State &state)
{
    for (auto _ : state) {
        tw::checking::PageChecker checker;
        tw::frmDocument document;
        document.textEdit->loadBytes(page(20 * kMB, false));
        auto *check = new tw::DocumentCheck(&document, checker);
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTick.restart());
        });
        QElapsedTimer whole;
        whole.start();
        sinceTick.start();
        tick.start();
        check->checkNow();
        waitChecked(*check);
        longest = std::max(longest, sinceTick.elapsed());
        state.counters["longest_stall_ms"] = double(longest);
        state.counters["check_ms"] = double(whole.elapsed());
        state.counters["problems"] = double(check->problems().size());
    }
}

} // namespace

BENCHMARK(checkPage)->ArgName("clean")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(keystroke)->ArgName("asYouType")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(window20MB)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
