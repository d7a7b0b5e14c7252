#include "search/SearchRun.h"

#include "platform/ThreadPriority.h"

#include <QMutexLocker>
#include <QTimer>

namespace tw::search {

SearchRun::SearchRun(SearchQuery query, QList<OpenText> open, QObject *parent)
    : QObject(parent), m_query(std::move(query)), m_open(std::move(open))
{
    qRegisterMetaType<tw::search::PageHits>();
    qRegisterMetaType<tw::search::SearchTotals>();
}

SearchRun::~SearchRun()
{
    stop();
    if (m_thread) {
        // The worker only reads files and its own copies; it ends at the next
        // file once told to stop.
        m_thread->wait();
        delete m_thread;
    }
}

void SearchRun::start()
{
    if (m_thread)
        return;
    m_running = true;
    auto stop = m_stop;
    m_thread = QThread::create([this, stop] {
        // The threads the search starts take the same place.
        runBehindTheWindow();
        SiteSearch search(std::move(m_query), std::move(m_open));
        search.onPage = [this, stop](PageHits &&page) {
            QMutexLocker lock(&m_mutex);
            m_pending.push_back(std::move(page));
            if (m_queued)
                return;
            m_queued = true;
            QMetaObject::invokeMethod(this, [this] { deliver(); }, Qt::QueuedConnection);
        };
        const SearchTotals totals = search.run(*stop);
        QMetaObject::invokeMethod(this, [this, totals] {
            if (!m_running)
                return;
            deliver(true);
            m_running = false;
            emit finished(totals);
        }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void SearchRun::stop()
{
    m_stop->store(true);
    m_running = false;
}

void SearchRun::deliver(bool force)
{
    if (!m_running)
        return;
    QVector<PageHits> batch;
    {
        QMutexLocker lock(&m_mutex);
        if (!force && m_sinceDelivery.isValid() && m_sinceDelivery.elapsed() < kBatchMs && !m_pending.isEmpty()) {
            // Too soon after the last batch: the pages wait for the next.
            QTimer::singleShot(int(kBatchMs - m_sinceDelivery.elapsed()), this, [this] { deliver(); });
            return;
        }
        batch.swap(m_pending);
        m_queued = false;
    }
    m_sinceDelivery.start();
    if (!batch.isEmpty())
        emit found(batch);
}

} // namespace tw::search
