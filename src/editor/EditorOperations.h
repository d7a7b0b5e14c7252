#pragma once

#include <QString>

namespace tw {

class ActiveEditor;

// What commands do to the active editor. Each write is one undo step of the
// editor that was active when it began; with no editor nothing changes.

// Writes text in place of the selection (at the caret when nothing is
// selected). The focus stays where it is.
void insertAsOneStep(ActiveEditor &editor, const QString &text);
// The same, then gives the keyboard focus back to the editor.
void insertAndFocus(ActiveEditor &editor, const QString &text);

// The clipboard commands. Cut puts the removed text on the clipboard; Paste
// with an empty clipboard leaves the selection alone.
void cutSelection(ActiveEditor &editor);
void copySelection(ActiveEditor &editor);
void pasteClipboard(ActiveEditor &editor);

} // namespace tw
