// The cost of help while typing: one key typed as the user types it (the key
// event, the event loop's turn and the repaint), with every help off (0) and
// on (1), on pages of 1 MB (highlighted) and 50 MB (loaded plain, as pages
// over the highlighting limit are). Each case puts the caret where its help
// has the most to read:
//   letter    a letter in the text, the common key;
//   closeTag  the '>' of "<p", which reads back for the tag and adds "</p>";
//   slash     the '/' of "</", which walks back over the tags for the open one;
//   tagName   a letter in the name of a tag whose partner is never found,
//             so matching reads the whole reach ahead.
//
// "rules" times the help's own reading alone, without the key: the copy of the
// text within reach of the caret from a 50 MB page and the rule run over it,
// each at its worst (0 closeTag, 1 slash, 2 completion, 3 tagName).
//
//   tw_typing_bench [Google Benchmark options]     (QT_QPA_PLATFORM=offscreen)

#include "editor/EditorLook.h"
#include "editor/SourceEditor.h"
#include "editor/TagContext.h"
#include "editor/TypingHelp.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

namespace {

constexpr qint64 kMB = 1 << 20;
using Sci = QsciScintillaBase;

QByteArray pageOf(qint64 size)
{
    const QByteArray line("<p class=\"x\">Some <b>bold</b> text and <a href=\"y.htm\">a link</a>.</p>\n");
    return line.repeated(qsizetype(size / line.size()));
}

void type(tw::SourceEditor &editor, int key, const char *text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
    QCoreApplication::sendEvent(&editor, &press);
    QCoreApplication::processEvents();
    editor.viewport()->repaint();
}

void key(benchmark::State &state, const char *kind)
{
    const qint64 size = state.range(0) * kMB;
    const bool help = state.range(1) != 0;
    tw::SourceEditor editor;
    tw::EditorLook::attach(&editor, true, false);
    tw::TypingHelp::attach(&editor, {help, help, help});
    editor.resize(800, 600);
    editor.show();
    const QByteArray page = pageOf(size);
    editor.loadBytes(page);
    // The middle of the page, at the start of a line.
    const qint64 middle = page.indexOf('\n', page.size() / 2) + 1;
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(middle));
    const QByteArray what(kind);
    if (what == "letter")
        editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(middle + 15)); // in "Some"
    if (what == "tagName") {
        editor.replaceSelectedBytes("<div>");
        editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(middle + 4));
    }
    QCoreApplication::processEvents();
    editor.viewport()->repaint();
    for (auto _ : state) {
        if (what == "closeTag" || what == "slash") {
            state.PauseTiming();
            // On a line of its own each time, so that the line repainted
            // does not grow with every round.
            editor.replaceSelectedBytes(what == "slash" ? "\n<" : "\n<p");
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        if (what == "closeTag")
            type(editor, Qt::Key_Greater, ">");
        else if (what == "slash")
            type(editor, Qt::Key_Slash, "/");
        else
            type(editor, Qt::Key_V, "v");
    }
    state.counters["page_MB"] = double(editor.documentLength()) / double(kMB);
}

void letter(benchmark::State &state) { key(state, "letter"); }
void closeTag(benchmark::State &state) { key(state, "closeTag"); }
void slash(benchmark::State &state) { key(state, "slash"); }
void tagName(benchmark::State &state) { key(state, "tagName"); }

void rules(benchmark::State &state)
{
    namespace tc = tw::tagContext;
    const int rule = int(state.range(0));
    tw::SourceEditor editor;
    QByteArray page = pageOf(50 * kMB);
    const qint64 middle = page.indexOf('\n', page.size() / 2) + 1;
    page.insert(middle, rule == 3 ? "<divv>" : rule == 1 ? "</" : rule == 2 ? "<a " : "<p>");
    editor.loadBytes(page);
    const qint64 caret = rule == 3 ? middle + 3 : middle + (rule == 1 ? 2 : 3);
    qsizetype found = 0;
    for (auto _ : state) {
        if (rule == 3) {
            const qint64 start = caret - tc::kReach;
            const QByteArray text = editor.rangeBytes(start, caret + tc::kReach);
            found += tc::matchingTags(text, caret - start) ? 1 : 0;
            continue;
        }
        const QByteArray text = editor.rangeBytes(caret - tc::kReach, caret);
        if (rule == 0)
            found += tc::closingTagAfter(text, text.size()).size();
        else if (rule == 1)
            found += tc::closingNameAfter(text, text.size()).size();
        else
            found += tc::completionAt(text, text.size()).kind;
    }
    benchmark::DoNotOptimize(found);
}

} // namespace

BENCHMARK(rules)->ArgName("rule")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

#define TYPING_CASES(name) \
    BENCHMARK(name)->ArgNames({"MB", "help"})->Args({1, 0})->Args({1, 1})->Args({50, 0})->Args({50, 1}) \
        ->Unit(benchmark::kMicrosecond)->Iterations(200)
TYPING_CASES(letter);
TYPING_CASES(closeTag);
TYPING_CASES(slash);
TYPING_CASES(tagName);

int main(int argc, char **argv)
{
    return tw::bench::runBenchmarks(argc, argv);
}
