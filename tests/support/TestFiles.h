#pragma once

#include "platform/AppPaths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

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

} // namespace tw::test
