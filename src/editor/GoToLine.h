#pragma once

#include <QString>

namespace tw {

class Dialogs;
class SourceEditor;

// What an answer to the line prompt asks for. A whole number names a line
// counted from 1; one before the first line or past the last gives the
// first or the last.
struct LineAnswer {
    enum Kind { Cancelled, NotANumber, Line };
    Kind kind = Cancelled;
    int line = 0; // from 0, for Line
};
LineAnswer readLineAnswer(const QString &answer, int lineCount);

// Asks for a line number and moves the caret to the start of that line,
// unfolding it if it is folded away. An answer that is no number is said
// in a message and moves nothing.
void goToLine(Dialogs &dialogs, SourceEditor &editor);

} // namespace tw
