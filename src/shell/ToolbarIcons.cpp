#include "shell/ToolbarIcons.h"

#include "editor/EditorColours.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace tw {

namespace {

QIcon drawnIcon(ToolbarPicture picture)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The outlines in the desktop's text colour where its windows are dark.
    const QPalette palette = QGuiApplication::palette();
    p.setPen(QPen(isDark(palette) ? palette.color(QPalette::WindowText) : QColor(0x30, 0x30, 0x30), 2));
    if (picture == ToolbarPicture::Cut) {
        p.drawEllipse(QRectF(5, 20, 8, 8));
        p.drawEllipse(QRectF(19, 20, 8, 8));
        p.drawLine(QPointF(11, 20), QPointF(22, 3));
        p.drawLine(QPointF(21, 20), QPointF(10, 3));
    } else if (picture == ToolbarPicture::Copy) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 4, 16, 19));
        p.drawRect(QRectF(12, 10, 16, 19));
    } else {
        p.setBrush(QColor(0xc8, 0x9b, 0x5a));
        p.drawRoundedRect(QRectF(5, 5, 22, 25), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 10, 14, 16));
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawRect(QRectF(11, 2, 10, 6));
    }
    return QIcon(pixmap);
}

} // namespace

QIcon toolbarIcon(ToolbarPicture picture, const QStyle *style)
{
    switch (picture) {
    case ToolbarPicture::New: return style->standardIcon(QStyle::SP_FileIcon);
    case ToolbarPicture::Open: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case ToolbarPicture::Save: return style->standardIcon(QStyle::SP_DialogSaveButton);
    case ToolbarPicture::Preview: return style->standardIcon(QStyle::SP_FileDialogContentsView);
    case ToolbarPicture::Browser: return style->standardIcon(QStyle::SP_ComputerIcon);
    case ToolbarPicture::Trash: return style->standardIcon(QStyle::SP_TrashIcon);
    case ToolbarPicture::Cut:
    case ToolbarPicture::Copy:
    case ToolbarPicture::Paste: return drawnIcon(picture);
    }
    return {};
}

} // namespace tw
