#pragma once

#include <QDockWidget>
#include <QPointer>

class QLabel;
class QTabWidget;
class QTableView;

namespace tw {

class DocumentCheck;
class frmDocument;
class frmMain;
namespace checking {
class PageChecker;
class ProblemModel;
} // namespace checking

// The frame's "Problems" dock: the latest check of the active document as
// rows of line, column, kind and message, each where its problem lies now.
// Activating a row (double-click or Enter) puts the caret there in the page's
// window and gives it the focus.
// Beside it, the status bar says "N errors, M warnings" for the active page.
class ProblemsDock : public QDockWidget {
    Q_OBJECT
public:
    ProblemsDock(frmMain &frame, checking::PageChecker &checker);

    QTableView *view() const { return m_view; }
    QLabel *summary() const { return m_summary; }

    // Shows the site check's page (added the first time) in front.
    void showSite(QWidget *panel);

    // Checks the active document now and shows this dock.
    void checkActive();
    // Checks pages again as typing pauses, in every document window.
    void setAsYouType(bool on);

private:
    void follow();
    void showResult();
    void activate(int row);

    frmMain &m_frame;
    checking::PageChecker &m_checker;
    checking::ProblemModel *m_model;
    QTableView *m_view;
    QTabWidget *m_tabs;
    QLabel *m_summary;
    QPointer<frmDocument> m_shown;
    QPointer<DocumentCheck> m_watched;
    QMetaObject::Connection m_watch;
    QMetaObject::Connection m_watchMoves;
    bool m_asYouType = false;
};

// Adds the dock and wires "Check Page", "Check As You Type" and "Check Site" to it.
void wireChecking(frmMain &frame);

} // namespace tw
