#include "shell/MainToolbar.h"

#include "shell/CommandActions.h"
#include "shell/ToolbarIcons.h"

#include <QAction>
#include <QToolBar>

namespace tw {

QToolBar *buildMainToolbar(const CommandActions &a, QWidget *parent)
{
    struct Button {
        QAction *action; // none: a separator
        const char *key; // the button's name, after "tb"
        ToolbarPicture picture;
    };
    const Button buttons[] = {
        {a.fileNew, "New", ToolbarPicture::New},
        {a.fileOpen, "Open", ToolbarPicture::Open},
        {a.fileSave, "Save", ToolbarPicture::Save},
        {nullptr, nullptr, {}},
        {a.cut, "Cut", ToolbarPicture::Cut},
        {a.copy, "Copy", ToolbarPicture::Copy},
        {a.paste, "Paste", ToolbarPicture::Paste},
        {nullptr, nullptr, {}},
        {a.preview, "Preview", ToolbarPicture::Preview},
        {a.webBrowser, "Explorer", ToolbarPicture::Browser},
        {a.deleteFile, "Trash", ToolbarPicture::Trash},
    };

    auto *bar = new QToolBar(QStringLiteral("Toolbar"), parent);
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Commands that menus list too get buttons of their own, without their
    // shortcuts: a visible toolbar would otherwise keep those keys live under
    // any menus, beside the menu items that carry them.
    const QList<QAction *> listedInMenus = {a.fileNew, a.fileOpen, a.fileSave, a.preview, a.webBrowser};
    for (const Button &button : buttons) {
        if (!button.action) {
            bar->addSeparator();
            continue;
        }
        QAction *action = listedInMenus.contains(button.action)
                              ? CommandActions::itemFor(button.action, bar, CommandActions::Keys::None)
                              : button.action;
        action->setIcon(toolbarIcon(button.picture, bar->style()));
        bar->addAction(action);
        if (QWidget *w = bar->widgetForAction(action)) {
            w->setObjectName(QStringLiteral("tb") + QLatin1String(button.key));
            // Toolbar buttons leave the keyboard focus where it is.
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    return bar;
}

} // namespace tw
