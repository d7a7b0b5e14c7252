#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

namespace tw {

// The user's own clicks and keys in the view. The engine reports a link a
// script clicked, or an address a script set, just like a link the user
// clicked; only a press of the user's, shortly before, tells them apart.
// Each press lets through one navigation at most.
class UserInput final : public QObject {
public:
    using QObject::QObject;

    // Watches the widget that takes the view's input (the engine makes it
    // anew with each new render process).
    void watch(QObject *widget) { widget->installEventFilter(this); }
    // Whether a press came within kWindowMs and no navigation took it yet;
    // takes it.
    bool take()
    {
        const bool fresh = m_pressed.isValid() && m_pressed.elapsed() < kWindowMs;
        m_pressed.invalidate();
        return fresh;
    }
    void forget() { m_pressed.invalidate(); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
            m_pressed.start();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Room for the engine to turn the press into a navigation on a busy machine.
    static constexpr int kWindowMs = 3000;
    QElapsedTimer m_pressed;
};

} // namespace tw
