#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

namespace tw::test {

// How far behind the program's first thread (the window's) one of its
// threads, found by name, stands; -1 where there is no such thread.
inline int nicenessOfThread(const QString &name)
{
    const int window = ::getpriority(PRIO_PROCESS, ::getpid());
    for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (task.toInt() == ::getpid())
            continue; // the first thread, named as the program
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (comm.open(QIODevice::ReadOnly) && QString::fromUtf8(comm.readAll()).trimmed() == name)
            return ::getpriority(PRIO_PROCESS, id_t(task.toInt())) - window;
    }
    return -1;
}

// The same for each process the program started.
inline QList<int> nicenessOfChildren()
{
    const int window = ::getpriority(PRIO_PROCESS, ::getpid());
    QList<int> out;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // After the name in brackets: state, parent, ... the nice value 16th.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 16 && fields[1].toInt() == ::getpid())
            out << fields[16].toInt() - window;
    }
    return out;
}

} // namespace tw::test
