#include "shell/FileDrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tw {

FileDrops::FileDrops(QWidget *frame, Opener open) : QObject(frame), m_frame(frame), m_open(std::move(open))
{
    m_frame->setAcceptDrops(true);
    // The editors take drops themselves, so the frame must see them first.
    qApp->installEventFilter(this);
}

FileDrops::~FileDrops()
{
    qApp->removeEventFilter(this);
}

QStringList FileDrops::droppedFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

bool FileDrops::openDropped(const QMimeData *mime)
{
    const QStringList paths = droppedFiles(mime);
    if (!paths.isEmpty())
        m_open(paths);
    return !paths.isEmpty();
}

bool FileDrops::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_frame) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!droppedFiles(drop->mimeData()).isEmpty()) {
            drop->acceptProposedAction();
            if (type == QEvent::Drop)
                openDropped(drop->mimeData());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tw
