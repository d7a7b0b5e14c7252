#pragma once

#include "ScriptedDialogs.h"
#include "editor/ActiveEditor.h"
#include "editor/SourceEditor.h"

#include <QStringList>
#include <QTest>

namespace tw::test {

// One command run with scripted answers against a real editor, or against
// no editor at all (the locator finds no control).
struct CommandRun {
    QStringList prompts; // "title|text" of each prompt shown
    QString text;        // the editor's whole text afterwards
    bool ranOut = false; // the command asked more than the script held
};

// Loads `marked` into the editor with its selection marked by '[' and ']';
// without marks the caret stands at the end.
inline void loadMarked(SourceEditor &editor, QString marked)
{
    const qsizetype open = marked.indexOf(QLatin1Char('['));
    const qsizetype close = marked.indexOf(QLatin1Char(']')) - 1;
    if (open >= 0)
        marked.remove(open, 1).remove(close, 1);
    editor.loadBytes(marked.toUtf8());
    const auto bytePos = [&](qsizetype i) { return long(marked.left(i).toUtf8().size()); };
    const long start = open >= 0 ? bytePos(open) : bytePos(marked.size());
    editor.SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(start),
                         open >= 0 ? bytePos(close) : start);
}

// `before` is the editor's text, marked as loadMarked reads it.
template <typename Command>
CommandRun runCommand(Command command, const QStringList &answers, const QString &before = {},
                      SourceEditor *editor = nullptr, bool noEditor = false)
{
    SourceEditor own;
    SourceEditor *target = editor ? editor : &own;
    loadMarked(*target, before);
    ActiveEditor active([=] { return noEditor ? nullptr : static_cast<QWidget *>(target); });
    ScriptedDialogs dialogs;
    dialogs.answers(answers);
    CommandRun run;
    try {
        command(dialogs, active);
    } catch (const ScriptError &) {
        run.ranOut = true;
    }
    run.prompts = dialogs.promptLog();
    run.text = target->textExact();
    return run;
}

// The prompts of `all` named by keys, '1' being the first: "1222" is the
// first prompt followed by the second asked three times.
inline QStringList promptsOf(const QStringList &all, const QString &keys)
{
    QStringList out;
    for (const QChar k : keys)
        out << all.value(k.digitValue() - 1);
    return out;
}

// With these answers the command writes over a selection as one undo step,
// and with no editor it shows the same prompts as with an empty one and
// writes nothing. The caller checks QTest::currentTestFailed().
template <typename Command>
void checkUndoStepAndNoEditor(Command command, const QStringList &answers)
{
    SourceEditor editor;
    QVERIFY(runCommand(command, answers, "<B>[chosen]</B>", &editor).text != "<B>chosen</B>");
    editor.undo();
    QCOMPARE(editor.textExact(), QStringLiteral("<B>chosen</B>"));
    QVERIFY(!editor.isUndoAvailable());

    const CommandRun written = runCommand(command, answers);
    const CommandRun none = runCommand(command, answers, "x", nullptr, true);
    QVERIFY(!written.ranOut && !written.text.isEmpty() && !none.ranOut);
    QCOMPARE(none.prompts, written.prompts);
    QCOMPARE(none.text, QStringLiteral("x"));
}

} // namespace tw::test
