#pragma once

#include "pages/LongLines.h"

#include <QString>

namespace tw {

class Dialogs;
class SourceEditor;

// The question asked before a page with a line longer than kLongLineLimit is
// opened, and its choices (Cancel follows them).
inline constexpr const char *kLongLineTitle = "Long Line";
inline constexpr const char *kOpenAsItIs = "Open As It Is";
inline constexpr const char *kOpenWithLineBreaks = "Open With Line Breaks";

enum class LongLineChoice { AsItIs, WithLineBreaks, Cancel };

// Asks how to open the page at path whose longest line has length characters.
LongLineChoice askAboutLongLine(Dialogs &dialogs, const QString &path, qint64 length);

// Replaces the editor's text with the same text broken after each '>' of its
// long lines (see breakLongLines), and marks it changed: the result is on no
// disk. False when there is no memory for it; the editor may then hold part
// of the text only.
bool putLineBreaks(SourceEditor *editor, qint64 limit = kLongLineLimit);

} // namespace tw
