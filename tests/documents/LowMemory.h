#pragma once

// What the tests of loads that run out of memory share: the message, and the
// address space in use, from which a child's limit is set.
#include <QFile>
#include <QString>

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

} // namespace tw::test
