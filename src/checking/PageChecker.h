#pragma once

#include "checking/CheckerProtocol.h"
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
    bool operator==(const Problem &o) const { return message == o.message && span == o.span; }
};

// Checks the editor's UTF-8 text as it would be saved: as UTF-8, or
// (`legacy`) as Windows-1252 (see windows1252ForCheck). The problems come in
// tidy's order. The text is only read. It runs tidy in this process: the
// checker's own work is split in the three steps below.
QList<Problem> checkPage(const QByteArray &utf8, bool legacy);
// The bytes tidy reads for the editor's text.
QByteArray bytesForCheck(const QByteArray &utf8, bool legacy);
// Tidy's messages for those bytes, each with the place its span is found from.
QList<Checked> tidyChecked(const QByteArray &bytes, Input input);
// The problems those messages point at in the editor's text, in tidy's order.
QList<Problem> placeProblems(const QByteArray &utf8, bool legacy, const QList<Checked> &checked);

// The stack tidy runs on: its parser descends once per nesting level of the
// page's tags, up to kDeepestNesting.
inline constexpr uint kTidyStackBytes = 256u * 1024 * 1024;

// The problems in the order the Problems list shows them: errors, then
// warnings, then notes, each kind in text order.
QList<Problem> listOrder(QList<Problem> problems);

// Runs checks one after another, each in a checker process of its own
// (tagwright-check, see CheckerRun) driven from a thread of its own, so that
// a check never holds up the window, a check that runs away is stopped after
// checkSeconds(), and one that crashes takes nothing else with it: either
// gives the one row "the page could not be checked: " and why. A check a
// newer one has made pointless is skipped, or stopped when under way; its
// result would be thrown away anyway.
class PageChecker : public QObject {
    Q_OBJECT
public:
    explicit PageChecker(QObject *parent = nullptr);
    // Kills the checker under way, without waiting for its check.
    ~PageChecker() override;

    // Checks the text, unless `wanted` (called on the checking thread) says
    // no by the time its turn comes or, while it runs, a newer check comes;
    // then calls `done` on this object's
    // thread, if `receiver` still exists, with the problems in list order
    // and true, or with none and false when the check was skipped.
    using Done = std::function<void(const QList<Problem> &, bool checked)>;
    void check(const QByteArray &utf8, bool legacy, QObject *receiver, std::function<bool()> wanted, Done done);

signals:
    // A check has begun (emitted on this object's thread).
    void checkStarted();

private:
    QThread m_thread;
    QObject *m_worker;
};

} // namespace tw::checking
