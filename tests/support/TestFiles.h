#pragma once

#include "platform/AppPaths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace tw::test {

// The whole content of a file, or a marker that no real page holds.
inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Starts "the program" in this folder: it becomes the working directory and
// the folder whose files lie beside the program.
inline void startIn(const QString &dir)
{
    QDir::setCurrent(dir);
    recordStartDir();
}

// While it lives, the process may use at most `limit` of a resource
// (RLIMIT_FSIZE, RLIMIT_AS).
class ResourceLimit {
public:
    ResourceLimit(int resource, rlim_t limit) : m_resource(resource)
    {
        getrlimit(resource, &m_saved);
        const rlimit small{limit, m_saved.rlim_max};
        setrlimit(resource, &small);
    }
    ~ResourceLimit() { setrlimit(m_resource, &m_saved); }
    ResourceLimit(const ResourceLimit &) = delete;
    ResourceLimit &operator=(const ResourceLimit &) = delete;

private:
    int m_resource;
    rlimit m_saved{};
};

// Files of at most `limit` bytes, as on a full disk. SIGXFSZ keeps its
// default action: a write that lets it end the process ends the test.
struct FileSizeLimit : ResourceLimit {
    explicit FileSizeLimit(rlim_t limit) : ResourceLimit(RLIMIT_FSIZE, limit) { std::signal(SIGXFSZ, SIG_DFL); }
};

// A real small disk while it lives: a tmpfs of `size` ("64k") on a folder of
// its own. Only root may mount one, and not in every container: `why` then
// says why not, for a skip.
class SmallDisk {
public:
    explicit SmallDisk(const char *size)
    {
        if (geteuid() != 0)
            why = "mounting a small tmpfs needs root";
        else if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", QStringLiteral("size=") + size,
                                                             "tmpfs", m_point.path()}) != 0)
            why = "this system does not allow mounting a small tmpfs here";
    }
    ~SmallDisk() { unmount(); }
    void unmount()
    {
        if (!why && !std::exchange(m_unmounted, true))
            QProcess::execute(QStringLiteral("umount"), {m_point.path()});
    }
    QString path() const { return m_point.path(); }
    const char *why = nullptr;

private:
    QTemporaryDir m_point;
    bool m_unmounted = false;
};

} // namespace tw::test
