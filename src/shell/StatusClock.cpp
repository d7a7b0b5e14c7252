#include "shell/StatusClock.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

namespace tw {

StatusClock::StatusClock(QLabel *date, QLabel *time, QObject *parent)
    : QObject(parent), m_date(date), m_time(time), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("statusClock"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::CoarseTimer);
    connect(m_timer, &QTimer::timeout, this, &StatusClock::refresh);
    refresh();
}

void StatusClock::refresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("[:.]ss?")));
    m_time->setText(locale.toString(now.time(), timeFormat));
    const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
    m_timer->start(60000 - msIntoMinute + 50);
}

} // namespace tw
