#include "generators/TableCommand.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"
#include "platform/Prompt.h"
#include "platform/AttributeValue.h"
#include "platform/Dialogs.h"

namespace tw {

namespace {

const QLatin1String kOpening("\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER=");
const QLatin1String kRowStart("<TR>\n");
const QLatin1String kCell("<TD> edit here... </TD>\n");
const QLatin1String kRowEnd("</TR>\n");
const QLatin1String kClosing("</TABLE>\n");

} // namespace

qint64 tableTextLength(int cols, int rows, const QString &border)
{
    const qint64 c = qMax(cols, 0);
    const qint64 r = qMax(rows, 0);
    const qint64 row = kRowStart.size() + c * kCell.size() + kRowEnd.size();
    return kOpening.size() + bareAttribute(border).size() + 2 + r * row + kClosing.size();
}

QString tableText(int cols, int rows, const QString &border)
{
    QString row = kRowStart;
    for (int c = 0; c < cols; ++c)
        row += kCell;
    row += kRowEnd;

    QString text;
    text.reserve(tableTextLength(cols, rows, border));
    text += kOpening + bareAttribute(border) + QLatin1String(">\n");
    for (int r = 0; r < rows; ++r)
        text += row;
    text += kClosing;
    return text;
}

void CmdTable_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    const QString colsAnswer = promptWithoutLetters(
        dialogs, QStringLiteral("Enter the COLS NUMBER for the table:"), QStringLiteral("Table Cols"));
    if (colsAnswer.isEmpty())
        return;
    const QString rowsAnswer = promptWithoutLetters(
        dialogs, QStringLiteral("Enter the ROWS NUMBER for the table:"), QStringLiteral("Table Rows"));
    if (rowsAnswer.isEmpty())
        return;
    const QString border =
        promptWithoutLetters(dialogs, QStringLiteral("Enter the BORDER SIZE for the table:"),
                             QStringLiteral("Table Border Size"));

    const int rows = countConversion(rowsAnswer);
    const int cols = countConversion(colsAnswer);
    // A count of 0 asks for no table; a negative count would never finish
    // its rows; a huge table would not fit in memory.
    if (rows < 1 || cols < 1 || tableTextLength(cols, rows, border) > kMaxTableTextLength)
        return;
    insertAndFocus(editor, tableText(cols, rows, border));
}

} // namespace tw
