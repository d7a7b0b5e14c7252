#include "shell/SiteDock.h"

#include "browser/BrowserCommands.h"
#include "documents/DocumentFiles.h"
#include "documents/PageEvents.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"
#include "markup/ImageCommand.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/FileErrors.h"
#include "shell/frmMain.h"
#include "site/SiteFiles.h"
#include "site/SiteFolder.h"
#include "site/SiteTree.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <cerrno>
#include <sys/stat.h>

namespace tw {

namespace {

QString quoted(const QString &path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

// The folder's rows as the dock shows them: files that are not web files
// dimmed, icons by kind only (the system's icons for a file's type would
// read the start of every file listed to learn it, pipes and devices among
// them), and only pages and pictures dragged out.
class SiteModel final : public site::SiteTree {
public:
    using site::SiteTree::SiteTree;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::ForegroundRole && !isDir(index) && webKind(index) == site::WebKind::Other)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) {
            // Said on the folder's own row, with the reason at hand.
            if (const QString problem = readProblem(index); !problem.isEmpty()) {
                const QString name = site::SiteTree::data(index, Qt::DisplayRole).toString();
                if (role == Qt::DisplayRole)
                    return QStringLiteral("%1 (cannot be read)").arg(name);
                return QStringLiteral("The folder %1 cannot be read: %2").arg(quoted(name), problem);
            }
        }
        if (role == Qt::DecorationRole) {
            // Made once: the style decodes its pictures anew at each request.
            static const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
            static const QIcon file = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
            return isDir(index) ? folder : file;
        }
        return site::SiteTree::data(index, role);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = site::SiteTree::flags(index);
        const site::WebKind kind = webKind(index);
        if (isDir(index) || (kind != site::WebKind::Page && kind != site::WebKind::Picture))
            f &= ~Qt::ItemIsDragEnabled;
        return f;
    }
    QStringList mimeTypes() const override { return {siteFileMime()}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        if (indexes.isEmpty())
            return nullptr;
        auto *mime = new QMimeData;
        mime->setData(siteFileMime(), QFile::encodeName(filePath(indexes.first())));
        return mime;
    }
};

frmDocument *documentAt(frmMain &frame, const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    for (frmDocument *document : frame.documents()) {
        if (!document->isUntitled() && QDir::cleanPath(document->caption()) == clean)
            return document;
    }
    // Another spelling of the same file: a link, "..", a hard link.
    for (frmDocument *document : frame.documents()) {
        if (!document->isUntitled() && isSameFile(document->caption(), path))
            return document;
    }
    return nullptr;
}

void bringToFront(frmMain &frame, frmDocument *document)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(document->parentWidget()))
        frame.mdiArea->setActiveSubWindow(sub);
    document->textEdit->setFocus(Qt::OtherFocusReason);
}

} // namespace

SiteDock::SiteDock(frmMain &frame)
    : QDockWidget(QStringLiteral("Site"), &frame), m_frame(frame), m_model(new SiteModel(this)),
      m_view(new QTreeView), m_problem(new QLabel), m_check(new QPushButton(QStringLiteral("Check &Site"))),
      m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("dockSite"));

    m_view->setObjectName(QStringLiteral("treeSite"));
    m_view->setAccessibleName(QStringLiteral("Site"));
    m_view->setModel(m_model);
    m_view->setHeaderHidden(true);
    m_view->setUniformRowHeights(true);
    m_view->setExpandsOnDoubleClick(false); // activation opens and closes folders
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setDragEnabled(true);
    m_view->setDragDropMode(QAbstractItemView::DragOnly);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);

    m_problem->setObjectName(QStringLiteral("lblSiteProblem"));
    m_problem->setWordWrap(true);
    m_problem->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_problem->setFocusPolicy(Qt::StrongFocus);
    m_problem->hide();
    m_check->setObjectName(QStringLiteral("cmdCheckSite"));
    m_check->setEnabled(false);

    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_problem);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_check);
    setWidget(content);

    connect(m_view, &QAbstractItemView::activated, this, &SiteDock::activate);
    connect(m_check, &QPushButton::clicked, this, [this] {
        if (!m_folder.isEmpty())
            emit checkSiteRequested(m_folder);
    });
    connect(m_view, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        m_expanded.insert(QDir(m_folder).relativeFilePath(pathOf(index)));
        emit stateChanged();
    });
    connect(m_view, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        m_expanded.remove(QDir(m_folder).relativeFilePath(pathOf(index)));
        emit stateChanged();
    });
    // The folder itself renamed or deleted by another program.
    connect(m_model, &site::SiteTree::rootUnreadable, this, &SiteDock::recheckFolder);

    const auto item = [this](const char *name, const char *text, auto work) {
        QAction *action = m_menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, work] { (this->*work)(m_menuAt); });
        return action;
    };
    item("mnuSiteNewPage", "New Page", &SiteDock::newPage);
    item("mnuSiteNewFolder", "New Folder", &SiteDock::newFolder);
    m_menu->addSeparator();
    item("mnuSiteRename", "Rename", &SiteDock::rename);
    item("mnuSiteDelete", "Delete", &SiteDock::remove);
    m_menu->addSeparator();
    QAction *show = m_menu->addAction(QStringLiteral("Show Active Page"));
    show->setObjectName(QStringLiteral("mnuSiteShowActivePage"));
    connect(show, &QAction::triggered, this, &SiteDock::showActivePage);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (m_folder.isEmpty())
            return;
        m_menuAt = m_view->indexAt(at);
        const bool onFile = m_menuAt.isValid();
        for (QAction *action : m_menu->actions()) {
            if (action->objectName() == QLatin1String("mnuSiteRename")
                || action->objectName() == QLatin1String("mnuSiteDelete"))
                action->setEnabled(onFile);
        }
        m_menu->popup(m_view->viewport()->mapToGlobal(at));
    });
    // The menu key and Shift+F10 open it at the current row.
    auto *menuKey = new QAction(m_view);
    menuKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    menuKey->setShortcutContext(Qt::WidgetShortcut);
    m_view->addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] {
        const QRect row = m_view->visualRect(m_view->currentIndex());
        emit m_view->customContextMenuRequested(row.isValid() ? row.center() : QPoint(4, 4));
    });
}

SiteDock::~SiteDock()
{
    disconnect(m_model, nullptr, this, nullptr);
}

site::SiteTree *SiteDock::model() const
{
    return m_model;
}

QString SiteDock::folder() const
{
    return m_folder;
}

void SiteDock::setFolder(const QString &folder, const QStringList &expanded)
{
    m_folder = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
    m_expanded.clear();
    m_toExpand = expanded;
    SiteFolder::instance().setFolder(m_folder);
    setWindowTitle(QStringLiteral("Site"));
    if (!m_folder.isEmpty()) {
        m_model->setRootPath(m_folder);
        m_view->setRootIndex(QModelIndex());
        m_view->setCurrentIndex(QModelIndex());
    }
    recheckFolder();
    expandSaved();
    emit stateChanged();
}

void SiteDock::recheckFolder()
{
    const QString reason = m_folder.isEmpty() ? QString() : site::folderProblem(m_folder);
    const bool shown = !m_folder.isEmpty() && reason.isEmpty();
    if (m_folder.isEmpty())
        m_problem->setText(QStringLiteral("No folder is open. File, Open Folder... chooses one."));
    else
        m_problem->setText(QStringLiteral("The folder %1 cannot be shown: %2").arg(quoted(m_folder), reason));
    m_problem->setAccessibleName(m_problem->text());
    m_problem->setVisible(!shown);
    m_view->setVisible(shown);
    m_check->setEnabled(shown);
}

// The model makes a row for an existing path at once, before its folder is
// listed, and the tree keeps a row opened while its parent is closed.
void SiteDock::expandSaved()
{
    for (const QString &relative : std::as_const(m_toExpand)) {
        const QString path = QDir(m_folder).filePath(relative);
        if (site::liesIn(path, m_folder) && QFileInfo(path).isDir())
            m_view->expand(m_model->index(path));
    }
    m_toExpand.clear();
}

QStringList SiteDock::expandedFolders() const
{
    QStringList out(m_expanded.begin(), m_expanded.end());
    out.sort();
    return out;
}

QString SiteDock::pathOf(const QModelIndex &index) const
{
    return index.isValid() ? m_model->filePath(index) : m_folder;
}

QModelIndex SiteDock::indexOf(const QString &path) const
{
    return m_model->index(path);
}

void SiteDock::closeEvent(QCloseEvent *event)
{
    QDockWidget::closeEvent(event);
    emit closed();
}

void SiteDock::tell(const QString &text)
{
    m_frame.statusBar()->showMessage(text);
}

void SiteDock::activate(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (m_model->isDir(index)) {
        m_view->setExpanded(index, !m_view->isExpanded(index));
        return;
    }
    openFile(pathOf(index));
}

void SiteDock::openFile(const QString &path)
{
    if (frmDocument *open = documentAt(m_frame, path)) {
        bringToFront(m_frame, open);
        return;
    }
    // Only regular files: opening a pipe waits for a writer, a device may
    // never end.
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        tell(QStringLiteral("%1 cannot be opened: %2").arg(quoted(path), fileErrorReason(errno)));
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        tell(QStringLiteral("%1 is not a regular file; it is not opened.").arg(quoted(path)));
        return;
    }
    if (site::webKindOf(QFileInfo(path).fileName()) == site::WebKind::Page)
        openPage(m_frame, path, m_frame.openCount);
    else
        openBrowserWindow(m_frame, QUrl::fromLocalFile(path).toString());
}

void SiteDock::showActivePage()
{
    show();
    raise();
    frmDocument *document = m_frame.activeDocument();
    if (!document) {
        tell(QStringLiteral("No page is active."));
        return;
    }
    if (document->isUntitled()) {
        tell(QStringLiteral("The active page has not been saved yet."));
        return;
    }
    const QString path = document->caption();
    if (m_folder.isEmpty() || !site::liesIn(path, m_folder)) {
        tell(QStringLiteral("%1 does not lie in the site's folder.").arg(quoted(path)));
        return;
    }
    const QModelIndex index = m_model->index(path);
    if (!index.isValid()) {
        tell(QStringLiteral("%1 cannot be found in the site's folder.").arg(quoted(path)));
        return;
    }
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
    m_view->setFocus(Qt::OtherFocusReason);
}

QString SiteDock::folderFor(const QModelIndex &at) const
{
    if (!at.isValid())
        return m_folder;
    return m_model->isDir(at) ? pathOf(at) : QFileInfo(pathOf(at)).absolutePath();
}

// Asks for a name until one can be used or the user cancels: empty then.
static QString askName(Dialogs &dialogs, const QString &text, const QString &title)
{
    for (;;) {
        const QString name = dialogs.prompt(text, title);
        if (name.isEmpty())
            return QString();
        const QString problem = site::nameProblem(name);
        if (problem.isEmpty())
            return name;
        dialogs.message(QStringLiteral("\"%1\" cannot be used: %2").arg(name, problem), title, MessageKind::Warning);
    }
}

void SiteDock::newPage(const QModelIndex &at)
{
    Dialogs &dialogs = m_frame.dialogs();
    const QString title = QStringLiteral("New Page");
    QString name = askName(dialogs, QStringLiteral("Name of the new page:"), title);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + QLatin1String(kDefaultExtension);
    const QString path = QDir(folderFor(at)).filePath(name);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        dialogs.message(QStringLiteral("%1 is there already.").arg(quoted(path)), title, MessageKind::Warning);
        return;
    }
    QFile templ(besideProgram(QStringLiteral("Template.html")));
    if (!templ.copy(path)) {
        dialogs.message(QStringLiteral("Could not make %1: %2").arg(quoted(path), fileDeviceReason(templ)), title,
                        MessageKind::Critical);
        return;
    }
    // The copy keeps the template's own permissions, which an installed
    // one gives as read-only.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    openPage(m_frame, path, m_frame.openCount);
}

void SiteDock::newFolder(const QModelIndex &at)
{
    Dialogs &dialogs = m_frame.dialogs();
    const QString title = QStringLiteral("New Folder");
    const QString name = askName(dialogs, QStringLiteral("Name of the new folder:"), title);
    if (name.isEmpty())
        return;
    const QString path = QDir(folderFor(at)).filePath(name);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
        dialogs.message(QStringLiteral("Could not make %1: %2").arg(quoted(path), fileErrorReason(errno)), title,
                        MessageKind::Critical);
}

void SiteDock::rename(const QModelIndex &at)
{
    if (!at.isValid())
        return;
    Dialogs &dialogs = m_frame.dialogs();
    const QString title = QStringLiteral("Rename");
    const QString oldPath = pathOf(at);
    const QString name = askName(dialogs, QStringLiteral("New name for %1:").arg(quoted(QFileInfo(oldPath).fileName())),
                                 title);
    if (name.isEmpty() || name == QFileInfo(oldPath).fileName())
        return;
    const QString newPath = QDir(QFileInfo(oldPath).absolutePath()).filePath(name);
    // rename() would replace a file of that name without a word.
    if (QFileInfo::exists(newPath) || QFileInfo(newPath).isSymLink()) {
        dialogs.message(QStringLiteral("%1 is there already.").arg(quoted(newPath)), title, MessageKind::Warning);
        return;
    }
    if (::rename(QFile::encodeName(oldPath).constData(), QFile::encodeName(newPath).constData()) != 0) {
        dialogs.message(QStringLiteral("Could not rename %1: %2").arg(quoted(oldPath), fileErrorReason(errno)),
                        title, MessageKind::Critical);
        return;
    }
    // Open pages follow their files: the window takes the new name and
    // keeps its text, changed or not.
    for (frmDocument *document : m_frame.documents()) {
        if (document->isUntitled())
            continue;
        const QString moved = site::renamedPath(document->caption(), oldPath, newPath);
        if (moved.isEmpty())
            continue;
        document->setCaption(moved);
        emit PageEvents::instance().pageRead(document, moved);
    }
    // Open subfolders of a renamed folder stay open under the new name.
    const QString oldRelative = QDir(m_folder).relativeFilePath(oldPath);
    const QString newRelative = QDir(m_folder).relativeFilePath(newPath);
    for (const QString &relative : QStringList(m_expanded.begin(), m_expanded.end())) {
        const QString moved = site::renamedPath(relative, oldRelative, newRelative);
        if (moved.isEmpty())
            continue;
        m_expanded.remove(relative);
        m_toExpand << moved;
    }
    expandSaved();
    emit stateChanged();
}

void SiteDock::remove(const QModelIndex &at)
{
    if (!at.isValid())
        return;
    Dialogs &dialogs = m_frame.dialogs();
    const QString title = QStringLiteral("Delete");
    const QString path = pathOf(at);
    if (!dialogs.askYesNoDefaultNo(QStringLiteral("Do you want to delete %1? It goes to the trash.").arg(quoted(path)),
                                   title))
        return;
    // Windows of pages inside close first, each asking about unsaved text;
    // one kept open keeps the file too.
    for (frmDocument *document : m_frame.documents()) {
        if (document->isUntitled() || !site::liesIn(document->caption(), path))
            continue;
        QPointer<frmDocument> open = document;
        document->closeWindow();
        if (open && open->isVisible())
            return;
    }
    // The home trash lies in the user's data folder; Qt puts a trash in the
    // working folder instead when that folder does not exist yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (file.moveToTrash())
        return;
    const bool isFolder = QFileInfo(path).isDir() && !QFileInfo(path).isSymLink();
    if (!isFolder && file.remove())
        return;
    dialogs.message(QStringLiteral("Could not delete %1: %2").arg(quoted(path), fileDeviceReason(file)), title,
                    MessageKind::Critical);
}

} // namespace tw
