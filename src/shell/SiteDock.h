#pragma once

#include <QDockWidget>
#include <QPersistentModelIndex>
#include <QSet>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeView;

namespace tw {

namespace site {
class SiteTree;
}
class frmMain;

// What a file dragged out of the dock carries: its path's bytes, under this
// type. Not a list of file addresses, which the frame would take as files
// to open.
inline QString siteFileMime()
{
    return QStringLiteral("application/x-tagwright-site-file");
}

// The frame's "Site" dock: the site's folder as a tree, folders first then
// files, by name; web files plain and others dimmed. Activating a page opens
// it (or brings its window to the front), any other file opens in a browser
// window. Its context menu makes pages and folders, renames and deletes.
// A folder it cannot show is said in the dock instead of the tree.
class SiteDock : public QDockWidget {
    Q_OBJECT
public:
    explicit SiteDock(frmMain &frame);
    ~SiteDock() override;

    // The folder shown (and SiteFolder's), empty while none is.
    QString folder() const;
    // Shows this folder; one that cannot be read is said in the dock. The
    // subfolders named (relative to it) are opened as they are listed.
    void setFolder(const QString &folder, const QStringList &expanded = {});
    // Opened subfolders, relative to the folder.
    QStringList expandedFolders() const;

    QTreeView *view() const { return m_view; }
    site::SiteTree *model() const;
    QLabel *problem() const { return m_problem; }
    QPushButton *checkButton() const { return m_check; }

    // The path of a row, and the row of a path (invalid when not listed).
    QString pathOf(const QModelIndex &index) const;
    QModelIndex indexOf(const QString &path) const;

    // What activating a file does: a page opens in a document window, or
    // its window comes to the front; another file opens in a browser window.
    void openFile(const QString &path);
    // Selects the active page's file in the tree.
    void showActivePage();
    // The context menu's commands on the file or folder of a row (the
    // folder itself for an invalid one).
    void newPage(const QModelIndex &at);
    void newFolder(const QModelIndex &at);
    void rename(const QModelIndex &at);
    void remove(const QModelIndex &at);

    // The context menu, built once.
    QMenu *contextMenu() const { return m_menu; }

signals:
    // "Check Site" was pressed while this folder was shown.
    void checkSiteRequested(const QString &folder);
    // The user closed the dock.
    void closed();
    // The folder or its open subfolders changed (for the saved state).
    void stateChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void activate(const QModelIndex &index);
    void recheckFolder();
    void expandSaved();
    QString folderFor(const QModelIndex &at) const;
    void tell(const QString &text);

    frmMain &m_frame;
    site::SiteTree *m_model;
    QTreeView *m_view;
    QLabel *m_problem;
    QPushButton *m_check;
    QMenu *m_menu;
    QString m_folder;
    QStringList m_toExpand;
    QSet<QString> m_expanded;
    QPersistentModelIndex m_menuAt;
};

} // namespace tw
