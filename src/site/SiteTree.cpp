#include "site/SiteTree.h"

#include "platform/ThreadPriority.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>

#include <dirent.h>
#include <sys/stat.h>

namespace tw::site {

namespace {

constexpr size_t kClean = std::numeric_limits<size_t>::max();

} // namespace

// A name in a folder with what orders it.
struct SiteTree::Entry {
    QString name;
    bool dir = false;
    NameKey key; // empty for the root, which is never ordered
    WebKind kind = WebKind::Other; // set when its row is made
};

struct SiteTree::Node {
    Node(Entry e, Node *up) : entry(std::move(e)), parent(up)
    {
        entry.kind = entry.dir ? WebKind::Other : webKindOf(entry.name);
    }
    Entry entry;
    Node *parent;
    std::vector<std::unique_ptr<Node>> children;
    size_t row = 0;
    size_t dirtyFrom = kClean; // children's rows are stale from here on
    bool listed = false;   // the rows are the folder's whole listing
    bool listing = false;  // a listing is being read
    bool again = false;    // the folder changed while it was read
    bool watched = false;
    QString problem; // why the last listing failed
    // A listing being merged into the rows, some at a time.
    std::vector<Entry> incoming;
    size_t keptUpTo = 0;   // rows before this match incoming[0, takenUpTo)
    size_t takenUpTo = 0;
    quint64 changes = 0;   // changes to the rows made outside the merge
    quint64 mergedAt = 0;  // `changes` when the merge last stopped
    bool merging = false;
    bool mergeScheduled = false;
};

// Folders first, then names by their keys, and names that differ only in
// case by their characters. The names of one listing share a kind of key,
// but rows kept from an earlier listing or made for a path may have the
// other kind: where two kinds meet, the collator's keys decide, and they
// order names that have quick keys as those do.
bool SiteTree::less(const NameOrder &order, const Entry &a, const Entry &b)
{
    if (a.dir != b.dir)
        return a.dir;
    const int c = a.key.isQuick() == b.key.isQuick() ? a.key.compare(b.key)
                                                      : order.fullKey(a.name).compare(order.fullKey(b.name));
    if (c)
        return c < 0;
    return a.name < b.name;
}

bool SiteTree::less(const Entry &a, const Entry &b) const
{
    return less(order(), a, b);
}

const NameOrder &SiteTree::order() const
{
    if (!m_order)
        m_order = std::make_unique<NameOrder>();
    return *m_order;
}

// Reads a folder's names, off the window's thread: the order needs each
// name's key, which is the costly part. Symbolic links count as what they
// lead to; one that leads nowhere is a file. The first rows in order go to
// `first` before the rest is put in order, so that a large folder shows its
// top sooner.
bool SiteTree::readFolder(const QString &path, std::vector<Entry> &out,
                          const std::function<void(std::vector<Entry>)> &first)
{
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return false;
    const NameOrder order;
    bool quick = true;
    while (dirent *e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue; // ".", ".." and hidden files
        bool isDir = e->d_type == DT_DIR;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st;
            isDir = ::fstatat(::dirfd(dir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        // Decoded as QFile::decodeName does here (as UTF-8), at a third of
        // its cost.
        QString name = QString::fromUtf8(e->d_name);
        quick = quick && order.hasQuickKey(name);
        out.push_back({std::move(name), isDir, {}});
    }
    ::closedir(dir);
    // One kind of key for the whole folder, so that the sort never needs
    // the collator for a pair of names.
    for (Entry &entry : out)
        entry.key = quick ? order.quickKey(entry.name) : order.fullKey(entry.name);
    const auto inOrder = [&](const Entry &a, const Entry &b) { return less(order, a, b); };
    if (out.size() > size_t(kRowsATurn)) {
        const auto cut = out.begin() + kRowsATurn;
        std::nth_element(out.begin(), cut, out.end(), inOrder);
        std::sort(out.begin(), cut, inOrder);
        first(std::vector<Entry>(out.begin(), cut));
        std::sort(cut, out.end(), inOrder);
    } else {
        std::sort(out.begin(), out.end(), inOrder);
    }
    return true;
}

SiteTree::SiteTree(QObject *parent) : QAbstractItemModel(parent)
{
    m_pool.setMaxThreadCount(2);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &path) {
        if (!m_root)
            return;
        const QString relative = path == m_rootPath ? QString() : QDir(m_rootPath).relativeFilePath(path);
        if (Node *node = folderAt(relative, m_generation); node && (node->listed || node->listing))
            list(node);
    });
}

SiteTree::~SiteTree()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void SiteTree::setRootPath(const QString &folder)
{
    beginResetModel();
    ++m_generation;
    const QStringList watched = m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    m_root.reset();
    m_rootPath = folder;
    if (!folder.isEmpty())
        m_root = std::make_unique<Node>(Entry{folder, true, {}}, nullptr);
    endResetModel();
    if (m_root)
        list(m_root.get());
}

SiteTree::Node *SiteTree::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex SiteTree::indexOf(Node *node) const
{
    if (!node || node == m_root.get())
        return {};
    Node *up = node->parent;
    if (up->dirtyFrom != kClean) {
        for (size_t i = up->dirtyFrom; i < up->children.size(); ++i)
            up->children[i]->row = i;
        up->dirtyFrom = kClean;
    }
    return createIndex(int(node->row), 0, node);
}

QString SiteTree::pathOf(const Node *node) const
{
    QStringList names;
    for (; node && node != m_root.get(); node = node->parent)
        names.prepend(node->entry.name);
    names.prepend(m_rootPath);
    return names.join(QLatin1Char('/'));
}

QString SiteTree::relativeOf(const Node *node) const
{
    return node == m_root.get() ? QString() : pathOf(node).mid(m_rootPath.size() + 1);
}

SiteTree::Node *SiteTree::childNamed(const Node *folder, const QString &name)
{
    const auto found = std::find_if(folder->children.begin(), folder->children.end(),
                                    [&](const auto &child) { return child->entry.name == name; });
    return found == folder->children.end() ? nullptr : found->get();
}

SiteTree::Node *SiteTree::nodeAt(const QString &relative) const
{
    Node *node = m_root.get();
    for (const QString &part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!node)
            return nullptr;
        node = childNamed(node, part);
    }
    return node;
}

SiteTree::Node *SiteTree::folderAt(const QString &relative, quint64 generation) const
{
    Node *node = generation == m_generation ? nodeAt(relative) : nullptr;
    return node && node->entry.dir ? node : nullptr;
}

QModelIndex SiteTree::index(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    if (!m_root || !clean.startsWith(m_rootPath + QLatin1Char('/')))
        return {};
    Node *node = m_root.get();
    QString at = m_rootPath;
    for (const QString &part : clean.mid(m_rootPath.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        at += QLatin1Char('/') + part;
        if (Node *child = childNamed(node, part)) {
            node = child;
            continue;
        }
        struct stat st;
        if (!node->entry.dir || part.startsWith(QLatin1Char('.'))
            || ::stat(QFile::encodeName(at).constData(), &st) != 0)
            return {};
        Entry entry{part, S_ISDIR(st.st_mode), order().key(part)};
        const auto place = std::lower_bound(node->children.begin(), node->children.end(), entry,
                                            [this](const std::unique_ptr<Node> &child, const Entry &e) { return less(child->entry, e); });
        const size_t row = size_t(place - node->children.begin());
        beginInsertRows(indexOf(node), int(row), int(row));
        node->children.insert(place, std::make_unique<Node>(std::move(entry), node));
        node->dirtyFrom = std::min(node->dirtyFrom, row);
        ++node->changes;
        endInsertRows();
        node = node->children[row].get();
    }
    return indexOf(node);
}

QString SiteTree::filePath(const QModelIndex &index) const
{
    return pathOf(nodeOf(index));
}

bool SiteTree::isDir(const QModelIndex &index) const
{
    const Node *node = nodeOf(index);
    return node && node->entry.dir;
}

WebKind SiteTree::webKind(const QModelIndex &index) const
{
    const Node *node = index.isValid() ? nodeOf(index) : nullptr;
    return node ? node->entry.kind : WebKind::Other;
}

bool SiteTree::isListed(const QModelIndex &folder) const
{
    const Node *node = nodeOf(folder);
    return node && node->listed && !node->merging;
}

QString SiteTree::readProblem(const QModelIndex &folder) const
{
    const Node *node = nodeOf(folder);
    return node ? node->problem : QString();
}

QModelIndex SiteTree::index(int row, int column, const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    if (!node || column != 0 || row < 0 || size_t(row) >= node->children.size())
        return {};
    return createIndex(row, 0, node->children[size_t(row)].get());
}

QModelIndex SiteTree::parent(const QModelIndex &child) const
{
    const Node *node = child.isValid() ? nodeOf(child) : nullptr;
    return node ? indexOf(node->parent) : QModelIndex();
}

int SiteTree::rowCount(const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    return node ? int(node->children.size()) : 0;
}

int SiteTree::columnCount(const QModelIndex &) const
{
    return 1;
}

bool SiteTree::hasChildren(const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    return node && node->entry.dir && (!node->listed || !node->children.empty());
}

bool SiteTree::canFetchMore(const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    return node && node->entry.dir && !node->listed && !node->listing && !node->merging;
}

void SiteTree::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        list(nodeOf(parent));
}

QVariant SiteTree::data(const QModelIndex &index, int role) const
{
    const Node *node = index.isValid() ? nodeOf(index) : nullptr;
    if (!node || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return node->entry.name;
}

Qt::ItemFlags SiteTree::flags(const QModelIndex &index) const
{
    const Node *node = index.isValid() ? nodeOf(index) : nullptr;
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (!node->entry.dir)
        f |= Qt::ItemNeverHasChildren;
    return f;
}

void SiteTree::list(Node *folder)
{
    if (folder->listing) {
        folder->again = true;
        return;
    }
    folder->listing = true;
    const QString path = pathOf(folder);
    if (!folder->watched) {
        m_watcher.addPath(path);
        folder->watched = true;
    }
    const QString relative = relativeOf(folder);
    m_pool.start([this, path, relative, generation = m_generation] {
        runBehindTheWindow();
        std::vector<Entry> entries;
        const bool read = readFolder(path, entries, [&](std::vector<Entry> first) {
            QMetaObject::invokeMethod(
                this, [this, relative, generation, first]() mutable { firstRows(relative, generation, std::move(first)); },
                Qt::QueuedConnection);
        });
        // Asked here, off the window's thread, while the failure is fresh.
        QString problem;
        if (!read) {
            problem = folderProblem(path);
            if (problem.isEmpty())
                problem = QStringLiteral("it could not be listed.");
        }
        QMetaObject::invokeMethod(
            this,
            [this, relative, generation, problem, entries]() mutable {
                listed(relative, generation, problem, std::move(entries));
            },
            Qt::QueuedConnection);
    });
}

void SiteTree::listed(const QString &relative, quint64 generation, const QString &problem, std::vector<Entry> entries)
{
    Node *folder = folderAt(relative, generation);
    if (!folder)
        return;
    folder->listing = false;
    if (!problem.isEmpty() && folder == m_root.get())
        emit rootUnreadable();
    if (folder->problem != problem) {
        folder->problem = problem;
        if (folder != m_root.get()) {
            const QModelIndex row = indexOf(folder);
            emit dataChanged(row, row);
        }
    }
    // A folder that cannot be read shows no rows.
    folder->incoming = std::move(entries);
    folder->keptUpTo = 0;
    folder->takenUpTo = 0;
    folder->mergedAt = folder->changes;
    folder->merging = true;
    if (folder->again) {
        folder->again = false;
        list(folder);
    }
    mergeSome(folder);
}

// The top of a large folder that has no rows yet, before the rest of its
// listing is in order.
void SiteTree::firstRows(const QString &relative, quint64 generation, std::vector<Entry> entries)
{
    Node *folder = folderAt(relative, generation);
    if (!folder || !folder->children.empty() || folder->merging)
        return;
    beginInsertRows(indexOf(folder), 0, int(entries.size()) - 1);
    for (Entry &entry : entries)
        folder->children.push_back(std::make_unique<Node>(std::move(entry), folder));
    folder->dirtyFrom = 0;
    ++folder->changes;
    endInsertRows();
}

void SiteTree::scheduleMerge(Node *folder)
{
    if (folder->mergeScheduled)
        return;
    folder->mergeScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this, relative = relativeOf(folder), generation = m_generation] {
            Node *node = folderAt(relative, generation);
            if (!node)
                return;
            node->mergeScheduled = false;
            if (node->merging)
                mergeSome(node);
        },
        Qt::QueuedConnection);
}

// Brings the rows nearer the listing: rows that are not in it go, names
// that are not in the rows come, at most kRowsATurn of them this turn.
void SiteTree::mergeSome(Node *folder)
{
    if (folder->mergedAt != folder->changes) {
        // Rows came or went meanwhile: the merge starts over (kept rows are
        // passed over quickly).
        folder->keptUpTo = 0;
        folder->takenUpTo = 0;
    }
    auto &rows = folder->children;
    const std::vector<Entry> &in = folder->incoming;
    const QModelIndex parent = indexOf(folder);
    size_t &i = folder->keptUpTo;
    size_t &j = folder->takenUpTo;
    int budget = kRowsATurn;
    const auto removeRows = [&](size_t from, size_t to) {
        beginRemoveRows(parent, int(from), int(to) - 1);
        for (size_t k = from; k < to; ++k)
            forget(rows[k].get());
        rows.erase(rows.begin() + qsizetype(from), rows.begin() + qsizetype(to));
        folder->dirtyFrom = std::min(folder->dirtyFrom, from);
        endRemoveRows();
    };
    while (j < in.size() && budget > 0) {
        if (i < rows.size() && rows[i]->entry.dir == in[j].dir && rows[i]->entry.name == in[j].name) {
            ++i;
            ++j;
            continue;
        }
        if (i < rows.size() && less(rows[i]->entry, in[j])) {
            size_t end = i + 1;
            while (end < rows.size() && end - i < size_t(budget) && less(rows[end]->entry, in[j]))
                ++end;
            budget -= int(end - i);
            removeRows(i, end);
            continue;
        }
        size_t end = j + 1;
        while (end < in.size() && end - j < size_t(budget) && (i >= rows.size() || less(in[end], rows[i]->entry)))
            ++end;
        beginInsertRows(parent, int(i), int(i + (end - j)) - 1);
        std::vector<std::unique_ptr<Node>> made;
        made.reserve(end - j);
        for (size_t k = j; k < end; ++k)
            made.push_back(std::make_unique<Node>(in[k], folder));
        rows.insert(rows.begin() + qsizetype(i), std::make_move_iterator(made.begin()),
                    std::make_move_iterator(made.end()));
        folder->dirtyFrom = std::min(folder->dirtyFrom, i);
        endInsertRows();
        budget -= int(end - j);
        i += end - j;
        j = end;
    }
    folder->mergedAt = folder->changes;
    if (j < in.size()) {
        scheduleMerge(folder);
        return;
    }
    if (i < rows.size())
        removeRows(i, rows.size());
    folder->incoming = {};
    folder->merging = false;
    folder->listed = true;
}

// A row going away: its folder and every folder listed under it are no
// longer watched.
void SiteTree::forget(Node *node)
{
    if (node->watched)
        m_watcher.removePath(pathOf(node));
    for (const auto &child : node->children)
        forget(child.get());
}

} // namespace tw::site
