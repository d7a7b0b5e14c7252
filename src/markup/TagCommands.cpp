#include "markup/TagCommands.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"


namespace tw {

namespace tags {
const TagCommand bold{"CmdBold", true, "<B>", "</B>", true};
const TagCommand italic{"CmdItalic", true, "<I>", "</I>", true};
const TagCommand underline{"CmdUndeline", true, "<U>", "</U>", true};
const TagCommand blockQuote{"CmdBlockQuote", true, "<BLOCKQUOTE>", "</BLOCKQUOTE>", true};
const TagCommand center{"CmdCenter", true, "<CENTER>", "</CENTER>", false};
const TagCommand left{"CmdLeft", true, "<DIV ALIGN=left>", "</DIV>", false};
const TagCommand right{"CmdRight", true, "<DIV ALIGN=right>", "</DIV>", false};
const TagCommand breakLine{"BreakLine", false, "<BR>", "", true};
const TagCommand paragraph{"CmdParagraphe", false, "<P>", "", true};
const TagCommand line{"CmdLine", false, "<HR>\n", "", true};
const TagCommand openProcedure{"CmdOpenProcedure", false, "<", "", true};
const TagCommand closeProcedure{"CmdCloseProcedure", false, ">", "", true};
} // namespace tags

std::optional<QString> tagText(const TagCommand &command, const QString &selection)
{
    if (!command.wrap)
        return QString::fromLatin1(command.opening);
    if (selection.isEmpty())
        return std::nullopt;
    return QString::fromLatin1(command.opening) + selection + QString::fromLatin1(command.closing);
}

void runTagCommand(const TagCommand &command, ActiveEditor &editor)
{
    const QString selection = command.wrap ? editor.selectedText() : QString();
    const std::optional<QString> text = tagText(command, selection);
    if (!text)
        return;
    if (command.focusBack)
        insertAndFocus(editor, *text);
    else
        insertAsOneStep(editor, *text);
}

} // namespace tw
