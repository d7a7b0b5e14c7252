#include "markup/TagCommands.h"

#include "documents/ActiveEditor.h"
#include "documents/EditorOperations.h"

#include <iterator>

namespace tw {

namespace {

const TagCommand kCommands[] = {
    {"CmdBold", true, "<B>", "</B>", true},
    {"CmdItalic", true, "<I>", "</I>", true},
    {"CmdUndeline", true, "<U>", "</U>", true},
    {"CmdBlockQuote", true, "<BLOCKQUOTE>", "</BLOCKQUOTE>", true},
    {"CmdCenter", true, "<CENTER>", "</CENTER>", false},
    {"CmdLeft", true, "<DIV ALIGN=left>", "</DIV>", false},
    {"CmdRight", true, "<DIV ALIGN=right>", "</DIV>", false},
    {"BreakLine", false, "<BR>", "", true},
    {"CmdParagraphe", false, "<P>", "", true},
    {"CmdLine", false, "<HR>\n", "", true},
    {"CmdOpenProcedure", false, "<", "", true},
    {"CmdCloseProcedure", false, ">", "", true},
};

} // namespace

const TagCommand *findTagCommand(const QString &control)
{
    for (const TagCommand &command : kCommands) {
        if (control == QLatin1String(command.control))
            return &command;
    }
    return nullptr;
}

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
