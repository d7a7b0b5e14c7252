#include "checking/PageChecker.h"

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

QList<Problem> checkPage(const QByteArray &utf8, bool legacy)
{
    const QByteArray converted = legacy ? windows1252ForCheck(utf8.constData(), utf8.size()) : QByteArray();
    const QByteArray &bytes = legacy ? converted : utf8;
    const Input input = legacy ? Input::Windows1252 : Input::Utf8;
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
    QList<TidyPlace> places;
    places.reserve(placed.size());
    for (const CheckMessage &m : placed)
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
                        Done done)
{
    QPointer<QObject> to(receiver);
    QMetaObject::invokeMethod(
        m_worker,
        [this, utf8, legacy, wanted = std::move(wanted), done = std::move(done), to] {
            const bool checked = !wanted || wanted();
            if (checked)
                emit checkStarted();
            QList<Problem> problems = checked ? listOrder(checkPage(utf8, legacy)) : QList<Problem>();
            // Back on this object's thread, which outlives the checking one.
            QMetaObject::invokeMethod(
                this,
                [problems = std::move(problems), checked, done, to] {
                    if (to)
                        done(problems, checked);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace tw::checking
