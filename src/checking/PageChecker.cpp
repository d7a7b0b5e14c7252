#include "checking/PageChecker.h"

#include <QPointer>

#include <algorithm>

namespace tw::checking {

QList<Problem> checkPage(const QByteArray &utf8, bool legacy)
{
    const QByteArray converted = legacy ? windows1252ForCheck(utf8.constData(), utf8.size()) : QByteArray();
    const QByteArray &bytes = legacy ? converted : utf8;
    const QList<CheckMessage> messages =
        tidyMessages(bytes.constData(), bytes.size(), legacy ? Input::Windows1252 : Input::Utf8);
    QList<TidyPlace> places;
    places.reserve(messages.size());
    for (const CheckMessage &m : messages)
        places << TidyPlace{m.line, m.column};
    const QList<Span> spans = spansOf(utf8.constData(), utf8.size(), legacy, places);
    QList<Problem> problems;
    problems.reserve(messages.size());
    for (qsizetype i = 0; i < messages.size(); ++i)
        problems << Problem{messages[i], spans[i]};
    return problems;
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

PageChecker::PageChecker(QObject *parent) : QObject(parent), m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("PageChecker"));
    m_thread.setStackSize(kStackBytes);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

PageChecker::~PageChecker()
{
    m_thread.quit();
    m_thread.wait();
}

void PageChecker::check(const QByteArray &utf8, bool legacy, QObject *receiver, std::function<bool()> wanted,
                        std::function<void(const QList<Problem> &)> done)
{
    QPointer<QObject> to(receiver);
    QMetaObject::invokeMethod(
        m_worker,
        [this, utf8, legacy, wanted = std::move(wanted), done = std::move(done), to] {
            if (wanted && !wanted())
                return;
            QList<Problem> problems = checkPage(utf8, legacy);
            // Back on this object's thread, which outlives the checking one.
            QMetaObject::invokeMethod(
                this,
                [problems = std::move(problems), done, to] {
                    if (to)
                        done(problems);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace tw::checking
