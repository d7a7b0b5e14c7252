#pragma once

#include <QHash>
#include <QScrollArea>
#include <QString>

class QComboBox;
class QPushButton;

namespace tw {

// One of the frame's two command bars along its right edge: a column of
// buttons at fixed positions, scrollable when the frame is too short to show
// them all. Buttons are found by their control name (e.g. "CmdBold").
class CommandBar : public QScrollArea {
    Q_OBJECT
public:
    QPushButton *button(const QString &name) const { return m_buttons.value(name); }
    const QHash<QString, QPushButton *> &buttons() const { return m_buttons; }

protected:
    CommandBar(const QString &objectName, const QString &title, QWidget *parent);
    QPushButton *addButton(const char *name, const char *caption, const char *tooltip,
                           double top, double left, double width, double height,
                           double pointSize);
    void finish(double width, double height);
    QWidget *panel() const { return m_panel; }

private:
    QWidget *m_panel;
    QHash<QString, QPushButton *> m_buttons;
};

// The "HTML Edit" bar, with the font-size box.
class EditBar final : public CommandBar {
    Q_OBJECT
public:
    explicit EditBar(QWidget *parent = nullptr);
    QComboBox *Size;
};

// The "Advanced" bar of the generator buttons.
class AdvancedBar final : public CommandBar {
    Q_OBJECT
public:
    explicit AdvancedBar(QWidget *parent = nullptr);
};

} // namespace tw
