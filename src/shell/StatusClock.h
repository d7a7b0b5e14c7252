#pragma once

#include <QObject>

class QLabel;
class QTimer;

namespace tw {

// Keeps the status bar's date and time panels current. It wakes once a
// minute, on the minute, and shows minutes only.
class StatusClock : public QObject {
    Q_OBJECT
public:
    StatusClock(QLabel *date, QLabel *time, QObject *parent = nullptr);

private:
    void refresh();

    QLabel *m_date;
    QLabel *m_time;
    QTimer *m_timer;
};

} // namespace tw
