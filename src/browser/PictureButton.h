#pragma once

#include <QToolButton>

namespace tw {

// A picture button of the browser's strip. Any mouse button pressed on it
// shows it pressed; the action runs when that button is released, wherever
// the pointer is by then. Space runs it from the keyboard.
class PictureButton : public QToolButton {
    Q_OBJECT
public:
    PictureButton(const QString &objectName, const QString &label, const QIcon &icon,
                  QWidget *parent);

Q_SIGNALS:
    void acted();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_held = false;
};

} // namespace tw
