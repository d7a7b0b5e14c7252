#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tw::clipboard {

void setText(const QString &text)
{
    if (QClipboard *board = QGuiApplication::clipboard())
        board->setText(text);
}

QString text()
{
    if (QClipboard *board = QGuiApplication::clipboard())
        return board->text();
    return QString();
}

} // namespace tw::clipboard
