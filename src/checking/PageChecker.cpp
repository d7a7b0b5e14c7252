#include "checking/PageChecker.h"

#include "checking/CheckerRun.h"
#include "platform/ThreadPriority.h"

#include <QPointer>

#include <algorithm>

namespace tw::checking {

namespace {

// The bytes with each lone CR made an LF: the same lines, byte for byte.
QByteArray withoutLoneCr(const QByteArray &bytes)
{
    QByteArray out = bytes;
    char *d = out.data();
    for (qsizetype i = 0; i < out.size(); ++i)
        if (d[i] == '\r' && (i + 1 >= out.size() || d[i + 1] != '\n'))
            d[i] = '\n';
    return out;
}

bool hasLoneCr(const QByteArray &bytes)
{
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 1))
        if (i + 1 >= bytes.size() || bytes[i + 1] != '\n')
            return true;
    return false;
}

} // namespace

QByteArray bytesForCheck(const QByteArray &utf8, bool legacy)
{
    return legacy ? windows1252ForCheck(utf8.constData(), utf8.size()) : utf8;
}

QList<Checked> tidyChecked(const QByteArray &bytes, Input input)
{
    const QList<CheckMessage> messages = tidyMessages(bytes.constData(), bytes.size(), input);
    // After a lone CR tidy counts columns on from the line before, at times,
    // so the places come from the same bytes with LF there: tidy reads both
    // alike and reports the same messages, with columns that point where
    // they mean. The rows keep the numbers the tidy program prints.
    QList<CheckMessage> placed = messages;
    if (hasLoneCr(bytes)) {
        const QByteArray plain = withoutLoneCr(bytes);
        const QList<CheckMessage> again = tidyMessages(plain.constData(), plain.size(), input);
        const bool same = again.size() == messages.size()
            && std::equal(again.begin(), again.end(), messages.begin(),
                          [](const CheckMessage &a, const CheckMessage &b) { return a.text == b.text; });
        if (same)
            placed = again;
    }
    QList<Checked> checked;
    checked.reserve(messages.size());
    for (qsizetype i = 0; i < messages.size(); ++i)
        checked << Checked{messages[i], TidyPlace{placed[i].line, placed[i].column}};
    return checked;
}

QList<Problem> placeProblems(const QByteArray &utf8, bool legacy, const QList<Checked> &checked)
{
    QList<TidyPlace> places;
    places.reserve(checked.size());
    for (const Checked &c : checked)
        places << c.place;
    const QList<Span> spans = spansOf(utf8.constData(), utf8.size(), legacy, places);
    QList<Problem> problems;
    problems.reserve(checked.size());
    for (qsizetype i = 0; i < checked.size(); ++i)
        problems << Problem{checked[i].message, spans[i]};
    return problems;
}

QList<Problem> checkPage(const QByteArray &utf8, bool legacy)
{
    return placeProblems(utf8, legacy, tidyChecked(bytesForCheck(utf8, legacy), legacy ? Input::Windows1252 : Input::Utf8));
}

QList<Problem> listOrder(QList<Problem> problems)
{
    std::stable_sort(problems.begin(), problems.end(), [](const Problem &a, const Problem &b) {
        const CheckMessage &x = a.message;
        const CheckMessage &y = b.message;
        if (x.kind != y.kind)
            return int(x.kind) < int(y.kind);
        return x.line != y.line ? x.line < y.line : x.column < y.column;
    });
    return problems;
}

namespace {

// Runs the checks on the checking thread, one child at a time.
class CheckWorker : public QObject {
public:
    struct Job {
        QByteArray utf8;
        bool legacy = false;
        std::function<bool()> wanted;
        std::function<void(QList<Problem>, bool)> reply;
    };
    explicit CheckWorker(PageChecker *owner) : m_owner(owner) {}

    void add(Job job)
    {
        // A check whose text has changed since is stopped for the newer one.
        if (m_run && m_current.wanted && !m_current.wanted()) {
            stop();
            m_current.reply({}, false);
        }
        m_queue << std::move(job);
        if (!m_run)
            next();
    }

    void stop()
    {
        delete m_run; // kills the checker
        m_run = nullptr;
    }

private:
    void next()
    {
        while (!m_run && !m_queue.isEmpty()) {
            m_current = m_queue.takeFirst();
            if (m_current.wanted && !m_current.wanted()) {
                m_current.reply({}, false);
                continue;
            }
            QMetaObject::invokeMethod(m_owner, [owner = m_owner] { emit owner->checkStarted(); }, Qt::QueuedConnection);
            const Input input = m_current.legacy ? Input::Windows1252 : Input::Utf8;
            m_run = new CheckerRun(bytesForCheck(m_current.utf8, m_current.legacy), input, this);
            connect(m_run, &CheckerRun::finished, this, &CheckWorker::onFinished, Qt::QueuedConnection);
            m_run->start();
        }
    }

    void onFinished(const QList<Checked> &messages, const QString &failure)
    {
        if (!m_run || sender() != m_run)
            return; // from a run stopped since
        m_run->deleteLater();
        m_run = nullptr;
        QList<Problem> problems;
        if (failure.isEmpty()) {
            problems = listOrder(placeProblems(m_current.utf8, m_current.legacy, messages));
        } else {
            CheckMessage m;
            m.kind = Kind::Error;
            m.text = failure;
            problems << Problem{m, Span{}};
        }
        m_current.reply(std::move(problems), true);
        m_current = Job();
        next();
    }

    PageChecker *m_owner;
    QList<Job> m_queue;
    Job m_current;
    CheckerRun *m_run = nullptr;
};

} // namespace

PageChecker::PageChecker(QObject *parent) : QObject(parent), m_worker(new CheckWorker(this))
{
    m_thread.setObjectName(QStringLiteral("PageChecker"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    // Qt's thread priorities do nothing for ordinary threads here.
    connect(&m_thread, &QThread::started, m_worker, &runBehindTheWindow);
    m_thread.start();
}

PageChecker::~PageChecker()
{
    // The checker under way is killed, never waited for.
    auto *worker = static_cast<CheckWorker *>(m_worker);
    QMetaObject::invokeMethod(worker, [worker] { worker->stop(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void PageChecker::check(const QByteArray &utf8, bool legacy, QObject *receiver, std::function<bool()> wanted,
                        Done done)
{
    QPointer<QObject> to(receiver);
    auto *worker = static_cast<CheckWorker *>(m_worker);
    CheckWorker::Job job;
    job.utf8 = utf8;
    job.legacy = legacy;
    job.wanted = std::move(wanted);
    job.reply = [this, done = std::move(done), to](QList<Problem> problems, bool checked) {
        // Back on this object's thread, which outlives the checking one.
        QMetaObject::invokeMethod(
            this,
            [problems = std::move(problems), checked, done, to] {
                if (to)
                    done(problems, checked);
            },
            Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(worker, [worker, job = std::move(job)]() mutable { worker->add(std::move(job)); },
                              Qt::QueuedConnection);
}

} // namespace tw::checking
