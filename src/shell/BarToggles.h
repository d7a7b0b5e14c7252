#pragma once

#include <QObject>

class QStatusBar;
class QToolBar;

namespace tw {

class AdvancedBar;
class CommandActions;
class EditBar;

// Showing and hiding the frame's toolbar, its two command bars and its status
// bar, and the View check marks that follow them. The marks follow the bars'
// own visibility at once, so minimizing the frame does not uncheck them.
class BarToggles : public QObject {
    Q_OBJECT
public:
    BarToggles(QToolBar *toolbar, EditBar *editBar, AdvancedBar *advancedBar,
               QStatusBar *statusBar, CommandActions &actions, QObject *parent = nullptr);

    bool toolbarShown() const;
    bool editBarsShown() const;
    void setToolbarShown(bool shown);
    // Showing the edit bars brings the Advanced bar back only when the user
    // had asked for it.
    void setEditBarsShown(bool shown);
    void toggleToolbar() { setToolbarShown(!toolbarShown()); }
    void toggleEditBars() { setEditBarsShown(!editBarsShown()); }
    void mnuViewStatusBar_Click();
    // Shows or hides the Advanced bar; the button then reads "&Hide" or
    // "&Advanced".
    void CmdAdvanced_Click();
    bool advancedWanted() const { return m_advancedWanted; }

Q_SIGNALS:
    void toolbarShownChanged(bool shown);
    void editBarsShownChanged(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolBar *m_toolbar;
    EditBar *m_editBar;
    AdvancedBar *m_advancedBar;
    QStatusBar *m_statusBar;
    CommandActions &m_actions;
    bool m_advancedWanted = false;
};

} // namespace tw
