#include "markup/FontCommands.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"
#include "markup/CommandState.h"
#include "markup/MarkupWindows.h"

namespace tw {

const QList<PaletteCell> &paletteCells()
{
    static const QList<PaletteCell> cells = {
        {"a1", 48, 48, QColor(255, 255, 255), "#FFFFFF"},
        {"a2", 48, 408, QColor(192, 192, 192), "#C0C0C0"},
        {"a3", 48, 768, QColor(128, 128, 128), "#808080"},
        {"a4", 48, 1128, QColor(0, 0, 0), "0"},
        {"b1", 528, 48, QColor(255, 255, 0), "#FFFF00"},
        {"b2", 528, 408, QColor(255, 128, 0), "#FF8040"},
        {"b3", 528, 768, QColor(255, 0, 0), "#FF0000"},
        {"b4", 528, 1128, QColor(192, 0, 0), "#800000"},
        {"c1", 1008, 48, QColor(0, 255, 0), "#00FF00"},
        {"c2", 1008, 408, QColor(0, 192, 0), "#00B700"},
        {"c3", 1008, 768, QColor(0, 192, 192), "#00BFBF"},
        {"c4", 1008, 1128, QColor(0, 128, 128), "#008080"},
        {"d1", 1488, 48, QColor(0, 0, 255), "#0000FF"},
        {"d2", 1488, 408, QColor(0, 0, 128), "#000080"},
        {"d3", 1488, 768, QColor(255, 0, 255), "#FF00FF"},
        {"d4", 1488, 1128, QColor(128, 0, 128), "#800080"},
    };
    return cells;
}

QString fontSizeText(const QString &size, const QString &selection)
{
    return QLatin1String("<FONT SIZE=") + size + QLatin1Char('>') + selection + QLatin1String("</FONT>");
}

QString fontColorText(const QString &colorText, const QString &selection)
{
    return QLatin1String("<FONT COLOR=\"") + colorText + QLatin1String("\">") + selection
        + QLatin1String("</FONT>");
}

void CmdSize_Click(ActiveEditor &editor, const QString &sizeText)
{
    const QString selection = editor.selectedText();
    if (selection.isEmpty())
        return;
    insertAndFocus(editor, fontSizeText(sizeText, selection));
}

void CmdFontColor_Click(CommandState &state, ActiveEditor &editor, MarkupWindows &windows,
                        QWidget *parent)
{
    if (editor.selectedText().isEmpty())
        return;
    state.FontColorPending = 1;
    ShowColorPalette(state, &editor, windows, parent);
}

void ShowColorPalette(CommandState &state, ActiveEditor *editor, MarkupWindows &windows,
                      QWidget *parent)
{
    const int picked = windows.pickColorCell(parent);
    if (picked >= 0 && picked < paletteCells().size())
        servePaletteCell(state, editor, paletteCells().at(picked));
    // However the palette closed, a font colour request ends with it.
    state.FontColorPending = 0;
}

void servePaletteCell(CommandState &state, ActiveEditor *editor, const PaletteCell &cell)
{
    const QString text = QString::fromLatin1(cell.text);
    if (state.FontColorPending == 1 && editor)
        insertAsOneStep(*editor, fontColorText(text, editor->selectedText()));
    for (const PageColor which : kPageColors) {
        if (state.pending(which) != 1)
            continue;
        // Creating the window sets every page colour to its default, so it
        // comes before the picked value is stored.
        if (!state.pageProperties && state.createPageProperties)
            state.createPageProperties();
        if (state.pageProperties)
            state.pageProperties->showPageColor(which, cell.fill);
        state.value(which) = text;
        state.pending(which) = 0;
    }
}

} // namespace tw
