#pragma once

#include <QObject>

class QAction;
class QMainWindow;

namespace tw {

// Alt and a menu's letter opens that menu even where a command bar button has
// the same access key: Alt+F is File, not "&Font Color". Letters that no menu
// uses still reach the buttons. Watches key presses anywhere in the frame.
class MenuAccessKeys : public QObject {
    Q_OBJECT
public:
    explicit MenuAccessKeys(QMainWindow *frame);
    ~MenuAccessKeys() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *menuFor(const QEvent *event) const;
    QMainWindow *m_frame;
};

} // namespace tw
