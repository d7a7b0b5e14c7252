#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace tw::test {

// Answers every modal interaction from a script given in advance and records
// what was shown, so a test can compare the exact titles, texts and order.
// A dialog of another kind than the next scripted answer, or a dialog after
// the script has run out, throws ScriptError: a command that loops on a
// cancelled prompt cannot hang a test.
struct ScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Shown {
    QString kind; // "prompt", "yesno", "yesnocancel", "message", "choose", "print", "open", "save"
    QString title;
    QString text; // prompt or message text; the filter for file dialogs
    QString extra; // default extension for file dialogs; "a|b" choices for choose
    bool operator==(const Shown &o) const
    {
        return kind == o.kind && title == o.title && text == o.text && extra == o.extra;
    }
};

class ScriptedDialogs final : public Dialogs {
public:
    ScriptedDialogs &answer(const QString &text) { return push("prompt", text); }
    ScriptedDialogs &answers(const QStringList &texts)
    {
        for (const QString &t : texts)
            answer(t);
        return *this;
    }
    ScriptedDialogs &yes() { return push("question", QStringLiteral("yes")); }
    ScriptedDialogs &no() { return push("question", QStringLiteral("no")); }
    ScriptedDialogs &cancel() { return push("question", QStringLiteral("cancel")); }
    ScriptedDialogs &acknowledge() { return push("message", QString()); }
    // Takes the choice with this index; -1 cancels.
    ScriptedDialogs &pick(int index) { return push("choice", QString::number(index)); }
    ScriptedDialogs &file(const QString &path) { return push("file", path); }
    // Chooses this folder in a folder dialog; an empty one cancels.
    ScriptedDialogs &folder(const QString &path) { return push("folder", path); }
    // Prints to this PDF file; an empty path cancels.
    ScriptedDialogs &printTo(const QString &pdfPath) { return push("printer", pdfPath); }

    QString prompt(const QString &text, const QString &title) override;
    bool askYesNo(const QString &text, const QString &title) override;
    // Shown as a "yesno" whose extra is "default No".
    bool askYesNoDefaultNo(const QString &text, const QString &title) override;
    Answer askYesNoCancel(const QString &text, const QString &title) override;
    void message(const QString &text, const QString &title, MessageKind kind) override;
    int choose(const QString &text, const QString &title, const QStringList &choices) override;
    // Shown as a "print" with the printer's document name as its text.
    bool choosePrinter(QPrinter &printer, const QString &title) override;
    FileChoice openFile(const QString &filter, const QString &defaultExtension) override;
    FileChoice saveFile(const QString &filter, const QString &defaultExtension) override;
    // Shown as a "folder" whose title is the dialog's.
    QString chooseFolder(const QString &title) override;

    QList<Shown> shown;
    int remaining() const { return static_cast<int>(m_script.size() - m_next); }
    // Titles and texts of the prompts shown, "title|text" each, for compact checks.
    QStringList promptLog() const;

private:
    struct Step {
        QString kind;
        QString value;
    };
    ScriptedDialogs &push(const char *kind, const QString &value)
    {
        m_script.append({QString::fromLatin1(kind), value});
        return *this;
    }
    QString take(const char *kind, const Shown &what);

    QList<Step> m_script;
    qsizetype m_next = 0;
};

} // namespace tw::test
