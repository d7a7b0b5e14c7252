#include "shell/ProblemsDock.h"

#include "checking/PageChecker.h"
#include "checking/ProblemModel.h"
#include "documents/DocumentCheck.h"
#include "documents/TidyUpPage.h"
#include "editor/EditorSettings.h"
#include "documents/frmDocument.h"
#include "shell/CommandActions.h"
#include "shell/SiteCheckPanel.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace tw {

namespace {

DocumentCheck *checkOf(frmDocument *document, checking::PageChecker &checker)
{
    if (!document)
        return nullptr;
    if (DocumentCheck *check = DocumentCheck::of(document))
        return check;
    return new DocumentCheck(document, checker);
}

} // namespace

ProblemsDock::ProblemsDock(frmMain &frame, checking::PageChecker &checker)
    : QDockWidget(QStringLiteral("Problems"), &frame), m_frame(frame), m_checker(checker),
      m_model(new checking::ProblemModel(this)), m_view(new QTableView(this)), m_tabs(new QTabWidget(this)), m_summary(new QLabel)
{
    setObjectName(QStringLiteral("dockProblems"));
    m_view->setObjectName(QStringLiteral("lstProblems"));
    m_view->setAccessibleName(QStringLiteral("Problems"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The active page's check, and the site's once one has run.
    m_tabs->setObjectName(QStringLiteral("tabProblems"));
    m_tabs->addTab(m_view, QStringLiteral("Page"));
    m_tabs->tabBar()->hide();
    setWidget(m_tabs);
    connect(m_view, &QAbstractItemView::activated, this, [this](const QModelIndex &index) { activate(index.row()); });

    m_summary->setObjectName(QStringLiteral("statusProblems"));
    m_summary->hide();
    frame.statusBar()->addPermanentWidget(m_summary);
    // The frame as receiver: it cuts its windows' signals before it is torn down.
    connect(frame.mdiArea, &QMdiArea::subWindowActivated, &frame, [this] { follow(); });
}

void ProblemsDock::showSite(QWidget *panel)
{
    if (m_tabs->indexOf(panel) < 0)
        m_tabs->addTab(panel, QStringLiteral("Site"));
    m_tabs->tabBar()->show();
    m_tabs->setCurrentWidget(panel);
    show();
    raise();
}

void ProblemsDock::checkActive()
{
    DocumentCheck *check = checkOf(m_frame.activeDocument(), m_checker);
    if (!check)
        return;
    follow();
    m_tabs->setCurrentWidget(m_view);
    show();
    raise();
    check->checkNow();
}

void ProblemsDock::setAsYouType(bool on)
{
    const bool turnedOn = on && !m_asYouType;
    m_asYouType = on;
    for (frmDocument *document : m_frame.documents())
        if (DocumentCheck *check = DocumentCheck::of(document))
            check->setAsYouType(on);
    follow();
    // The page in front is checked at once, the others as they come to front.
    if (turnedOn)
        if (DocumentCheck *check = DocumentCheck::of(m_frame.activeDocument()))
            check->checkNow();
}

// Shows the active document's check, and keeps watching it.
void ProblemsDock::follow()
{
    frmDocument *document = m_frame.activeDocument();
    if (!document) {
        m_summary->hide();
        return; // a browser window or none: the last page's rows stay
    }
    DocumentCheck *check = DocumentCheck::of(document);
    if (!check && m_asYouType)
        check = checkOf(document, m_checker);
    if (check && check->asYouType() != m_asYouType)
        check->setAsYouType(m_asYouType);
    const bool otherPage = document != m_shown;
    m_shown = document;
    if (check != m_watched) {
        disconnect(m_watch);
        disconnect(m_watchMoves);
        m_watched = check;
        if (check) {
            m_watch = connect(check, &DocumentCheck::checked, this, &ProblemsDock::showResult);
            m_watchMoves = connect(check, &DocumentCheck::moved, m_model, &checking::ProblemModel::placesMoved);
        }
    }
    if (otherPage && check && m_asYouType && !check->hasResult() && !check->busy())
        check->checkNow();
    showResult();
}

void ProblemsDock::showResult()
{
    DocumentCheck *check = m_shown ? DocumentCheck::of(m_shown) : nullptr;
    const bool has = check && check->hasResult();
    // The rows show where each problem lies now; those of a window closed
    // since keep tidy's places.
    m_model->setProblems(has ? check->problems() : QList<checking::Problem>(),
                         [check = QPointer<DocumentCheck>(check)](int row, checking::TidyPlace &place) {
                             return !check || check->placeNow(row, place);
                         });
    m_summary->setText(has ? checking::problemSummary(check->problems()) : QString());
    m_summary->setAccessibleName(m_summary->text());
    m_summary->setVisible(has);
}

void ProblemsDock::activate(int row)
{
    DocumentCheck *check = m_shown ? DocumentCheck::of(m_shown) : nullptr;
    if (!check)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_shown->parentWidget()))
        m_frame.mdiArea->setActiveSubWindow(sub);
    check->goTo(row);
}

void wireChecking(frmMain &frame)
{
    CommandActions &a = frame.commands();
    auto *checker = new checking::PageChecker(&frame);
    auto *dock = new ProblemsDock(frame, *checker);
    frame.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    QObject::connect(a.checkPage, &QAction::triggered, dock, &ProblemsDock::checkActive);
    // A page Tidy Up leaves as it is for its errors shows them in the list.
    QObject::connect(a.tidyUp, &QAction::triggered, dock, [&frame, dock] {
        if (frmDocument *document = frame.activeDocument())
            tidyUpPage(document, [dock](frmDocument *) { dock->checkActive(); });
    });
    wireSiteCheck(frame, *dock);
    a.checkAsYouType->setChecked(editorSettings::checkAsYouType());
    dock->setAsYouType(a.checkAsYouType->isChecked());
    QObject::connect(a.checkAsYouType, &QAction::toggled, dock, [dock](bool on) {
        editorSettings::setCheckAsYouType(on);
        dock->setAsYouType(on);
    });
}

} // namespace tw
