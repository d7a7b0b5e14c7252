#pragma once

#include <QList>
#include <QScrollArea>

class QAction;
class QComboBox;
class QPushButton;

namespace tw {

class CommandActions;

// One of the frame's two command bars along its right edge: a column of
// buttons at fixed positions, scrollable when the frame is too short to show
// them all. Each button runs its command's action and shows that action's
// caption, tooltip and enabled state.
class CommandBar : public QScrollArea {
    Q_OBJECT
public:
    const QList<QPushButton *> &buttons() const { return m_buttons; }

protected:
    CommandBar(const QString &objectName, const QString &title, QWidget *parent);
    QPushButton *addButton(const char *name, QAction *action, double top, double left, double width, double height,
                           double pointSize);
    void finish(double width, double height);
    QWidget *panel() const { return m_panel; }

private:
    QWidget *m_panel;
    QList<QPushButton *> m_buttons;
};

// The "HTML Edit" bar, with the font-size box.
class EditBar final : public CommandBar {
    Q_OBJECT
public:
    EditBar(const CommandActions &actions, QWidget *parent = nullptr);
    QComboBox *sizeBox;
};

// The "Advanced" bar of the generator buttons.
class AdvancedBar final : public CommandBar {
    Q_OBJECT
public:
    AdvancedBar(const CommandActions &actions, QWidget *parent = nullptr);
};

} // namespace tw
