#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef TW_INSTALLED_DATA_DIR
#define TW_INSTALLED_DATA_DIR "/usr/share/tagwright"
#endif

namespace tw {

namespace {
QString &storedStartDir()
{
    static QString dir;
    return dir;
}
} // namespace

void recordStartDir()
{
    storedStartDir() = QDir::currentPath();
}

QString startDir()
{
    if (storedStartDir().isEmpty())
        recordStartDir();
    return storedStartDir();
}

QString besideProgram(const QString &fileName)
{
    const QString first = QDir(startDir()).filePath(fileName);
    if (QFileInfo(first).isFile())
        return first;
    QStringList others;
    if (QCoreApplication::instance()) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        others << programDir.filePath(fileName);
        // An installed program in PREFIX/bin keeps its data in
        // PREFIX/share/tagwright, wherever the tree was installed or unpacked.
        others << QDir::cleanPath(programDir.filePath(QStringLiteral("../share/tagwright/") + fileName));
    }
    others << QDir(QStringLiteral(TW_INSTALLED_DATA_DIR)).filePath(fileName);
    for (const QString &candidate : others) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return first;
}

} // namespace tw
