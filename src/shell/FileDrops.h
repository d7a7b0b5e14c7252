#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace tw {

// Local files dropped anywhere in the frame, the editors included, open as
// pages instead of landing in an editor as text. Anything else dropped is left
// to the widget under the mouse.
class FileDrops : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QStringList &paths)>;
    FileDrops(QWidget *frame, Opener open);
    ~FileDrops() override;

    // The local files of a drop; empty when any of its addresses is not a
    // local file.
    static QStringList droppedFiles(const QMimeData *mime);
    // Opens the dropped files; false (and nothing opened) for anything else.
    bool openDropped(const QMimeData *mime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_frame;
    Opener m_open;
};

} // namespace tw
