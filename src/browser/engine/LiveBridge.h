#pragma once

#include <QObject>

#include <functional>

namespace tw {

// What the live view's own script world tells the program, over a web
// channel that only that world reaches: the page's scripts can neither call
// it nor make its messages.
class LiveBridge final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::function<void(int revision)> onPainted;

public slots:
    // The page painted the revision's change (its next animation frame).
    void painted(int revision)
    {
        if (onPainted)
            onPainted(revision);
    }
};

} // namespace tw
