#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace tw {

class frmMain;
class ProblemsDock;
namespace sitecheck {
class SiteCheckRun;
class SiteProblemModel;
struct SiteReport;
} // namespace sitecheck

// The "Site" page of the Problems dock: a site check's progress with
// "Cancel", its summary, and its findings grouped by file. Activating a
// finding opens its page (or brings its window to front) at the place.
class SiteCheckPanel : public QWidget {
    Q_OBJECT
public:
    SiteCheckPanel(frmMain &frame, ProblemsDock &dock);

    QTreeView *view() const { return m_view; }
    QLabel *summary() const { return m_summary; }
    sitecheck::SiteProblemModel *model() const { return m_model; }
    sitecheck::SiteCheckRun *run() const { return m_run; }

public slots:
    // Checks every page of this folder, in the unsaved text of those open.
    void checkSite(const QString &folder);

public:
    // The folder "Check Site" takes: the active page's, else the start folder.
    QString defaultFolder() const;

signals:
    void siteChecked();

private:
    void showReport(const sitecheck::SiteReport &report);
    void activate(const QModelIndex &index);

    frmMain &m_frame;
    ProblemsDock &m_dock;
    sitecheck::SiteCheckRun *m_run;
    sitecheck::SiteProblemModel *m_model;
    QTreeView *m_view;
    QLabel *m_summary;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};

// Adds the panel to the dock and wires "Check Site" to it.
SiteCheckPanel *wireSiteCheck(frmMain &frame, ProblemsDock &dock);

} // namespace tw
