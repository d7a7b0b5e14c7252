#include "sitecheck/SiteCheckRun.h"

#include <QThread>

namespace tw::sitecheck {

SiteCheckRun::SiteCheckRun(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<tw::sitecheck::SiteReport>();
}

SiteCheckRun::~SiteCheckRun()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool SiteCheckRun::start(const QString &folder, const QHash<QString, QByteArray> &openTexts)
{
    if (m_thread)
        return false;
    m_cancel = false;
    m_thread = QThread::create([this, folder, openTexts] {
        m_report = checkSite(folder, openTexts, m_cancel, [this](int done, int total) {
            QMetaObject::invokeMethod(this, [this, done, total] { emit progress(done, total); }, Qt::QueuedConnection);
        });
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->deleteLater();
        m_thread = nullptr;
        SiteReport report = std::move(m_report);
        m_report = {};
        emit finished(report);
    });
    m_thread->start();
    return true;
}

void SiteCheckRun::cancel()
{
    m_cancel = true;
}

} // namespace tw::sitecheck
