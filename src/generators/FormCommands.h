#pragma once

#include <QString>

namespace tw {

class Dialogs;
class ActiveEditor;

// The HTML each form command writes. Answers go in as typed: no trimming, no
// validation; only what would end an attribute value early is written
// otherwise (quotedAttribute, bareAttribute). Line breaks are single line feeds.

// A line feed, the FORM opening tag on its own line, one empty line for the
// controls and the closing tag on its own line.
QString formBlockText(const QString &action, const QString &method);
// The METHOD answers the FORM command accepts: post or get in any letter case,
// nothing around them.
bool isFormMethod(const QString &answer);
// <INPUT TYPE="type" NAME="name" VALUE="value"> for CHECKBOX, RADIO, RESET and
// SUBMIT.
QString inputTagText(const QString &type, const QString &name, const QString &value);
// The one-line text field; SIZE is written before MAXLENGTH, both unquoted
// unless a blank or mark in them would end a bare value.
QString textFieldText(const QString &name, const QString &value, const QString &size,
                      const QString &maxLength);
// The three-line TEXTAREA block; ROWS is written before COLS, all unquoted
// unless a blank or mark in them would end a bare value.
QString textAreaText(const QString &name, const QString &cols, const QString &rows);

// The Advanced bar's form buttons. Each asks its prompts in order (an empty
// first answer ends it with nothing written), writes its text in place of the
// active editor's selection as one undo step and gives the focus back to the
// editor. With no editor every prompt is still asked and nothing is written.
void CmdForm_Click(Dialogs &dialogs, ActiveEditor &editor);
void CmdCheckBox_Click(Dialogs &dialogs, ActiveEditor &editor);
void CmdRadio_Click(Dialogs &dialogs, ActiveEditor &editor);
void CmdReset_Click(Dialogs &dialogs, ActiveEditor &editor);
void CmdSubmit_Click(Dialogs &dialogs, ActiveEditor &editor);
void CmdText_Click(Dialogs &dialogs, ActiveEditor &editor);
void TextArea_Click(Dialogs &dialogs, ActiveEditor &editor);

} // namespace tw
