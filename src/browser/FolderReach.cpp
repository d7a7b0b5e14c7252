#include "browser/FolderReach.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

namespace {

bool lies(const QString &path, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    if (path == folder || folder == QLatin1String("/"))
        return true;
    return path.startsWith(folder) && path.at(folder.size()) == QLatin1Char('/');
}

} // namespace

QStringList reachableFolders(const QString &pagePath)
{
    // An untitled page's path is its bare name: it lies in no folder, so
    // the folder it would be taken to lie in (the working folder, often the
    // user's home) is no folder of its.
    if (!QDir::isAbsolutePath(pagePath))
        return {};
    return {QFileInfo(pagePath).absolutePath()};
}

Reach reachOf(const QString &path, const QStringList &folders)
{
    // cleanPath takes ".." away by the name, as the engine resolves it.
    const QString named = QDir::cleanPath(path);
    bool nameInside = false;
    for (const QString &folder : folders)
        nameInside = nameInside || lies(named, QDir::cleanPath(folder));
    if (!nameInside)
        return Reach::Outside;
    const QString real = QFileInfo(named).canonicalFilePath();
    if (real.isEmpty())
        return Reach::Missing;
    for (const QString &folder : folders)
        if (lies(real, QFileInfo(folder).canonicalFilePath()))
            return Reach::Inside;
    return Reach::Outside;
}

} // namespace tw
