#include "browser/FolderReach.h"

#include "site/SiteFolder.h"

#include <QCoreApplication>
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

QStringList reachableFolders(const QString &pagePath, const QString &siteFolder)
{
    // An untitled page's path is its bare name: it lies in no folder, so
    // the folder it would be taken to lie in (the working folder, often the
    // user's home) is no folder of its, nor is the site.
    if (!QDir::isAbsolutePath(pagePath))
        return {};
    const QString own = QFileInfo(pagePath).absolutePath();
    QStringList folders{own};
    if (siteFolder.isEmpty())
        return folders;
    // Inside by its name, or by where its links lead: a page opened through
    // a link to the site is still the site's page.
    const QString site = QDir::cleanPath(siteFolder);
    const QString realSite = QFileInfo(site).canonicalFilePath();
    const QString realOwn = QFileInfo(own).canonicalFilePath();
    const bool inside = lies(QDir::cleanPath(own), site) || (!realSite.isEmpty() && lies(realOwn, realSite));
    if (inside && QDir::cleanPath(own) != site)
        folders << site;
    return folders;
}

QStringList reachableFolders(const QString &pagePath)
{
    // The program sets it on the application object, which the browser
    // module shares (site/SiteFolder.h); read on the user-interface thread.
    const QCoreApplication *app = QCoreApplication::instance();
    return reachableFolders(pagePath, app ? app->property(kSiteFolderProperty).toString() : QString());
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
