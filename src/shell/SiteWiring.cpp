#include "shell/SiteWiring.h"

#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"
#include "markup/ImageCommand.h"
#include "markup/LinkCommand.h"
#include "platform/Dialogs.h"
#include "shell/CommandActions.h"
#include "shell/FrameMenus.h"
#include "shell/SiteDock.h"
#include "shell/frmMain.h"
#include "site/SiteFiles.h"
#include "site/SiteFolder.h"
#include "site/SiteState.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>

#include <memory>

namespace tw {

namespace {

// Takes files of the site dropped into a page's editor: the tag goes where
// the drop lands, as one undo step. Anything else dropped is left alone.
class SiteDrops final : public QObject {
public:
    explicit SiteDrops(frmMain &frame) : QObject(&frame), m_frame(frame) { qApp->installEventFilter(this); }
    ~SiteDrops() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto *drop = static_cast<QDropEvent *>(event);
        if (!drop->mimeData() || !drop->mimeData()->hasFormat(siteFileMime()) || !watched->isWidgetType())
            return false;
        auto *editor = qobject_cast<SourceEditor *>(static_cast<QWidget *>(watched)->parentWidget());
        if (!editor || editor->viewport() != watched || editor->window() != &m_frame)
            return false;
        auto *document = qobject_cast<frmDocument *>(editor->parentWidget());
        if (!document)
            return false;
        const QString file = QFile::decodeName(drop->mimeData()->data(siteFileMime()));
        const QString page = document->isUntitled() ? QString() : document->caption();
        const QString text = siteDropText(page, SiteFolder::instance().folder(), file);
        if (text.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop)
            insertAt(document, editor, drop->position().toPoint(), text);
        return true;
    }

private:
    void insertAt(frmDocument *document, SourceEditor *editor, QPoint at, const QString &text)
    {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(document->parentWidget()))
            m_frame.mdiArea->setActiveSubWindow(sub);
        const long position = editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINT,
                                                    static_cast<unsigned long>(at.x()), static_cast<long>(at.y()));
        editor->beginUndoAction();
        editor->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(position));
        editor->replaceSelectionExact(text);
        editor->endUndoAction();
        editor->setFocus(Qt::OtherFocusReason);
    }

    frmMain &m_frame;
};

} // namespace

QString siteDropText(const QString &pagePath, const QString &siteFolder, const QString &file)
{
    const site::WebKind kind = site::webKindOf(QFileInfo(file).fileName());
    if (kind != site::WebKind::Picture && kind != site::WebKind::Page)
        return QString();
    const QString from = pagePath.isEmpty() ? QDir(siteFolder).filePath(QStringLiteral("page.htm")) : pagePath;
    const QString address = site::relativeAddress(from, file);
    if (kind == site::WebKind::Picture)
        return imageTag(address, QString());
    return linkText(address, QFileInfo(file).fileName());
}

namespace {

Qt::DockWidgetArea areaOf(site::SiteState::Edge edge)
{
    switch (edge) {
    case site::SiteState::Edge::Right:
        return Qt::RightDockWidgetArea;
    case site::SiteState::Edge::Top:
        return Qt::TopDockWidgetArea;
    case site::SiteState::Edge::Bottom:
        return Qt::BottomDockWidgetArea;
    case site::SiteState::Edge::Left:
        break;
    }
    return Qt::LeftDockWidgetArea;
}

site::SiteState::Edge edgeOf(Qt::DockWidgetArea area)
{
    switch (area) {
    case Qt::RightDockWidgetArea:
        return site::SiteState::Edge::Right;
    case Qt::TopDockWidgetArea:
        return site::SiteState::Edge::Top;
    case Qt::BottomDockWidgetArea:
        return site::SiteState::Edge::Bottom;
    default:
        return site::SiteState::Edge::Left;
    }
}

} // namespace

void wireSite(frmMain &frame)
{
    CommandActions &a = frame.commands();
    FrameMenus &menus = frame.menus();
    auto *openFolder = new QAction(QStringLiteral("Open &Folder..."), &a);
    openFolder->setObjectName(QStringLiteral("mnuFileOpenFolder"));
    openFolder->setToolTip(QStringLiteral("Show a folder of pages in the Site dock"));
    auto *viewSite = new QAction(QStringLiteral("&Site"), &a);
    viewSite->setObjectName(QStringLiteral("mnuViewSite"));
    viewSite->setCheckable(true);
    viewSite->setToolTip(QStringLiteral("Show the site's folder beside the pages"));
    auto *showActive = new QAction(QStringLiteral("Show Active Page"), &a);
    showActive->setObjectName(QStringLiteral("mnuViewShowActivePage"));
    showActive->setToolTip(QStringLiteral("Select the active page in the Site dock"));

    // After Open in both File menus; Site after Web Browser in both View menus.
    const auto after = [](QMenu *menu, const char *name, QAction *item) {
        const QList<QAction *> items = menu->actions();
        for (int i = 0; i < items.size(); ++i) {
            if (items[i]->objectName() == QLatin1String(name)) {
                menu->insertAction(i + 1 < items.size() ? items[i + 1] : nullptr, item);
                return;
            }
        }
        menu->addAction(item);
    };
    after(menus.mnuFile, "mnuFileOpen", CommandActions::itemFor(openFolder, &frame));
    after(menus.documentFile, "mnuFileOpen", openFolder);
    after(menus.mnuView, "mnuViewBrowser", CommandActions::itemFor(viewSite, &frame));
    after(menus.documentView, "mnuViewBrowser", viewSite);
    after(menus.documentView, "mnuViewSite", showActive);

    const site::SiteState saved = site::loadSiteState();
    auto dock = std::make_shared<QPointer<SiteDock>>();
    const auto save = [&frame, dock, viewSite] {
        if (!*dock)
            return;
        site::SiteState state;
        state.folder = (*dock)->folder();
        state.expanded = (*dock)->expandedFolders();
        state.shown = viewSite->isChecked();
        state.edge = edgeOf(frame.dockWidgetArea(*dock));
        site::saveSiteState(state);
    };
    const auto made = [&frame, dock, viewSite, save, edge = saved.edge]() -> SiteDock * {
        if (!*dock) {
            auto *d = new SiteDock(frame);
            frame.addDockWidget(areaOf(edge), d);
            frame.resizeDocks({d}, {qMax(frame.width() / 5, 200)}, Qt::Horizontal);
            QObject::connect(d, &SiteDock::closed, viewSite, [viewSite] { viewSite->setChecked(false); });
            QObject::connect(d, &SiteDock::stateChanged, d, save);
            QObject::connect(d, &QDockWidget::dockLocationChanged, d, save);
            // The dock's button checks the folder it shows, which is the
            // site's folder the command checks.
            QObject::connect(d, &SiteDock::checkSiteRequested, &frame,
                             [&frame] { frame.commands().checkSite->trigger(); });
            new SiteDrops(frame);
            *dock = d;
        }
        return *dock;
    };
    QObject::connect(viewSite, &QAction::toggled, &frame, [made, dock, save](bool on) {
        if (on)
            made()->show();
        else if (*dock)
            (*dock)->hide();
        save();
    });
    QObject::connect(openFolder, &QAction::triggered, &frame, [&frame, made, viewSite] {
        const QString folder = frame.dialogs().chooseFolder(QStringLiteral("Open Folder"));
        if (folder.isEmpty())
            return;
        made()->setFolder(folder);
        viewSite->setChecked(true);
        made()->raise();
    });
    QObject::connect(showActive, &QAction::triggered, &frame, [made, viewSite] {
        viewSite->setChecked(true);
        made()->showActivePage();
    });

    if (!saved.folder.isEmpty() || saved.shown) {
        made()->setFolder(saved.folder, saved.expanded);
        viewSite->setChecked(saved.shown);
        if (!saved.shown)
            (*dock)->hide();
    }
}

} // namespace tw
