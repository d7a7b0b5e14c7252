// The cost of one keystroke in a large page. "typing" is a key as the user
// types it, repaint included. "keystroke" is the editor's insertion alone,
// with the recovery journal on and off: the journal's record of it and, as
// the worst case, a write of the journal after every keystroke (the program
// writes it at most once a pause). "bytes_per_key" is what each keystroke
// adds to the journal file. "firstChange" is the first key after opening or
// saving a page, which starts the journal.
//
//   tw_journal_bench [Google Benchmark options]     (QT_QPA_PLATFORM=offscreen)

#include "documents/DocumentJournal.h"
#include "pages/RecoveryJournal.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr qint64 kMB = 1 << 20;

// The journal takes each edit the editor reports, as a document window's does.
void followEdits(tw::SourceEditor &editor, tw::JournalWriter &journal)
{
    QObject::connect(&editor, &tw::SourceEditor::edited, &editor,
                     [&journal](qint64 position, qint64 removed, const char *inserted, qint64 length) {
                         journal.record(position, removed, inserted, length);
                     });
}

void keystroke(benchmark::State &state)
{
    const qint64 size = state.range(0) * kMB;
    const bool journalOn = state.range(1) != 0;
    const QByteArray page = QByteArray(79, 'x').append('\n').repeated(qsizetype(size / 80));
    tw::SourceEditor editor;
    editor.loadBytes(page);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.twj"));
    tw::JournalWriter journal;
    if (journalOn) {
        journal.open(path, QStringLiteral("page"), QString(), tw::PageEncoding::Utf8, page);
        followEdits(editor, journal);
    }
    const qint64 before = journalOn ? QFileInfo(path).size() : 0;
    const long middle = long(page.size() / 2);
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(middle));
    qint64 keys = 0;
    for (auto _ : state) {
        editor.replaceSelectedBytes("a");
        editor.flushEdits(); // as the return to the event loop does
        if (journalOn)
            journal.flush();
        ++keys;
    }
    if (journalOn) {
        state.counters["bytes_per_key"] = double(QFileInfo(path).size() - before) / double(keys);
        journal.remove();
    }
}

// One key typed as the user types it: the key event, the event loop's turn
// (which reports the edit to its followers) and the repaint of the window,
// with the recovery journal following the edits.
void typing(benchmark::State &state)
{
    const qint64 size = state.range(0) * kMB;
    const QByteArray page = QByteArray(79, 'x').append('\n').repeated(qsizetype(size / 80));
    tw::SourceEditor editor;
    editor.resize(800, 600);
    editor.show();
    editor.loadBytes(page);
    QTemporaryDir dir;
    tw::JournalWriter journal;
    journal.open(dir.filePath(QStringLiteral("page.twj")), QStringLiteral("page"), QString(),
                 tw::PageEncoding::Utf8, page);
    followEdits(editor, journal);
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(page.size() / 2));
    QCoreApplication::processEvents();
    editor.viewport()->repaint();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(&editor, &press);
        QCoreApplication::processEvents();
        editor.viewport()->repaint();
    }
    journal.remove();
}

// The first change of an opened page, which starts its journal: the key and
// whatever the journal writes before the key takes effect. Each round saves
// first (the journal goes), so that the next key is a first change again.
void firstChange(benchmark::State &state)
{
    const qint64 size = state.range(0) * kMB;
    const QByteArray page = QByteArray(79, 'x').append('\n').repeated(qsizetype(size / 80));
    QTemporaryDir dir;
    tw::frmDocument document;
    document.setCaption(dir.filePath(QStringLiteral("page.htm")));
    document.textEdit->loadBytes(page);
    auto *journal = new tw::DocumentJournal(&document, dir.filePath(QStringLiteral("recovery")));
    document.textEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(page.size() / 2));
    for (auto _ : state) {
        document.textEdit->replaceSelectedBytes("a");
        document.textEdit->flushEdits();
        state.PauseTiming();
        if (!journal->isActive())
            state.SkipWithError("the journal did not start");
        document.textEdit->setModified(false); // as a save does: the journal goes
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(firstChange)->ArgNames({"MB"})->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(typing)->ArgNames({"MB"})->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(keystroke)->ArgNames({"MB", "journal"})->Args({1, 0})->Args({1, 1})->Args({50, 0})->Args({50, 1})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    return tw::bench::runBenchmarks(argc, argv);
}
