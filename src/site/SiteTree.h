#pragma once

#include "site/NameOrder.h"
#include "site/SiteFiles.h"

#include <QAbstractItemModel>
#include <QFileSystemWatcher>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <vector>

namespace tw::site {

// The site's folder as a tree: folders first, then files, each by name as
// people read numbers and letters ("page 2" before "page 10", case aside).
// Hidden files are left out. A folder is listed when the view first asks
// for its rows, on a thread of its own: reading and ordering a folder of
// 100,000 files never holds the window up, and its rows then come in
// pieces, one piece an event-loop turn. Listed folders are watched through
// the system's notifications (never polled) and listed again when they
// change; only the differences reach the view.
//
// The folder itself is the root: the invalid index stands for it.
class SiteTree : public QAbstractItemModel {
    Q_OBJECT
public:
    // At most this many rows come into the view in one event-loop turn.
    static constexpr int kRowsATurn = 2000;

    explicit SiteTree(QObject *parent = nullptr);
    ~SiteTree() override;

    // Shows the folder (an absolute path); an empty one shows nothing.
    void setRootPath(const QString &folder);

    // The row of an existing file or folder under the root, made at once
    // (with rows for the folders on its way) when its folder is not listed
    // yet; invalid for the root itself and for what does not exist.
    QModelIndex index(const QString &path);
    QString filePath(const QModelIndex &index) const;
    bool isDir(const QModelIndex &index) const;
    // The kind of a file by its name (Other for folders), known from the
    // listing: the view asks for every row's at each layout.
    WebKind webKind(const QModelIndex &index) const;
    // Whether the folder's rows are complete and in order.
    bool isListed(const QModelIndex &folder) const;
    // Why the folder's last listing failed (it is gone, or may not be
    // read), as a sentence's end; empty while it can be read. It shows no
    // rows then.
    QString readProblem(const QModelIndex &folder) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The root folder could not be listed (gone, or unreadable).
    void rootUnreadable();

private:
    struct Entry;
    struct Node;
    struct Listing;

    Node *nodeOf(const QModelIndex &index) const;
    QModelIndex indexOf(Node *node) const;
    QString pathOf(const Node *node) const;
    QString relativeOf(const Node *node) const; // from the root, "" for the root itself
    static Node *childNamed(const Node *folder, const QString &name);
    Node *nodeAt(const QString &relative) const;
    // The folder a listing was asked for, if it is still there.
    Node *folderAt(const QString &relative, quint64 generation) const;
    void list(Node *folder);
    void listed(const QString &relative, quint64 generation, const QString &problem, std::vector<Entry> entries);
    void firstRows(const QString &relative, quint64 generation, std::vector<Entry> entries);
    void mergeSome(Node *folder);
    void scheduleMerge(Node *folder);
    void forget(Node *node);
    static bool less(const NameOrder &order, const Entry &a, const Entry &b);
    bool less(const Entry &a, const Entry &b) const;
    static bool readFolder(const QString &path, std::vector<Entry> &out,
                           const std::function<void(std::vector<Entry>)> &first);

    QString m_rootPath;
    std::unique_ptr<Node> m_root;
    quint64 m_generation = 0; // a new root drops the listings of the old one
    QFileSystemWatcher m_watcher;
    QThreadPool m_pool;
    // Made when first needed: its language's data loads then, not while
    // the window waits for a folder to be shown.
    mutable std::unique_ptr<NameOrder> m_order;
    const NameOrder &order() const;
};

} // namespace tw::site
