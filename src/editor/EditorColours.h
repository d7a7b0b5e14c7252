#pragma once

#include <QColor>
#include <QPalette>

class QsciLexerHTML;

namespace tw {

class SourceEditor;

// A dark desktop: its windows darker than their text.
bool isDark(const QPalette &palette);

// The colour made readable on `paper`: kept as it is when it stands far
// enough from the paper's lightness, else with the same hue and saturation
// and its lightness moved away from the paper's until it does.
QColor readableOn(const QColor &colour, const QColor &paper);

// The editor's colours for a dark palette: the text, margins, caret and
// selection from the palette, and every highlighting style on the palette's
// base, in its own colour made readable there. For a light palette, the
// colours the editor and the highlighter have of their own (`light` holds
// the editor's, read before any change).
struct EditorLightColours {
    QColor paper;
    QColor text;
    QColor marginPaper;
    QColor marginText;
    QColor caret;
    QPalette palette;
};
EditorLightColours lightColoursOf(SourceEditor *editor);
void applyColours(SourceEditor *editor, QsciLexerHTML *lexer, const EditorLightColours &light,
                  const QPalette &palette);

} // namespace tw
