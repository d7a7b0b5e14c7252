#pragma once

// What the tests of loads that run out of memory need: the message, the
// address space a child may use, running such a child and reading what it
// tells.
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

#include <sys/resource.h>
#include <unistd.h>

// AddressSanitizer reserves far more address space than it uses, so a limit
// on the address space cannot make a real shortage under it.
#if defined(__SANITIZE_ADDRESS__)
#define TW_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_ADDRESS_SANITIZER 1
#endif
#endif

namespace tw::test {

inline QString noMemory(const QString &path)
{
    return QStringLiteral("Cannot open \"%1\": there is not enough memory to hold it.").arg(path);
}

// The address space the process uses now, in bytes.
inline rlim_t addressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return rlim_t(statm.readAll().split(' ').value(0).toULongLong()) * rlim_t(sysconf(_SC_PAGESIZE));
}

// Only `headroom` bytes of address space beyond what the process uses now.
struct LittleMemory : ResourceLimit {
    explicit LittleMemory(rlim_t headroom) : ResourceLimit(RLIMIT_AS, addressSpaceInUse() + headroom) {}
};

// The headroom a child is given, in MB on its command line.
inline rlim_t headroomArgument(const char *megabytes)
{
    return rlim_t(QByteArray(megabytes).toULongLong()) << 20;
}

// Runs this test program again as a child with `flag` and `args`, and gives
// the lines it printed; none when it did not end normally with 0.
inline std::optional<QStringList> childLines(const char *flag, const QStringList &args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{QString::fromLatin1(flag)} + args);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace tw::test
