#include "search/SiteSearch.h"

#include "pages/PageFile.h"
#include "platform/FileErrors.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <functional>
#include <cerrno>
#include <cstring>
#include <new>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace tw::search {

namespace {

QString shown(const QByteArray &path)
{
    return QDir::toNativeSeparators(QFile::decodeName(path));
}

QPair<quint64, quint64> identity(const struct stat &st)
{
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

FileStamp stampFrom(const struct stat &st)
{
    FileStamp s;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return s;
}

// Keeps one page's text; its memory is used again for the next page.
class ReusedSink : public PageSink {
public:
    bool start(qsizetype sizeHint) override
    {
        bytes.resize(0);
        try {
            bytes.reserve(sizeHint);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }
    bool append(const char *data, qsizetype size) override
    {
        try {
            bytes.append(data, size);
        } catch (const std::bad_alloc &) {
            return false;
        }
        return true;
    }
    QByteArray bytes;
};

// Reads a regular file whole, as it is, into `into` (kept for the next file);
// false when it cannot, and the caller reads it the long way, which says why.
// readRegularFile would say why itself, but at the cost of a QFile, a new
// buffer and four more system calls a file, a fifth of a search where most
// files are only looked at.
bool readWhole(const QByteArray &path, std::vector<char> &into, qsizetype &size)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestSearched;
    size = 0;
    while (ok) {
        if (size_t(size) == into.size())
            into.resize(std::max<size_t>({into.size() * 2, size_t(st.st_size) + 1, 65536}));
        const ssize_t got = ::read(fd, into.data() + size, into.size() - size_t(size));
        if (got < 0 && errno == EINTR)
            continue;
        ok = got >= 0 && size + got <= kLargestSearched;
        if (got <= 0)
            break;
        size += got;
    }
    ::close(fd);
    return ok;
}

} // namespace

FileStamp stampOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

NameFilter::NameFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part == QLatin1String("*") || part == QLatin1String("*.*")) {
            m_all = true;
        } else if (part.startsWith(QLatin1String("*.")) && !part.mid(1).contains(QLatin1Char('*'))
                   && !part.contains(QLatin1Char('?')) && !part.contains(QLatin1Char('['))) {
            m_suffixes << part.mid(1).toLower();
        } else {
            m_others << QRegularExpression(QRegularExpression::wildcardToRegularExpression(part),
                                           QRegularExpression::CaseInsensitiveOption);
        }
    }
    m_all = m_all || parts.isEmpty();
}

bool NameFilter::matches(const QString &name) const
{
    if (m_all)
        return true;
    for (const QString &suffix : m_suffixes) {
        if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    for (const QRegularExpression &re : m_others) {
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

// A file the walk found to search, or something it passed over, to be said
// in its place.
struct SiteSearch::Task {
    enum Kind { File, SkippedFolder, SkippedFile };
    Kind kind = File;
    QByteArray path;
    QString relative;
    struct stat st = {};
    QString problem;
};

// What became of one task.
struct SiteSearch::Outcome {
    bool searched = false;
    bool skippedFolder = false;
    bool skippedFile = false;
    QString problem;
    PageHits page; // with matches when page.count > 0
};

// The tasks the walk has found so far, handed out in order, and their
// outcomes, taken back in the same order.
struct SiteSearch::Shared {
    std::mutex mutex;
    std::condition_variable more;
    std::deque<Task> tasks;
    std::deque<std::optional<Outcome>> outcomes;
    size_t handedOut = 0;
    size_t reported = 0;
    bool walked = false;
    int skippedLinks = 0; // the walk's own count
};

SiteSearch::SiteSearch(SearchQuery query, QList<OpenText> open)
    : m_query(std::move(query)), m_filter(m_query.filter)
{
    for (OpenText &text : open) {
        struct stat st;
        if (::stat(QFile::encodeName(text.path).constData(), &st) != 0)
            continue; // never saved where it is named: not in any folder
        m_open.insert(identity(st), std::move(text.utf8));
        m_openPath.insert(identity(st), text.path);
    }
}

SiteSearch::~SiteSearch() = default;

SearchTotals SiteSearch::run(const std::atomic<bool> &stop, int threads)
{
    m_totals = SearchTotals();
    TextSearch search(m_query.pattern.toUtf8(), m_query.options);
    if (!search.isValid()) {
        m_totals.error = search.error();
        return m_totals;
    }
    const QByteArray root = QFile::encodeName(QDir::cleanPath(m_query.folder));
    struct stat st;
    QString reason;
    if (m_query.folder.isEmpty())
        reason = fileErrorReason(ENOENT);
    else if (::stat(root.constData(), &st) != 0)
        reason = fileErrorReason(errno);
    else if (!S_ISDIR(st.st_mode))
        reason = QStringLiteral("it is not a folder.");
    if (!reason.isEmpty()) {
        m_totals.error = QStringLiteral("Cannot search \"%1\": %2").arg(shown(root), reason);
        return m_totals;
    }
    m_stop = &stop;
    m_needle = requiredBytes(m_query.pattern, m_query.options);
    m_shared = std::make_unique<Shared>();
    if (threads <= 0)
        threads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i) {
        helpers.emplace_back([this] {
            TextSearch own(m_query.pattern.toUtf8(), m_query.options);
            work(own);
        });
    }
    m_folders.clear();
    m_folders.insert(identity(st));
    walk(root, QString(), 0);
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->walked = true;
    }
    m_shared->more.notify_all();
    work(search);
    for (std::thread &helper : helpers)
        helper.join();
    m_totals.skippedLinks = m_shared->skippedLinks;
    m_totals.stopped = stop.load();
    m_shared.reset();
    return m_totals;
}

void SiteSearch::add(Task &&task)
{
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->tasks.push_back(std::move(task));
        m_shared->outcomes.emplace_back();
    }
    m_shared->more.notify_one();
}

void SiteSearch::walk(const QByteArray &folder, const QString &relative, int depth)
{
    const std::atomic<bool> &stop = *m_stop;
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        add({Task::SkippedFolder, folder, relative, {},
             QStringLiteral("The folder \"%1\" was not searched: %2").arg(shown(folder), fileErrorReason(errno))});
        return;
    }
    struct Entry {
        QByteArray name;
        struct stat st;
    };
    std::vector<Entry> files, folders;
    while (dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        Entry entry{QByteArray(e->d_name), {}};
        // Symbolic links are followed; one that leads nowhere is skipped.
        if (::fstatat(::dirfd(dir), e->d_name, &entry.st, 0) != 0)
            continue;
        if (S_ISDIR(entry.st.st_mode))
            folders.push_back(std::move(entry));
        else if (S_ISREG(entry.st.st_mode))
            files.push_back(std::move(entry));
        // Pipes, sockets and devices are never opened.
    }
    ::closedir(dir);
    const auto byName = [](const Entry &a, const Entry &b) { return a.name < b.name; };
    std::sort(files.begin(), files.end(), byName);
    std::sort(folders.begin(), folders.end(), byName);
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    // Whether the entry's decoded name gives its bytes back.
    const auto exact = [&](const Entry &entry, const QString &name) {
        if (QFile::encodeName(name) == entry.name)
            return true;
        // A name in bytes that are not UTF-8 cannot be given back to the
        // system exactly once it is text; the file is left alone.
        add({Task::SkippedFile, prefix + entry.name, relative, {},
             QStringLiteral("\"%1\" was not searched: its name is not UTF-8.").arg(shown(prefix + entry.name))});
        return false;
    };
    QString name;
    for (const Entry &file : files) {
        if (stop.load(std::memory_order_relaxed))
            return;
        name = QFile::decodeName(file.name);
        if (!m_filter.matches(name) || !exact(file, name))
            continue;
        add({Task::File, prefix + file.name, relative.isEmpty() ? name : relative + QLatin1Char('/') + name,
             file.st, {}});
    }
    for (const Entry &sub : folders) {
        if (stop.load(std::memory_order_relaxed))
            return;
        if (m_folders.contains(identity(sub.st))) {
            ++m_shared->skippedLinks; // reached again through a link: searched once
            continue;
        }
        name = QFile::decodeName(sub.name);
        if (!exact(sub, name))
            continue;
        m_folders.insert(identity(sub.st));
        if (depth < 200)
            walk(prefix + sub.name, relative.isEmpty() ? name : relative + QLatin1Char('/') + name, depth + 1);
    }
}

void SiteSearch::work(TextSearch &search)
{
    Shared &shared = *m_shared;
    for (;;) {
        Task task;
        size_t index;
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            shared.more.wait(lock, [&] { return shared.handedOut < shared.tasks.size() || shared.walked; });
            if (shared.handedOut >= shared.tasks.size() || m_stop->load(std::memory_order_relaxed))
                return;
            index = shared.handedOut++;
            task = shared.tasks[index];
        }
        finish(index, searchFile(search, task));
    }
}

// Takes an outcome back and reports every one that is now next in order.
void SiteSearch::finish(size_t index, Outcome &&outcome)
{
    Shared &shared = *m_shared;
    const std::lock_guard<std::mutex> lock(shared.mutex);
    shared.outcomes[index] = std::move(outcome);
    while (shared.reported < shared.outcomes.size() && shared.outcomes[shared.reported]) {
        Outcome &next = *shared.outcomes[shared.reported];
        m_totals.filesSearched += next.searched;
        m_totals.skippedFolders += next.skippedFolder;
        m_totals.skippedFiles += next.skippedFile;
        if (!next.problem.isEmpty())
            m_totals.problems << next.problem;
        if (next.page.count > 0) {
            ++m_totals.pages;
            m_totals.matches += next.page.count;
            if (onPage)
                onPage(std::move(next.page));
        }
        shared.outcomes[shared.reported].reset();
        shared.tasks[shared.reported] = Task();
        ++shared.reported;
    }
}

SiteSearch::Outcome SiteSearch::searchFile(TextSearch &search, const Task &task)
{
    Outcome out;
    if (task.kind != Task::File) {
        out.skippedFolder = task.kind == Task::SkippedFolder;
        out.skippedFile = task.kind == Task::SkippedFile;
        out.problem = task.problem;
        return out;
    }
    out.searched = true;
    PageHits &page = out.page;
    page.path = QFile::decodeName(task.path);
    page.relative = task.relative;
    page.stamp = stampFrom(task.st);
    const auto openText = m_open.constFind(identity(task.st));
    // Most pages hold no match, and their bytes as they are show it: the
    // bytes looked for are ASCII, which both encodings keep as they are. So
    // a page is looked at before any time goes into reading it as text.
    const auto lacksNeedle = [this](const QByteArray &bytes) {
        return !m_needle.isEmpty()
            && !holdsBytes(bytes.constData(), bytes.size(), m_needle, m_query.options.matchCase);
    };
    static thread_local ReusedSink sink;
    static thread_local std::vector<char> raw;
    static thread_local QByteArray converted;
    QByteArray read; // the page's text, when it is not the window's
    const QByteArray *text = &read;
    if (openText != m_open.constEnd()) {
        page.open = true;
        page.path = m_openPath.value(identity(task.st));
        text = &openText.value();
        if (lacksNeedle(*text))
            return out;
    } else if (qsizetype rawSize = 0; readWhole(task.path, raw, rawSize)) {
        if (lacksNeedle(QByteArray::fromRawData(raw.data(), rawSize)))
            return out;
        page.encoding = decodePageBytes(raw.data(), rawSize, converted);
        read = page.encoding == PageEncoding::Utf8 ? QByteArray::fromRawData(raw.data(), rawSize) : converted;
    } else {
        // Gone or changed into something else since the folder was read,
        // unreadable, or too large: the reader says which, and the search
        // goes on.
        PageReader reader(page.path, 4096);
        reader.setLimit(kLargestSearched);
        if (!reader.open() || !reader.read(sink)) {
            out.skippedFile = true;
            out.problem = reader.error();
            return out;
        }
        page.encoding = reader.encoding();
        read = sink.bytes;
        if (lacksNeedle(read))
            return out;
    }
    if (!findInText(search, text->constData(), text->size(), page, *m_stop)) {
        out.skippedFile = true;
        out.problem = QStringLiteral("\"%1\": %2").arg(QDir::toNativeSeparators(task.relative), search.error());
        page.count = 0;
        return out;
    }
    if (page.count > 0)
        page.digest = textDigest(text->constData(), text->size());
    return out;
}

} // namespace tw::search
