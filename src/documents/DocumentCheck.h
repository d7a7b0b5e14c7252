#pragma once

#include "checking/PageChecker.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

namespace tw {

class frmDocument;

// The check of one document window's page: it hands the text, as it would be
// saved, to the checker, keeps the latest problems with their spans moved
// along with later edits, and marks them in the editor. With checking as you
// type, the page is checked again once typing has paused for kPauseMs. A
// result is thrown away when the text changed while it was being made.
class DocumentCheck : public QObject {
    Q_OBJECT
public:
    DocumentCheck(frmDocument *document, checking::PageChecker &checker);

    // The check of this document, if one was made for it.
    static DocumentCheck *of(frmDocument *document);

    static constexpr int kPauseMs = 500;
    // How many problems are marked in the editor in one turn of the event loop.
    static constexpr int kMarksPerTurn = 20000;

    // Checks the page as it stands now; checked() follows.
    void checkNow();
    void setAsYouType(bool on);
    bool asYouType() const { return m_asYouType; }
    // A check has ended since the window opened.
    bool hasResult() const { return m_hasResult; }
    // The latest problems in list order, spans where the text is now.
    const QList<checking::Problem> &problems() const { return m_problems; }
    // A check is asked for or under way.
    bool busy() const { return m_busy; }

    // Puts the caret at the start of problem `index` and gives the editor the
    // focus.
    void goTo(int index);

    // Moves tidy's place of problem `index` to where its text lies now: the
    // lines and columns the edits since the check added or took away before
    // it. False when the text at the place has been deleted since.
    bool placeNow(int index, checking::TidyPlace &place);

signals:
    // A check ended, or the text was replaced and its problems dropped.
    void checked();
    // The text was edited since the check: the problems' places moved.
    void moved();

private:
    void onEdited(qint64 position, qint64 removed, qint64 length);
    void onReplaced();
    void markSome();
    void request();

    frmDocument *m_document;
    checking::PageChecker &m_checker;
    QTimer m_pause;
    bool m_asYouType = false;
    bool m_hasResult = false;
    bool m_busy = false;
    bool m_editedSinceText = false;
    qsizetype m_marked = 0; // the problems marked so far
    int m_markRound = 0;    // raised when the marks start over
    quint64 m_asked = ~quint64(0); // the generation the latest check was asked for
    // Raised by every edit; read on the checking thread.
    std::shared_ptr<std::atomic<quint64>> m_generation = std::make_shared<std::atomic<quint64>>(0);
    QList<checking::Problem> m_problems;
    // The text the problems were found in, their spans there, which of them
    // lost their text since, and that text's line starts (made when needed).
    QByteArray m_checkedText;
    QList<checking::Span> m_origins;
    QList<bool> m_gone;
    std::vector<qint64> m_lineStarts;
    bool m_movePending = false;
};

} // namespace tw
