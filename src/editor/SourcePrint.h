#pragma once

#include <QString>

namespace tw {

class Dialogs;
class SourceEditor;

enum class PrintResult { Printed, Cancelled, Failed };

// Prints the page's source, after the print dialog: black on white, long
// lines wrapped, with line numbers whether the editor shows them or not, and
// the page's name and the sheet's number at the head of every sheet. A
// printer or file that cannot be written is said in a message.
PrintResult printSource(Dialogs &dialogs, SourceEditor &editor, const QString &pageName);

} // namespace tw
