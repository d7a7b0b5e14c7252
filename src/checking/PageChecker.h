#pragma once

#include "checking/TextPlaces.h"
#include "checking/TidyCheck.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QThread>

#include <functional>

namespace tw::checking {

// One of the page's problems: tidy's message and the span of the editor's
// text it points at.
struct Problem {
    CheckMessage message;
    Span span;
};

// Checks the editor's UTF-8 text as it would be saved: as UTF-8, or
// (`legacy`) as Windows-1252 (see windows1252ForCheck). The problems come in
// tidy's order. The text is only read.
QList<Problem> checkPage(const QByteArray &utf8, bool legacy);

// The problems in the order the Problems list shows them: errors, then
// warnings, then notes, each kind in text order.
QList<Problem> listOrder(QList<Problem> problems);

// Runs checks one after another on a thread of its own, so that a check,
// however long, never holds up the window. A check a newer one has made
// pointless is skipped; its result would be thrown away anyway.
class PageChecker : public QObject {
    Q_OBJECT
public:
    explicit PageChecker(QObject *parent = nullptr);
    // Waits for a check under way to end.
    ~PageChecker() override;

    // The stack of the checking thread: tidy descends once per nesting level
    // of the page's tags, up to kDeepestNesting.
    static constexpr uint kStackBytes = 256u * 1024 * 1024;

    // Checks the text on the checking thread, unless `wanted` (called there)
    // says no by the time its turn comes, then calls `done` on this object's
    // thread, if `receiver` still exists, with the problems in list order
    // and true, or with none and false when the check was skipped.
    using Done = std::function<void(const QList<Problem> &, bool checked)>;
    void check(const QByteArray &utf8, bool legacy, QObject *receiver, std::function<bool()> wanted, Done done);

signals:
    // A check has begun on the checking thread (received on this object's).
    void checkStarted();

private:
    QThread m_thread;
    QObject *m_worker;
};

} // namespace tw::checking
