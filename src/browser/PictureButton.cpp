#include "browser/PictureButton.h"

#include <QMouseEvent>

namespace tw {

PictureButton::PictureButton(const QString &objectName, const QString &label, const QIcon &icon,
                             QWidget *parent)
    : QToolButton(parent)
{
    setObjectName(objectName);
    setAccessibleName(label);
    setToolTip(label);
    setIcon(icon);
    setIconSize(QSize(24, 24));
    setAutoRaise(true);
    setFocusPolicy(Qt::StrongFocus);
    // Mouse presses are handled below, so clicked() comes from the keyboard.
    connect(this, &QAbstractButton::clicked, this, &PictureButton::acted);
}

void PictureButton::mousePressEvent(QMouseEvent *event)
{
    m_held = true;
    setDown(true);
    event->accept();
}

void PictureButton::mouseMoveEvent(QMouseEvent *event)
{
    event->accept(); // stays pressed while held, on or off the button
}

void PictureButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_held || event->buttons() != Qt::NoButton)
        return; // another button is still held
    m_held = false;
    setDown(false);
    Q_EMIT acted();
}

} // namespace tw
