#pragma once

#include "sitecheck/SiteCheck.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

namespace tw::sitecheck {

// Runs checkSite on a thread of its own, so that the window never waits for
// it: progress and the report come back as signals on this object's thread.
// One check at a time; a new start while one runs is refused.
class SiteCheckRun : public QObject {
    Q_OBJECT
public:
    explicit SiteCheckRun(QObject *parent = nullptr);
    // Stops a check under way and waits for its thread.
    ~SiteCheckRun() override;

    bool busy() const { return m_thread != nullptr; }
    // openTexts: the unsaved text of open pages, taken by the caller on its
    // own thread, by absolute path.
    bool start(const QString &folder, const QHash<QString, QByteArray> &openTexts);
    // The check ends soon after; finished() then reports it cancelled.
    void cancel();

signals:
    void progress(int done, int total);
    void finished(const tw::sitecheck::SiteReport &report);

private:
    QThread *m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    SiteReport m_report;
};

} // namespace tw::sitecheck
