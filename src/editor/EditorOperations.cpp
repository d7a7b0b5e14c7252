#include "editor/EditorOperations.h"

#include "editor/ActiveEditor.h"
#include "platform/Clipboard.h"

namespace tw {

void insertAsOneStep(ActiveEditor &editor, const QString &text)
{
    UndoStep step(editor);
    editor.replaceSelection(text);
}

void insertAndFocus(ActiveEditor &editor, const QString &text)
{
    insertAsOneStep(editor, text);
    editor.focusBack();
}

void cutSelection(ActiveEditor &editor)
{
    const QString selection = editor.selectedText();
    if (selection.isEmpty())
        return;
    clipboard::setText(selection);
    insertAsOneStep(editor, QString());
}

void copySelection(ActiveEditor &editor)
{
    const QString selection = editor.selectedText();
    if (!selection.isEmpty())
        clipboard::setText(selection);
}

void pasteClipboard(ActiveEditor &editor)
{
    const QString text = clipboard::text();
    if (!text.isEmpty())
        insertAsOneStep(editor, text);
}

} // namespace tw
