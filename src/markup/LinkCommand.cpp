#include "markup/LinkCommand.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"
#include "markup/MarkupWindows.h"
#include "platform/AttributeValue.h"

namespace tw {

QString linkText(const QString &address, const QString &selection)
{
    return QLatin1String("<A HREF=") + quotedAttribute(address, AttributeKind::Address) + QLatin1Char('>')
        + selection + QLatin1String("</A>");
}

bool selectionTakesLink(const QString &selection)
{
    for (const QChar c : selection) {
        if (c != QLatin1Char(' '))
            return true;
    }
    return false;
}

void CmdLinks_Click(Dialogs &dialogs, ActiveEditor &editor, MarkupWindows &windows, QWidget *parent)
{
    if (!selectionTakesLink(editor.selectedText()))
        return;
    const std::optional<QString> address = windows.askLinkAddress(dialogs, parent);
    if (!address)
        return;
    // The dialog is modal, so the selection is still the one tested above.
    insertAsOneStep(editor, linkText(*address, editor.selectedText()));
}

} // namespace tw
