#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QWidget;

namespace tw {

class ActiveEditor;
class MarkupWindows;
struct CommandState;

// One cell of the palette: its control name ("a1" to "d4"), its place in
// twips, the colour it is filled with and the colour text it writes. The
// fill and the text differ on purpose for b2, b4, c2 and c3, and black
// writes a single "0".
struct PaletteCell {
    const char *name;
    int left;
    int top;
    QColor fill;
    const char *text;
};
inline constexpr int kPaletteCellWidth = 432;
inline constexpr int kPaletteCellHeight = 336;
// Column by column, top to bottom: a1 a2 a3 a4 b1 ... d4.
const QList<PaletteCell> &paletteCells();

// "<FONT SIZE=" size ">" selection "</FONT>", the size exactly as typed.
QString fontSizeText(const QString &size, const QString &selection);
// "<FONT COLOR="colour">" selection "</FONT>".
QString fontColorText(const QString &colorText, const QString &selection);

// The "A" button, and Enter in the size box: wraps a non-empty selection in
// a FONT SIZE tag with the size box's text as one undo step, then gives the
// focus back to the editor.
void CmdSize_Click(ActiveEditor &editor, const QString &sizeText);

// "&Font Color": with text selected, asks the palette for a colour and wraps
// the selection in a FONT COLOR tag with the picked cell's text.
void CmdFontColor_Click(CommandState &state, ActiveEditor &editor, MarkupWindows &windows,
                        QWidget *parent);

// Shows the palette and serves every pending request with the cell picked;
// closing it clears the font colour request only. editor may be null when
// no font colour can be pending (Page Properties asking).
void ShowColorPalette(CommandState &state, ActiveEditor *editor, MarkupWindows &windows,
                      QWidget *parent);

// What a pick of this cell does: wraps the selection when a font colour is
// requested, then sets each requested page colour (creating the Page
// Properties window hidden when it does not exist) and clears its request.
void servePaletteCell(CommandState &state, ActiveEditor *editor, const PaletteCell &cell);

} // namespace tw
