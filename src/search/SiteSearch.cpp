#include "search/SiteSearch.h"

#include "pages/PageFile.h"
#include "platform/FileErrors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <functional>
#include <cerrno>
#include <cctype>
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

bool isLineEnd(const char *data, qsizetype length, qsizetype p)
{
    return data[p] == '\n' || (data[p] == '\r' && (p + 1 >= length || data[p + 1] != '\n'));
}

qsizetype characters(const char *data, qsizetype from, qsizetype to)
{
    qsizetype n = 0;
    for (qsizetype i = from; i < to; ++i)
        n += (static_cast<unsigned char>(data[i]) & 0xC0) != 0x80;
    return n;
}

// Moves back to the start of the UTF-8 character that holds p.
qsizetype characterStart(const char *data, qsizetype floor, qsizetype p)
{
    for (int i = 0; i < 3 && p > floor && (static_cast<unsigned char>(data[p]) & 0xC0) == 0x80; ++i)
        --p;
    return p;
}

// The most of a long line shown before and after a match, in bytes.
constexpr qsizetype kShownBefore = 80;
constexpr qsizetype kShownAfter = 200;

} // namespace

FileStamp stampOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

QByteArray textDigest(const char *data, qsizetype length)
{
    return QCryptographicHash::hash(QByteArrayView(data, length), QCryptographicHash::Sha256);
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

QByteArray requiredBytes(const QString &pattern, const FindOptions &options)
{
    const QByteArray bytes = pattern.toUtf8();
    if (options.regularExpression || bytes.isEmpty())
        return {};
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == 0)
            return {};
    }
    if (options.matchCase)
        return bytes;
    QByteArray longest, run;
    for (const char c : bytes + 'k') {
        const char lower = char(std::tolower(static_cast<unsigned char>(c)));
        if (lower == 'k' || lower == 's') {
            if (run.size() > longest.size())
                longest = run;
            run.clear();
        } else {
            run += lower;
        }
    }
    return longest.size() >= 3 ? longest : QByteArray();
}

bool holdsBytes(const char *data, qsizetype length, const QByteArray &needle, bool matchCase)
{
    if (matchCase)
        return ::memmem(data, size_t(length), needle.constData(), size_t(needle.size())) != nullptr;
    // Horspool's search with ASCII letters folded: the needle is in small letters.
    const qsizetype n = needle.size();
    if (n > length)
        return false;
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    qsizetype skip[256];
    std::fill(std::begin(skip), std::end(skip), n);
    const auto *pat = reinterpret_cast<const unsigned char *>(needle.constData());
    for (qsizetype i = 0; i + 1 < n; ++i) {
        skip[pat[i]] = n - 1 - i;
        if (pat[i] >= 'a' && pat[i] <= 'z')
            skip[pat[i] - 32] = n - 1 - i;
    }
    const auto *text = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype at = 0; at + n <= length;) {
        const unsigned char last = text[at + n - 1];
        if (fold(last) == pat[n - 1]) {
            qsizetype i = 0;
            while (i + 1 < n && fold(text[at + i]) == pat[i])
                ++i;
            if (i + 1 >= n)
                return true;
        }
        at += skip[last];
    }
    return false;
}

bool findInText(TextSearch &search, const char *data, qsizetype length, PageHits &page,
                const std::atomic<bool> &stop)
{
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype counted = 0; // lines are counted up to here
    return search.forEachMatch(data, length, [&](const TextMatch &m) {
        ++page.count;
        if (page.hits.size() >= kMaxListedHits || stop.load(std::memory_order_relaxed))
            return;
        for (; counted < m.start; ++counted) {
            if (isLineEnd(data, length, counted)) {
                ++line;
                lineStart = counted + 1;
            }
        }
        qsizetype lineEnd = m.start;
        while (lineEnd < length && data[lineEnd] != '\n' && data[lineEnd] != '\r')
            ++lineEnd;
        const qsizetype from = m.start - lineStart > kShownBefore
                                   ? characterStart(data, lineStart, m.start - kShownBefore)
                                   : lineStart;
        const qsizetype markEnd = std::min(m.end(), lineEnd);
        const qsizetype to = lineEnd - markEnd > kShownAfter
                                 ? characterStart(data, markEnd, markEnd + kShownAfter)
                                 : lineEnd;
        SearchHit hit;
        hit.start = m.start;
        hit.length = m.length;
        hit.line = line;
        hit.column = int(characters(data, lineStart, m.start)) + 1;
        const QString before = QString::fromUtf8(data + from, m.start - from);
        const QString marked = QString::fromUtf8(data + m.start, markEnd - m.start);
        hit.lineText = before + marked + QString::fromUtf8(data + markEnd, to - markEnd);
        hit.markStart = int(before.size());
        hit.markLength = int(marked.size());
        page.hits.push_back(std::move(hit));
    });
}

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

SearchTotals SiteSearch::run(const std::atomic<bool> &stop)
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
    m_search = &search;
    m_stop = &stop;
    m_needle = requiredBytes(m_query.pattern, m_query.options);
    m_folders.insert(identity(st));
    walk(root, QString(), stop, 0);
    m_totals.stopped = stop.load();
    m_search = nullptr;
    return m_totals;
}

void SiteSearch::walk(const QByteArray &folder, const QString &relative, const std::atomic<bool> &stop,
                      int depth)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        ++m_totals.skippedFolders;
        m_totals.problems << QStringLiteral("The folder \"%1\" was not searched: %2")
                                 .arg(shown(folder), fileErrorReason(errno));
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
    const auto nameOf = [&](const Entry &entry, QString &name) {
        name = QFile::decodeName(entry.name);
        if (QFile::encodeName(name) == entry.name)
            return true;
        // A name in bytes that are not UTF-8 cannot be given back to the
        // system exactly once it is text; the file is left alone.
        ++m_totals.skippedFiles;
        m_totals.problems << QStringLiteral("\"%1\" was not searched: its name is not UTF-8.")
                                 .arg(shown(prefix + entry.name));
        return false;
    };
    QString name;
    for (const Entry &file : files) {
        if (stop.load(std::memory_order_relaxed))
            return;
        if (!m_filter.matches(QFile::decodeName(file.name)) || !nameOf(file, name))
            continue;
        searchFile(prefix + file.name, relative.isEmpty() ? name : relative + QLatin1Char('/') + name, file.st);
    }
    for (const Entry &sub : folders) {
        if (stop.load(std::memory_order_relaxed))
            return;
        if (m_folders.contains(identity(sub.st))) {
            ++m_totals.skippedLinks; // reached again through a link: searched once
            continue;
        }
        if (!nameOf(sub, name))
            continue;
        m_folders.insert(identity(sub.st));
        if (depth < 200)
            walk(prefix + sub.name, relative.isEmpty() ? name : relative + QLatin1Char('/') + name, stop,
                 depth + 1);
    }
}

void SiteSearch::searchFile(const QByteArray &path, const QString &relative, const struct stat &st)
{
    ++m_totals.filesSearched;
    PageHits page;
    page.path = QFile::decodeName(path);
    page.relative = relative;
    page.stamp = stampFrom(st);
    const auto openText = m_open.constFind(identity(st));
    static thread_local ReusedSink sink;
    const QByteArray *text = nullptr;
    if (openText != m_open.constEnd()) {
        page.open = true;
        page.path = m_openPath.value(identity(st));
        text = &openText.value();
    } else {
        // A piece as large as the file (and one byte to see its end) at most.
        const qsizetype piece = qsizetype(std::clamp<qint64>(st.st_size + 1, 4096, PageReader::kChunkSize));
        PageReader reader(page.path, piece);
        reader.setLimit(kLargestSearched);
        if (!reader.open() || !reader.read(sink)) {
            // Gone or changed into something else since the folder was read,
            // unreadable, or too large: said, and the search goes on.
            ++m_totals.skippedFiles;
            m_totals.problems << reader.error();
            return;
        }
        page.encoding = reader.encoding();
        text = &sink.bytes;
    }
    if (!m_needle.isEmpty() && !holdsBytes(text->constData(), text->size(), m_needle, m_query.options.matchCase))
        return;
    if (!findInText(*m_search, text->constData(), text->size(), page, *m_stop)) {
        ++m_totals.skippedFiles;
        m_totals.problems << QStringLiteral("\"%1\": %2").arg(QDir::toNativeSeparators(relative), m_search->error());
        return;
    }
    if (page.count == 0)
        return;
    page.digest = textDigest(text->constData(), text->size());
    ++m_totals.pages;
    m_totals.matches += page.count;
    if (onPage)
        onPage(std::move(page));
}

} // namespace tw::search
