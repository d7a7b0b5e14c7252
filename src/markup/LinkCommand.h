#pragma once

#include <QString>

class QWidget;

namespace tw {

class ActiveEditor;
class Dialogs;
class MarkupWindows;

// "<A HREF="address">" selection "</A>": the selection exactly as given, the
// address as typed except that it cannot end the attribute (quotedAttribute).
QString linkText(const QString &address, const QString &selection);

// True when the selection holds something besides spaces: only then does
// the Links command open its dialog. Other blanks (tabs, line breaks) count.
bool selectionTakesLink(const QString &selection);

// "L&inks": asks for the address in the "Links" dialog and wraps the whole
// selection, blanks kept, in an anchor as one undo step. The focus stays
// where the dialog left it.
void CmdLinks_Click(Dialogs &dialogs, ActiveEditor &editor, MarkupWindows &windows, QWidget *parent);

} // namespace tw
