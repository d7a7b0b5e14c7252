#pragma once

#include "search/SiteSearch.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

namespace tw::search {

// One Find in Files on a worker thread. Pages with matches come to the
// window thread in batches (the first at once, then at most one batch each
// kBatchMs), so that however fast files are found the window only ever
// appends a batch at a time. stop() ends it at once for the window: nothing
// more is delivered, and the worker ends on its own soon after.
class SearchRun : public QObject {
    Q_OBJECT
public:
    static constexpr int kBatchMs = 30;

    SearchRun(SearchQuery query, QList<OpenText> open, QObject *parent = nullptr);
    ~SearchRun() override;

    void start();
    void stop();
    bool running() const { return m_running; }

signals:
    void found(const QVector<tw::search::PageHits> &pages);
    void finished(const tw::search::SearchTotals &totals);

private:
    void deliver(bool force = false);

    SearchQuery m_query;
    QList<OpenText> m_open;
    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    QMutex m_mutex;
    QVector<PageHits> m_pending;
    bool m_queued = false; // a delivery is on its way to the window thread
    QElapsedTimer m_sinceDelivery;
    bool m_running = false;
};

} // namespace tw::search
