#include "editor/GoToLine.h"

#include "editor/SourceEditor.h"
#include "platform/Dialogs.h"

namespace tw {

LineAnswer readLineAnswer(const QString &answer, int lineCount)
{
    const QString text = answer.trimmed();
    if (text.isEmpty())
        return {};
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {LineAnswer::NotANumber, 0};
    const int last = qMax(1, lineCount);
    // More digits than a line count can have: past the last line.
    qsizetype first = 0;
    while (first < text.size() - 1 && text.at(first) == QLatin1Char('0'))
        ++first;
    const int number = text.size() - first > 9 ? last : text.mid(first).toInt();
    return {LineAnswer::Line, qBound(1, number, last) - 1};
}

void goToLine(Dialogs &dialogs, SourceEditor &editor)
{
    const QString title = QStringLiteral("Go to Line");
    const int lines = editor.lines();
    const QString answer = dialogs.prompt(QStringLiteral("Line number (1 - %1):").arg(lines), title);
    const LineAnswer asked = readLineAnswer(answer, lines);
    if (asked.kind == LineAnswer::NotANumber) {
        dialogs.message(QStringLiteral("\"%1\" is not a line number.").arg(answer.trimmed()), title,
                        MessageKind::Warning);
    } else if (asked.kind == LineAnswer::Line) {
        editor.ensureLineVisible(asked.line);
        editor.setCursorPosition(asked.line, 0);
    }
    editor.setFocus();
}

} // namespace tw
