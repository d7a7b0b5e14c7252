#pragma once

#include "CommandHarness.h"
#include "generators/FormCommands.h"
#include "generators/TableCommand.h"
#include "rollover/RolloverCommands.h"

#include <QFile>

namespace tw::test {

// The shipped page template with the generated pieces where a user would put
// them: the flip script for two animations (from the shipped fragments) in the
// head; in the body a table, a FORM block holding one of each form control,
// and a table holding the two animated pictures. Animation N flips between
// overN.gif and outN.gif. Empty when the template lacks a HEAD or BODY tag.
inline QString generatedPage()
{
    const QString data = qEnvironmentVariable("TW_TEST_DATA_DIR");
    QFile templateFile(data + "/Template.html");
    if (!templateFile.open(QIODevice::ReadOnly))
        return QString();
    SourceEditor editor;
    editor.loadBytes(templateFile.readAll());
    ActiveEditor active([&editor] { return static_cast<QWidget *>(&editor); });
    const auto apply = [&active](auto command, const QStringList &answers) {
        ScriptedDialogs dialogs;
        dialogs.answers(answers);
        command(dialogs, active);
    };
    // Puts the caret after the first tag that starts with `tag`, in any letter case.
    const auto caretAfter = [&editor](const char *tag) {
        const QString text = editor.textExact();
        const qsizetype at = text.indexOf(QLatin1String(tag), 0, Qt::CaseInsensitive);
        const qsizetype end = text.indexOf(QLatin1Char('>'), at) + 1;
        editor.SendScintilla(QsciScintilla::SCI_GOTOPOS,
                             static_cast<unsigned long>(text.left(end).toUtf8().size()));
        return at >= 0;
    };

    if (!caretAfter("<head"))
        return QString();
    const auto picFlip = [&](Dialogs &d, ActiveEditor &e) {
        CmdPicFlip_Click(d, e, data + "/PicFlip1.txt", data + "/PicFlip2.txt");
    };
    apply(picFlip, {"2", "over1.gif", "over2.gif", "out1.gif", "out2.gif"});
    if (!caretAfter("<body"))
        return QString();
    apply(CmdTable_Click, {"2", "2", "1"});
    apply(CmdForm_Click, {"send.cgi", "post"});
    caretAfter("<FORM ");
    apply(CmdText_Click, {"who", "", "40", "20"});
    apply(CmdCheckBox_Click, {"c", "1", "Check"});
    apply(CmdRadio_Click, {"r", "a", "Radio"});
    apply(TextArea_Click, {"memo", "40", "5"});
    apply(CmdSubmit_Click, {"go", "Send"});
    apply(CmdReset_Click, {"clear", "Clear"});
    caretAfter("</FORM");
    editor.replaceSelectionExact(QStringLiteral("<TABLE>"));
    apply(CmdInsertPic_Click, {"1", "next.htm", "out1.gif", "First"});
    apply(CmdInsertPic_Click, {" 2", "", "out2.gif", ""});
    editor.replaceSelectionExact(QStringLiteral("</TABLE>\n"));
    return editor.textExact();
}

} // namespace tw::test
