#include "editor/EditorOperations.h"

#include "editor/ActiveEditor.h"
#include "platform/Clipboard.h"

#include <Qsci/qsciscintilla.h>

namespace tw {

namespace {

// An editor with several carets or a block selected: its own clipboard
// commands act at every caret and keep a block a block, where the plain
// text of the main selection would take or fill one caret only.
QsciScintilla *severalSelections(ActiveEditor &editor)
{
    auto *sci = qobject_cast<QsciScintilla *>(editor.control());
    if (!sci)
        return nullptr;
    const bool several = sci->SendScintilla(QsciScintilla::SCI_GETSELECTIONS) > 1
                         || sci->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE) != 0;
    return several ? sci : nullptr;
}

} // namespace

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
    if (QsciScintilla *sci = severalSelections(editor)) {
        sci->cut();
        return;
    }
    const QString selection = editor.selectedText();
    if (selection.isEmpty())
        return;
    clipboard::setText(selection);
    insertAsOneStep(editor, QString());
}

void copySelection(ActiveEditor &editor)
{
    if (QsciScintilla *sci = severalSelections(editor)) {
        sci->copy();
        return;
    }
    const QString selection = editor.selectedText();
    if (!selection.isEmpty())
        clipboard::setText(selection);
}

void pasteClipboard(ActiveEditor &editor)
{
    if (QsciScintilla *sci = severalSelections(editor)) {
        sci->paste();
        return;
    }
    const QString text = clipboard::text();
    if (!text.isEmpty())
        insertAsOneStep(editor, text);
}

} // namespace tw
