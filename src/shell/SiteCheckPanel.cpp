#include "shell/SiteCheckPanel.h"

#include "documents/DocumentFiles.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"
#include "platform/AppPaths.h"
#include "shell/CommandActions.h"
#include "shell/ProblemsDock.h"
#include "shell/frmMain.h"
#include "sitecheck/SiteCheckRun.h"
#include "sitecheck/SiteProblemModel.h"
#include "site/SiteFolder.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tw {

SiteCheckPanel::SiteCheckPanel(frmMain &frame, ProblemsDock &dock)
    : QWidget(&dock), m_frame(frame), m_dock(dock), m_run(new sitecheck::SiteCheckRun(this)),
      m_model(new sitecheck::SiteProblemModel(this)), m_view(new QTreeView(this)), m_summary(new QLabel(this)),
      m_progress(new QProgressBar(this)), m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("pnlSiteCheck"));
    m_view->setObjectName(QStringLiteral("lstSiteProblems"));
    m_view->setAccessibleName(QStringLiteral("Site problems"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setUniformRowHeights(true);
    m_view->header()->setStretchLastSection(true);
    m_summary->setObjectName(QStringLiteral("lblSiteSummary"));
    m_progress->setObjectName(QStringLiteral("prgSiteCheck"));
    m_progress->setAccessibleName(QStringLiteral("Site check progress"));
    m_cancel->setObjectName(QStringLiteral("cmdSiteCancel"));
    m_progress->hide();
    m_cancel->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_progress);
    top->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(m_view);

    connect(m_cancel, &QPushButton::clicked, m_run, &sitecheck::SiteCheckRun::cancel);
    connect(m_run, &sitecheck::SiteCheckRun::progress, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(m_run, &sitecheck::SiteCheckRun::finished, this, &SiteCheckPanel::showReport);
    connect(m_view, &QAbstractItemView::activated, this, &SiteCheckPanel::activate);
}

QString SiteCheckPanel::defaultFolder() const
{
    // The site's folder when one is open, else the active page's folder.
    const QString site = SiteFolder::instance().folder();
    if (!site.isEmpty())
        return site;
    frmDocument *document = m_frame.activeDocument();
    if (document && !document->isUntitled())
        return QFileInfo(document->caption()).absolutePath();
    return startDir();
}

void SiteCheckPanel::checkSite(const QString &folder)
{
    m_dock.showSite(this);
    if (m_run->busy())
        return;
    // The open pages' text is taken here, on the window's thread.
    QHash<QString, QByteArray> open;
    for (frmDocument *document : m_frame.documents())
        if (!document->isUntitled())
            open.insert(QFileInfo(document->caption()).absoluteFilePath(), document->textEdit->documentBytes());
    m_summary->setText(QStringLiteral("Checking %1...").arg(folder));
    m_progress->setRange(0, 0);
    m_progress->show();
    m_cancel->show();
    m_run->start(folder, open);
}

void SiteCheckPanel::showReport(const sitecheck::SiteReport &report)
{
    m_progress->hide();
    m_cancel->hide();
    m_model->setReport(report);
    m_view->expandAll();
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_view->setFirstColumnSpanned(row, {}, true);
    m_summary->setText(sitecheck::reportSummary(report));
    m_summary->setAccessibleName(m_summary->text());
    emit siteChecked();
}

void SiteCheckPanel::activate(const QModelIndex &index)
{
    const QString path = QFile::decodeName(m_model->filePath(index));
    const QFileInfo target(path);
    if (!target.isFile())
        return;
    const sitecheck::Finding *finding = m_model->finding(index);
    // A page already open comes to front, never as a second copy.
    frmDocument *document = nullptr;
    for (frmDocument *open : m_frame.documents())
        if (!open->isUntitled() && QFileInfo(open->caption()) == target)
            document = open;
    if (document) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(document->parentWidget()))
            m_frame.mdiArea->setActiveSubWindow(sub);
    } else {
        const QString suffix = target.suffix().toLower();
        if (suffix != QLatin1String("htm") && suffix != QLatin1String("html") && suffix != QLatin1String("xhtml")
            && suffix != QLatin1String("css"))
            return;
        document = openPage(m_frame, target.absoluteFilePath(), m_frame.openCount);
        if (!document)
            return;
    }
    SourceEditor *editor = document->textEdit;
    if (finding && finding->offset >= 0) {
        const qint64 at = qBound<qint64>(0, finding->offset, editor->documentLength());
        editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(at));
    }
    editor->setFocus(Qt::OtherFocusReason);
}

SiteCheckPanel *wireSiteCheck(frmMain &frame, ProblemsDock &dock)
{
    auto *panel = new SiteCheckPanel(frame, dock);
    QObject::connect(frame.commands().checkSite, &QAction::triggered, panel,
                     [panel] { panel->checkSite(panel->defaultFolder()); });
    return panel;
}

} // namespace tw
