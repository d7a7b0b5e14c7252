#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace tw {

// Small builders for the windows' menu trees: every menu and item carries its
// control name as object name, so tests and tools can find it.
inline QMenu *newMenu(QWidget *owner, const char *caption, const char *name)
{
    auto *menu = new QMenu(QString::fromLatin1(caption), owner);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

inline QAction *addMenuItem(QMenu *menu, const char *caption, const char *name,
                            const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

// A checkable item, checked at start.
inline QAction *addCheckItem(QMenu *menu, const char *caption, const char *name)
{
    QAction *action = addMenuItem(menu, caption, name);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

} // namespace tw
