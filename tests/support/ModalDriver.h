#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tw::test {

// Runs `act` on the next modal dialog to appear, so a test can drive a real
// blocking dialog: call this, then the function that shows the dialog.
inline void onNextModal(std::function<void(QWidget *)> act, int attempts = 200)
{
    QTimer::singleShot(10, [act = std::move(act), attempts]() mutable {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            act(modal);
            return;
        }
        if (attempts > 0)
            onNextModal(std::move(act), attempts - 1);
    });
}

} // namespace tw::test
