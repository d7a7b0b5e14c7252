#pragma once

#include <QObject>

class QSocketNotifier;

namespace tw {

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal delivered by the event
// loop, so that a request to end (a logout, a shutdown, Ctrl+C in a terminal)
// can write what is unsaved and end cleanly instead of ending at once. The
// system's handler only writes the signal's number to a pipe (all a signal
// handler may safely do); the event loop reads it. One object per process;
// destroying it gives the three signals their default action back.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    bool isActive() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace tw
