#include "shell/MenuAccessKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>

namespace tw {

MenuAccessKeys::MenuAccessKeys(QMainWindow *frame) : QObject(frame), m_frame(frame)
{
    // Key events go to the focused widget first, so only an application-wide
    // filter sees them before a button's access key takes them.
    qApp->installEventFilter(this);
}

MenuAccessKeys::~MenuAccessKeys()
{
    qApp->removeEventFilter(this);
}

QAction *MenuAccessKeys::menuFor(const QEvent *event) const
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (key->modifiers() != Qt::AltModifier || key->key() < Qt::Key_A || key->key() > Qt::Key_Z)
        return nullptr;
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key->key())));
    for (QAction *action : m_frame->menuBar()->actions()) {
        if (action->isVisible() && QKeySequence::mnemonic(action->text()) == pressed)
            return action;
    }
    return nullptr;
}

bool MenuAccessKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == m_frame) {
        if (QAction *menu = menuFor(event)) {
            if (type == QEvent::ShortcutOverride)
                event->accept();
            else
                m_frame->menuBar()->setActiveAction(menu);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tw
