#pragma once

#include <QString>
#include <QtGlobal>

namespace tw {

class Dialogs;
class ActiveEditor;

// The table skeleton: a line feed, the TABLE tag with the border answer
// unquoted (quoted only when it holds what would end a bare value), one <TR> block per row holding one " edit here... " cell line per
// column, and the closing tag. Counts below 1 give no rows or no cells.
QString tableText(int cols, int rows, const QString &border);

// Length of tableText() for these counts, computed without building it.
qint64 tableTextLength(int cols, int rows, const QString &border);

// The largest table the command writes, in characters (about five million
// cells); a larger one would exhaust the memory of the editor and the program.
inline constexpr qint64 kMaxTableTextLength = qint64(1) << 27;

// The Advanced bar's Table button: asks the column count, the row count and
// the border, then writes the table in place of the selection as one undo
// step and gives the focus back. An empty count answer ends the command; a
// count that is not at least 1 (or a table beyond kMaxTableTextLength) ends it
// after the three prompts with nothing written.
void CmdTable_Click(Dialogs &dialogs, ActiveEditor &editor);

} // namespace tw
