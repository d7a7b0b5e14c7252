#include "generators/FormCommands.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"
#include "platform/Prompt.h"
#include "platform/AttributeValue.h"
#include "platform/Dialogs.h"

namespace tw {

namespace {

QString quoted(const QString &value, AttributeKind kind = AttributeKind::Text)
{
    return quotedAttribute(value, kind);
}

// Check box and radio button differ only in their prompt texts and TYPE word.
// A selected text becomes the caption, so the tag lands in front of it; only
// with nothing selected is the caption asked for.
void captionedInput(Dialogs &dialogs, ActiveEditor &editor, const QString &type,
                    const QString &noun, const QString &titleNoun)
{
    const QString name = Prompt(dialogs, QStringLiteral("Enter the NAME for the %1 :").arg(noun),
                                QStringLiteral("%1 Name").arg(titleNoun));
    if (name.isEmpty())
        return;
    const QString value = Prompt(dialogs, QStringLiteral("Enter the VALUE for the %1 :").arg(noun),
                                 QStringLiteral("%1 Value").arg(titleNoun));
    QString caption = editor.selectedText();
    if (caption.isEmpty())
        caption = Prompt(dialogs, QStringLiteral("Enter the CAPTION for the %1 :").arg(noun),
                         QStringLiteral("%1 Caption").arg(titleNoun));
    insertAndFocus(editor, inputTagText(type, name, value) + caption);
}

void buttonInput(Dialogs &dialogs, ActiveEditor &editor, const QString &type, const QString &noun,
                 const QString &titleNoun)
{
    const QString name = Prompt(dialogs, QStringLiteral("Enter the NAME for the %1 :").arg(noun),
                                QStringLiteral("%1 Name").arg(titleNoun));
    if (name.isEmpty())
        return;
    const QString value = Prompt(dialogs, QStringLiteral("Enter the VALUE for the %1 :").arg(noun),
                                 QStringLiteral("%1 Value").arg(titleNoun));
    insertAndFocus(editor, inputTagText(type, name, value));
}

} // namespace

QString formBlockText(const QString &action, const QString &method)
{
    return QStringLiteral("\n<FORM ACTION=") + quoted(action, AttributeKind::Address) + QStringLiteral(" METHOD=")
        + quoted(method) + QStringLiteral(">\n\n</FORM>\n");
}

bool isFormMethod(const QString &answer)
{
    const QString lower = answer.toLower();
    return lower == QLatin1String("post") || lower == QLatin1String("get");
}

QString inputTagText(const QString &type, const QString &name, const QString &value)
{
    return QStringLiteral("<INPUT TYPE=") + quoted(type) + QStringLiteral(" NAME=") + quoted(name)
        + QStringLiteral(" VALUE=") + quoted(value) + QLatin1Char('>');
}

QString textFieldText(const QString &name, const QString &value, const QString &size,
                      const QString &maxLength)
{
    return QStringLiteral("<INPUT TYPE=\"TEXT\" NAME=") + quoted(name) + QStringLiteral(" VALUE=")
        + quoted(value) + QStringLiteral(" SIZE=") + bareAttribute(size)
        + QStringLiteral(" MAXLENGTH=") + bareAttribute(maxLength) + QLatin1Char('>');
}

QString textAreaText(const QString &name, const QString &cols, const QString &rows)
{
    return QStringLiteral("<TEXTAREA NAME=") + bareAttribute(name) + QStringLiteral(" ROWS=")
        + bareAttribute(rows) + QStringLiteral(" COLS=") + bareAttribute(cols)
        + QStringLiteral(">\n edit here...\n</TEXTAREA>\n");
}

void CmdForm_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    const QString action = Prompt(dialogs, QStringLiteral("Enter the ACTION for the form :"),
                                  QStringLiteral("Form Action"));
    if (action.isEmpty())
        return;
    // Only post or get leads on; cancelling brings the question back.
    QString method;
    do {
        method = Prompt(dialogs, QStringLiteral("Enter the METHOD for the form (POST or GET):"),
                        QStringLiteral("Form Method"));
    } while (!isFormMethod(method));
    insertAndFocus(editor, formBlockText(action, method));
}

void CmdCheckBox_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    captionedInput(dialogs, editor, QStringLiteral("CHECKBOX"), QStringLiteral("checkbox"),
                   QStringLiteral("CheckBox"));
}

void CmdRadio_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    captionedInput(dialogs, editor, QStringLiteral("RADIO"), QStringLiteral("radio"),
                   QStringLiteral("Radio"));
}

void CmdReset_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    buttonInput(dialogs, editor, QStringLiteral("RESET"), QStringLiteral("reset button"),
                QStringLiteral("Reset Button"));
}

void CmdSubmit_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    buttonInput(dialogs, editor, QStringLiteral("SUBMIT"), QStringLiteral("submit button"),
                QStringLiteral("Submit Button"));
}

void CmdText_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    const QString name =
        Prompt(dialogs, QStringLiteral("Enter the NAME for the text:"), QStringLiteral("Text Name"));
    if (name.isEmpty())
        return;
    const QString value = Prompt(dialogs, QStringLiteral("Enter the VALUE for the text :"),
                                 QStringLiteral("Text Value"));
    const QString maxLength =
        promptWithoutLetters(dialogs, QStringLiteral("Enter the MAX LENGTH for the text :"),
                             QStringLiteral("Text Max Length"));
    const QString size = promptWithoutLetters(
        dialogs, QStringLiteral("Enter the SIZE for the text :"), QStringLiteral("Text Size"));
    insertAndFocus(editor, textFieldText(name, value, size, maxLength));
}

void TextArea_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    const QString name = Prompt(dialogs, QStringLiteral("Enter the NAME for the text area :"),
                                QStringLiteral("Text Area Name"));
    if (name.isEmpty())
        return;
    const QString cols =
        promptWithoutLetters(dialogs, QStringLiteral("Enter the COLS NUMBER for the text area :"),
                             QStringLiteral("Text Area Cols"));
    const QString rows =
        promptWithoutLetters(dialogs, QStringLiteral("Enter the ROWS NUMBER for the text area :"),
                             QStringLiteral("Text Area Rows"));
    insertAndFocus(editor, textAreaText(name, cols, rows));
}

} // namespace tw
