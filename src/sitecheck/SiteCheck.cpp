#include "sitecheck/SiteCheck.h"

#include "pages/PageFile.h"
#include "sitecheck/PageLinks.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::sitecheck {

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Error:
        return QStringLiteral("Error");
    case Kind::Warning:
        return QStringLiteral("Warning");
    case Kind::Note:
        break;
    }
    return QStringLiteral("Note");
}

namespace {

// The stack of a parsing thread: gumbo frees its tree recursively, one
// frame per nesting level.
constexpr uint kParseStackBytes = 256u * 1024 * 1024;

QString shown(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

bool endsWithNoCase(const QByteArray &name, const char *suffix)
{
    return name.toLower().endsWith(suffix);
}

bool isPage(const QByteArray &name)
{
    return endsWithNoCase(name, ".html") || endsWithNoCase(name, ".htm") || endsWithNoCase(name, ".xhtml");
}

bool isStyleSheet(const QByteArray &name)
{
    return endsWithNoCase(name, ".css");
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

QByteArray percentDecoded(const QByteArray &s)
{
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
            out += char(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash + 1);
}

// One entry of the folder, found by the walk.
struct Entry {
    bool folder = false;
    bool regular = false;
    qint64 size = 0;
};

struct Walk {
    QByteArray root;
    QHash<QByteArray, Entry> entries; // by relative path
    QList<QByteArray> files;          // regular files, in name order
    QList<Finding> notes;
    int skipped = 0;
};

// Lists the folder's entries without opening any file: symbolic links are
// followed, but a folder already seen (a loop) or one outside the folder is
// not entered again.
void walkFolder(Walk &walk, const std::atomic<bool> &cancel)
{
    char *real = realpath(walk.root.constData(), nullptr);
    const QByteArray realRoot = real ? QByteArray(real) : walk.root;
    free(real);
    std::set<std::pair<dev_t, ino_t>> seen;
    struct stat st {};
    if (stat(walk.root.constData(), &st) == 0)
        seen.insert({st.st_dev, st.st_ino});
    QList<QByteArray> todo{QByteArray()};
    while (!todo.isEmpty() && !cancel.load(std::memory_order_relaxed)) {
        const QByteArray rel = todo.takeLast();
        const QByteArray abs = rel.isEmpty() ? walk.root : walk.root + '/' + rel;
        DIR *dir = opendir(abs.constData());
        if (!dir) {
            const int error = errno;
            walk.notes << Finding{rel, 0, 0, -1, Kind::Note,
                                  QStringLiteral("This folder could not be read: %1").arg(QString::fromLocal8Bit(strerror(error)))};
            continue;
        }
        QList<QByteArray> names;
        while (dirent *d = readdir(dir))
            if (d->d_name[0] != '.')
                names << QByteArray(d->d_name);
        std::sort(names.begin(), names.end());
        QList<QByteArray> subfolders;
        for (const QByteArray &name : names) {
            const QByteArray path = rel.isEmpty() ? name : rel + '/' + name;
            struct stat link {};
            struct stat target {};
            if (fstatat(dirfd(dir), name.constData(), &link, AT_SYMLINK_NOFOLLOW) != 0
                || fstatat(dirfd(dir), name.constData(), &target, 0) != 0) {
                ++walk.skipped; // a broken link or a loop of links
                continue;
            }
            Entry e;
            e.folder = S_ISDIR(target.st_mode);
            e.regular = S_ISREG(target.st_mode);
            e.size = target.st_size;
            walk.entries.insert(path, e);
            if (e.regular) {
                walk.files << path;
            } else if (e.folder) {
                if (!seen.insert({target.st_dev, target.st_ino}).second)
                    continue;
                if (S_ISLNK(link.st_mode)) {
                    char *to = realpath((abs + '/' + name).constData(), nullptr);
                    const bool inside = to && QByteArray(to).startsWith(realRoot + '/');
                    free(to);
                    if (!inside)
                        continue;
                }
                subfolders << path;
            } else {
                ++walk.skipped; // a pipe, device or socket: never opened
            }
        }
        closedir(dir);
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            todo << *it;
    }
    std::sort(walk.files.begin(), walk.files.end());
}

// What reading and parsing one file gave.
struct Parsed {
    PageLinks links;
    bool read = false;
    Finding problem; // when not read
};

// A file whose name is not valid UTF-8 has no QString path; it is read
// through the descriptor of an open that is checked to be a regular file.
bool readText(const QByteArray &abs, QByteArray &utf8, QString &error)
{
    QString path = QFile::decodeName(abs);
    int fd = -1;
    if (QFile::encodeName(path) != abs) {
        fd = ::open(abs.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            error = QStringLiteral("%1 could not be read: %2")
                        .arg(shown(abs), QString::fromLocal8Bit(strerror(fd < 0 ? errno : EINVAL)));
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        path = QStringLiteral("/proc/self/fd/") + QString::number(fd);
    }
    PageReadResult r = readPage(path, kLargestCheckedPage);
    if (fd >= 0)
        ::close(fd);
    if (!r.ok) {
        error = r.error;
        return false;
    }
    utf8 = std::move(r.utf8);
    return true;
}

void parseOne(const Walk &walk, const QByteArray &rel, const QHash<QByteArray, QByteArray> &open, Parsed &out)
{
    QByteArray text;
    const auto known = open.constFind(rel);
    if (known != open.constEnd()) {
        text = *known;
    } else {
        const Entry entry = walk.entries.value(rel);
        if (entry.size > kLargestCheckedPage) {
            out.problem = Finding{rel, 0, 0, -1, Kind::Note,
                                  QStringLiteral("This file is larger than %1 MB; its links were not checked")
                                      .arg(kLargestCheckedPage / 1'000'000)};
            return;
        }
        QString error;
        if (!readText(walk.root + '/' + rel, text, error)) {
            out.problem = Finding{rel, 0, 0, -1, Kind::Error, error};
            return;
        }
    }
    out.links = isStyleSheet(rel) ? styleSheetLinks(text) : htmlLinks(text);
    out.read = true;
}

// Whether the target exists: the walk's list first, then the file system
// (a path through a linked folder the walk did not enter again).
const Entry *lookUp(const Walk &walk, const QByteArray &path, Entry &scratch)
{
    if (path.isEmpty()) {
        scratch.folder = true;
        return &scratch;
    }
    const auto it = walk.entries.constFind(path);
    if (it != walk.entries.constEnd())
        return &*it;
    struct stat st {};
    if (stat((walk.root + '/' + path).constData(), &st) != 0)
        return nullptr;
    scratch.folder = S_ISDIR(st.st_mode);
    scratch.regular = S_ISREG(st.st_mode);
    return &scratch;
}

} // namespace

Resolved resolveAddress(const QByteArray &page, const QByteArray &address)
{
    Resolved r;
    // Browsers drop white space around an address and tabs and line breaks in it.
    QByteArray a = address.trimmed();
    a.replace('\t', QByteArray()).replace('\n', QByteArray()).replace('\r', QByteArray());
    if (a.isEmpty()) {
        r.kind = Resolved::Empty;
        return r;
    }
    if (a.contains('\\')) {
        r.backslash = true;
        a.replace('\\', '/');
    }
    qsizetype scheme = 0;
    while (scheme < a.size() && (QChar::isLetterOrNumber(uchar(a[scheme])) || a[scheme] == '+' || a[scheme] == '-' || a[scheme] == '.')
           && uchar(a[scheme]) < 0x80)
        ++scheme;
    if (scheme > 0 && scheme < a.size() && a[scheme] == ':' && QChar::isLetter(uchar(a[0]))) {
        const QByteArray name = a.left(scheme).toLower();
        // "C:/..." is a Windows path, as absolute as a file: address.
        r.kind = name == "file" || scheme == 1 ? Resolved::AbsoluteFile : Resolved::Web;
        return r;
    }
    if (a.startsWith("//")) {
        r.kind = Resolved::Web;
        return r;
    }
    const qsizetype hash = a.indexOf('#');
    if (hash >= 0) {
        r.hasFragment = true;
        r.fragment = percentDecoded(a.mid(hash + 1));
        a.truncate(hash);
    }
    const qsizetype query = a.indexOf('?');
    if (query >= 0)
        a.truncate(query);
    if (a.isEmpty()) {
        r.path = page;
        return r;
    }
    // A path from "/" starts at the site's folder, as on its web server.
    const QByteArray joined = a.startsWith('/') ? a.mid(1) : folderOf(page) + a;
    r.folder = joined.endsWith('/');
    QList<QByteArray> parts;
    for (const QByteArray &part : joined.split('/')) {
        const QByteArray p = percentDecoded(part);
        if (p.isEmpty() || p == ".")
            continue;
        if (p == "..") {
            if (parts.isEmpty()) {
                r.kind = Resolved::Outside;
                return r;
            }
            parts.removeLast();
            continue;
        }
        parts << p;
    }
    r.path = parts.join('/');
    return r;
}

SiteReport checkSite(const QString &folder, const QHash<QString, QByteArray> &openTexts,
                     const std::atomic<bool> &cancel, const Progress &progress)
{
    SiteReport report;
    Walk walk;
    walk.root = QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath()));
    if (walk.root.endsWith('/') && walk.root.size() > 1)
        walk.root.chop(1);
    report.root = walk.root;
    walkFolder(walk, cancel);
    report.skipped = walk.skipped;

    QHash<QByteArray, QByteArray> open;
    const QByteArray prefix = walk.root == "/" ? walk.root : walk.root + '/';
    for (auto it = openTexts.constBegin(); it != openTexts.constEnd(); ++it) {
        const QByteArray abs = QFile::encodeName(QDir::cleanPath(it.key()));
        if (abs.startsWith(prefix))
            open.insert(abs.mid(prefix.size()), it.value());
    }

    QList<QByteArray> jobs;
    for (const QByteArray &file : std::as_const(walk.files))
        if (isPage(file) || isStyleSheet(file))
            jobs << file;
    std::vector<Parsed> parsed(size_t(jobs.size()));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    const int total = int(jobs.size());
    const auto work = [&] {
        for (int i; (i = next.fetch_add(1)) < total && !cancel.load(std::memory_order_relaxed);) {
            parseOne(walk, jobs[i], open, parsed[size_t(i)]);
            const int n = done.fetch_add(1) + 1;
            if (progress && (n % 16 == 0 || n == total))
                progress(n, total);
        }
    };
    const int threads = qBound(1, QThread::idealThreadCount(), 4);
    std::vector<std::unique_ptr<QThread>> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back(QThread::create(work));
        workers.back()->setStackSize(kParseStackBytes);
        workers.back()->start();
    }
    for (auto &w : workers)
        w->wait();
    if (cancel.load()) {
        report.cancelled = true;
        return report;
    }

    QHash<QByteArray, int> jobOf;
    for (int i = 0; i < total; ++i)
        jobOf.insert(jobs[i], i);
    QHash<QByteArray, QByteArray> lowerCase;
    for (auto it = walk.entries.constBegin(); it != walk.entries.constEnd(); ++it)
        lowerCase.insert(it.key().toLower(), it.key());
    QSet<QByteArray> reached;
    QList<Finding> &out = report.findings;
    out << walk.notes;

    for (int i = 0; i < total; ++i) {
        const QByteArray &file = jobs[i];
        (isStyleSheet(file) ? report.styleSheets : report.pages) += 1;
        const Parsed &p = parsed[size_t(i)];
        if (!p.read) {
            out << p.problem;
            continue;
        }
        // A <base> moves where relative addresses start; a web one takes them off the site.
        QByteArray from = file;
        bool webBase = false;
        if (p.links.hasBase) {
            const Resolved b = resolveAddress(file, p.links.base);
            webBase = b.kind == Resolved::Web || b.kind == Resolved::AbsoluteFile;
            if (b.kind == Resolved::Local && !b.path.isEmpty())
                from = b.folder ? b.path + "/base" : b.path;
        }
        for (const Address &a : p.links.addresses) {
            const auto add = [&](Kind kind, const QString &message) {
                out << Finding{file, a.line, a.column, a.offset, kind, message};
            };
            const QString written = shown(a.text.trimmed());
            const Resolved r = resolveAddress(webBase ? file : from, a.text);
            if (webBase && r.kind == Resolved::Local) {
                ++report.webAddresses;
                continue;
            }
            if (r.backslash)
                add(Kind::Warning, QStringLiteral("\"%1\" holds a backslash, which breaks on a web server; use \"/\"").arg(written));
            switch (r.kind) {
            case Resolved::Web:
                ++report.webAddresses;
                continue;
            case Resolved::Empty:
                if (a.href)
                    add(Kind::Warning, QStringLiteral("The href is empty"));
                continue;
            case Resolved::AbsoluteFile:
                add(Kind::Warning, QStringLiteral("\"%1\" is an absolute file address, which breaks on a web server").arg(written));
                continue;
            case Resolved::Outside:
                add(Kind::Warning, QStringLiteral("\"%1\" leaves the site's folder").arg(written));
                continue;
            case Resolved::Local:
                break;
            }
            ++report.addresses;
            Entry scratch;
            const Entry *target = lookUp(walk, r.path, scratch);
            if (!target || (r.folder && !target->folder)) {
                QString message = QStringLiteral("The file \"%1\" does not exist").arg(shown(r.path));
                const QByteArray similar = lowerCase.value(r.path.toLower());
                if (!similar.isEmpty() && similar != r.path)
                    message += QStringLiteral(" (did you mean \"%1\"?)").arg(shown(similar));
                add(Kind::Error, message);
                continue;
            }
            if (target->folder) {
                const QByteArray inside = r.path.isEmpty() ? QByteArray() : r.path + '/';
                reached << inside + "index.html" << inside + "index.htm";
                continue;
            }
            reached << r.path;
            if (!r.hasFragment || r.fragment.isEmpty() || r.fragment.toLower() == "top")
                continue;
            const auto to = jobOf.constFind(r.path);
            if (to == jobOf.constEnd() || !isPage(r.path) || !parsed[size_t(*to)].read)
                continue;
            if (!parsed[size_t(*to)].links.anchors.contains(r.fragment))
                add(Kind::Warning, QStringLiteral("\"#%1\" names no id or <a name> in \"%2\"")
                                       .arg(shown(r.fragment), shown(r.path)));
        }
    }

    std::stable_sort(out.begin(), out.end(), [](const Finding &a, const Finding &b) {
        return a.file != b.file ? a.file < b.file : a.offset < b.offset;
    });
    // The entry pages a server gives for the folder itself need no link.
    static const QSet<QByteArray> starts{"index.html", "index.htm", "default.html", "default.htm"};
    for (const QByteArray &file : std::as_const(walk.files))
        if (!reached.contains(file) && !starts.contains(file))
            out << Finding{file, 0, 0, -1, Kind::Note, QStringLiteral("No page links to this file")};
    return report;
}

} // namespace tw::sitecheck
