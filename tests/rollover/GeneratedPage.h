#pragma once

#include "CommandHarness.h"
#include "generators/FormCommands.h"
#include "generators/TableCommand.h"
#include "rollover/RolloverCommands.h"

#include <QFile>
#include <QRegularExpression>

namespace tw::test {

inline QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

inline QString dataDir()
{
    return qEnvironmentVariable("TW_TEST_DATA_DIR");
}

// Puts the caret just after the first match of `pattern` (case-insensitive).
inline bool caretAfter(SourceEditor &editor, const QString &pattern)
{
    const QString text = editor.textExact();
    const QRegularExpressionMatch m =
        QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption).match(text);
    if (!m.hasMatch())
        return false;
    const long pos = long(text.left(m.capturedEnd()).toUtf8().size());
    editor.SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(pos));
    return true;
}

// The page template with the generated pieces where a user would put them:
// the flip script for two animations in the head; in the body a table, a
// FORM block holding one of each form control, and a table holding the two
// animated pictures. Animation N flips between overN.gif and outN.gif.
// Empty when the template lacks a HEAD or BODY tag.
inline QString generatedPage(const QString &templateText, const QString &fragment1,
                             const QString &fragment2)
{
    SourceEditor editor;
    editor.loadBytes(templateText.toUtf8());
    ActiveEditor active([&editor] { return static_cast<QWidget *>(&editor); });
    const auto apply = [&active](auto command, const QStringList &answers) {
        ScriptedDialogs dialogs;
        dialogs.answers(answers);
        command(dialogs, active);
    };

    if (!caretAfter(editor, QStringLiteral("<head[^>]*>")))
        return QString();
    apply([&](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, fragment1, fragment2); },
          {"2", "over1.gif", "over2.gif", "out1.gif", "out2.gif"});

    if (!caretAfter(editor, QStringLiteral("<body[^>]*>")))
        return QString();
    apply(CmdTable_Click, {"2", "2", "1"});
    apply(CmdForm_Click, {"send.cgi", "post"});
    caretAfter(editor, QStringLiteral("<FORM [^>]*>\n"));
    apply(CmdText_Click, {"who", "", "40", "20"});
    apply(CmdCheckBox_Click, {"c", "1", "Check"});
    apply(CmdRadio_Click, {"r", "a", "Radio"});
    apply(TextArea_Click, {"memo", "40", "5"});
    apply(CmdSubmit_Click, {"go", "Send"});
    apply(CmdReset_Click, {"clear", "Clear"});
    caretAfter(editor, QStringLiteral("</FORM>\n"));
    editor.replaceSelectionExact(QStringLiteral("<TABLE>"));
    apply(CmdInsertPic_Click, {"1", "next.htm", "out1.gif", "First"});
    apply(CmdInsertPic_Click, {" 2", "", "out2.gif", ""});
    editor.replaceSelectionExact(QStringLiteral("</TABLE>\n"));
    return editor.textExact();
}

} // namespace tw::test
