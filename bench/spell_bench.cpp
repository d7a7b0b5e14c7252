// What checking a page's spelling costs.
//   checkPage/cold      a 1 MB page checked by a new checker: the dictionary
//                       loaded and every word asked of Hunspell once.
//   checkPage/warm      the same page again, its words' answers remembered.
//   keystroke/on|off    one key in a 1 MB page with Check Spelling on and off,
//                       after a check left its marks.
//   window1MB           a 1 MB page's check through a document window after
//                       an edit, as typing starts it: the longest time the
//                       window's event loop was held up (it ticks every 5 ms),
//                       and the time from the request to the marks shown.
//
//   tw_spell_bench [Google Benchmark options]     (QT_QPA_PLATFORM=offscreen)

#include "documents/DocumentSpelling.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"
#include "spelling/SpellChecker.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr qint64 kMB = 1 << 20;

// A 1 MB page of prose drawn from 20,000 of the dictionary's words, one in
// fifty with two letters swapped, in paragraphs with markup, references and
// pictures with alt text.
QByteArray page()
{
    QFile dic(QStringLiteral("/usr/share/hunspell/en_US.dic"));
    if (!dic.open(QIODevice::ReadOnly))
        qFatal("hunspell-en-us is not installed");
    QList<QByteArray> words;
    dic.readLine();
    while (!dic.atEnd() && words.size() < 200000)
        words << dic.readLine().trimmed().split('/').first();
    QRandomGenerator random(42);
    QList<QByteArray> chosen;
    for (int i = 0; i < 20000; ++i)
        chosen << words.at(random.bounded(int(words.size())));
    QByteArray out = "<!DOCTYPE html>\n<html lang=\"en-US\"><head><title>Bench</title>"
                     "<style>p { margin: 0 }</style></head><body>\n";
    while (out.size() < kMB - 200) {
        out += "<p class=\"text\">";
        for (int w = 0; w < 12; ++w) {
            QByteArray word = chosen.at(random.bounded(int(chosen.size())));
            if (random.bounded(50) == 0 && word.size() > 3)
                std::swap(word[1], word[2]);
            out += word + (w % 5 == 4 ? " &amp; " : " ");
        }
        out += "<img src=\"a.png\" alt=\"" + chosen.at(random.bounded(int(chosen.size()))) + "\"></p>\n";
    }
    out += "</body></html>\n";
    return out;
}

QString personal()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("words.txt"));
}

void checkPage(benchmark::State &state)
{
    const QByteArray text = page();
    const bool warm = state.range(0) != 0;
    tw::spelling::SpellChecker kept(nullptr, tw::spelling::dictionaryFolders(), personal());
    if (warm)
        kept.checkNow(text, QStringLiteral("en_US"));
    size_t misspelt = 0;
    for (auto _ : state) {
        if (warm) {
            misspelt = kept.checkNow(text, QStringLiteral("en_US")).misspelt.size();
        } else {
            tw::spelling::SpellChecker fresh(nullptr, tw::spelling::dictionaryFolders(), personal());
            misspelt = fresh.checkNow(text, QStringLiteral("en_US")).misspelt.size();
        }
    }
    state.counters["misspelt"] = double(misspelt);
}

void waitChecked(tw::DocumentSpelling &spelling)
{
    QEventLoop loop;
    QObject::connect(&spelling, &tw::DocumentSpelling::checked, &loop, &QEventLoop::quit);
    loop.exec();
}

void keystroke(benchmark::State &state)
{
    tw::spelling::SpellChecker checker(nullptr, tw::spelling::dictionaryFolders(), personal());
    tw::frmDocument document;
    document.textEdit->loadBytes(page());
    auto *spelling = new tw::DocumentSpelling(&document, checker);
    spelling->setChosen(QStringLiteral("en_US"));
    spelling->setOn(true);
    waitChecked(*spelling);
    spelling->setOn(state.range(0) != 0);
    tw::SourceEditor *editor = document.textEdit;
    editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 200UL);
    for (auto _ : state) {
        editor->replaceSelectedBytes("a");
        editor->flushEdits(); // as the return to the event loop does
    }
    state.counters["marks"] = double(spelling->marks().size());
}

void window1MB(benchmark::State &state)
{
    tw::spelling::SpellChecker checker(nullptr, tw::spelling::dictionaryFolders(), personal());
    tw::frmDocument document;
    document.textEdit->loadBytes(page());
    auto *spelling = new tw::DocumentSpelling(&document, checker);
    spelling->setChosen(QStringLiteral("en_US"));
    spelling->setOn(true);
    waitChecked(*spelling); // the dictionary is loaded once
    for (auto _ : state) {
        document.textEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 200UL);
        document.textEdit->replaceSelectedBytes("xq");
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
        QElapsedTimer whole;
        whole.start();
        sinceTick.start();
        tick.start();
        spelling->checkNow();
        waitChecked(*spelling);
        longest = std::max(longest, sinceTick.elapsed());
        state.counters["longest_stall_ms"] = double(longest);
        state.counters["check_ms"] = double(whole.elapsed());
        state.counters["marks"] = double(spelling->marks().size());
    }
}

} // namespace

BENCHMARK(checkPage)->ArgName("warm")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(keystroke)->ArgName("spelling")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(window1MB)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
