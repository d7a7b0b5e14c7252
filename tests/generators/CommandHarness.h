#pragma once

#include "ScriptedDialogs.h"
#include "documents/ActiveEditor.h"
#include "documents/SourceEditor.h"

#include <QStringList>

namespace tw::test {

// One command run with scripted answers against a real editor, or against
// no editor at all (the locator finds no control).
struct CommandRun {
    QStringList prompts; // "title|text" of each prompt shown
    QString text;        // the editor's whole text afterwards
    bool ranOut = false; // the command asked more than the script held
};

// `before` is the editor's text with the selection marked by '[' and ']';
// without marks the caret stands at the end.
template <typename Command>
CommandRun runCommand(Command command, const QStringList &answers, QString before = {},
                      SourceEditor *editor = nullptr, bool noEditor = false)
{
    SourceEditor own;
    SourceEditor *target = editor ? editor : &own;
    const qsizetype open = before.indexOf(QLatin1Char('['));
    const qsizetype close = before.indexOf(QLatin1Char(']')) - 1;
    if (open >= 0)
        before.remove(open, 1).remove(close, 1);
    target->loadBytes(before.toUtf8());
    const auto bytePos = [&](qsizetype i) { return long(before.left(i).toUtf8().size()); };
    const long start = open >= 0 ? bytePos(open) : bytePos(before.size());
    target->SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(start),
                          open >= 0 ? bytePos(close) : start);

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

} // namespace tw::test
