#include "shell/BarToggles.h"

#include "shell/CommandActions.h"
#include "shell/CommandBars.h"

#include <QAction>
#include <QEvent>
#include <QStatusBar>
#include <QToolBar>

namespace tw {

BarToggles::BarToggles(QToolBar *toolbar, EditBar *editBar, AdvancedBar *advancedBar,
                       QStatusBar *statusBar, CommandActions &actions, QObject *parent)
    : QObject(parent), m_toolbar(toolbar), m_editBar(editBar), m_advancedBar(advancedBar),
      m_statusBar(statusBar), m_actions(actions)
{
    m_toolbar->installEventFilter(this);
    m_editBar->installEventFilter(this);
    for (QAction *mark : {actions.viewToolbar, actions.documentViewToolbar})
        connect(this, &BarToggles::toolbarShownChanged, mark, &QAction::setChecked);
    for (QAction *mark : {actions.viewEditBars, actions.documentViewEditBars})
        connect(this, &BarToggles::editBarsShownChanged, mark, &QAction::setChecked);
}

bool BarToggles::toolbarShown() const
{
    return !m_toolbar->isHidden();
}

bool BarToggles::editBarsShown() const
{
    return !m_editBar->isHidden();
}

void BarToggles::setToolbarShown(bool shown)
{
    m_toolbar->setVisible(shown);
}

void BarToggles::setEditBarsShown(bool shown)
{
    m_editBar->setVisible(shown);
    m_advancedBar->setVisible(shown && m_advancedWanted);
}

void BarToggles::mnuViewStatusBar_Click()
{
    const bool show = m_statusBar->isHidden();
    m_statusBar->setVisible(show);
    m_actions.viewStatusBar->setChecked(show);
}

void BarToggles::CmdAdvanced_Click()
{
    m_advancedWanted = m_advancedBar->isHidden();
    m_advancedBar->setVisible(m_advancedWanted);
    m_actions.advanced->setText(m_advancedWanted ? QStringLiteral("&Hide") : QStringLiteral("&Advanced"));
    m_actions.advanced->setToolTip(m_advancedWanted ? QStringLiteral("Hide Advanced toolbar")
                                                    : QStringLiteral("Advanced toolbar"));
}

// ShowToParent and HideToParent follow the bar's own visibility flag, not the
// frame being minimized or hidden.
bool BarToggles::eventFilter(QObject *watched, QEvent *event)
{
    const bool shown = event->type() == QEvent::ShowToParent;
    if (shown || event->type() == QEvent::HideToParent) {
        if (watched == m_toolbar)
            Q_EMIT toolbarShownChanged(shown);
        else if (watched == m_editBar)
            Q_EMIT editBarsShownChanged(shown);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tw
