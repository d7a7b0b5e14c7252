#include "browser/engine/LocalRequestGuard.h"

#include "browser/FolderReach.h"
#include "browser/LiveArea.h"

#include <QDir>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <sys/stat.h>

namespace tw {

namespace {

// The file of the page that asks, or nothing when it is no local page.
QString pageFile(const QUrl &page)
{
    if (page.isLocalFile())
        return page.toLocalFile();
    if (page.scheme() == QLatin1String(kLiveScheme))
        return QDir::cleanPath(page.path());
    return QString();
}

} // namespace

void LocalRequestGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    if (!url.isLocalFile())
        return;
    const QString path = QDir::cleanPath(url.toLocalFile());
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode)
        && !S_ISDIR(st.st_mode)) {
        info.block(true);
        return;
    }
    // The user may open any file in a browser window.
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return;
    const QString page = pageFile(info.firstPartyUrl());
    if (page.isEmpty() || reachOf(path, reachableFolders(page)) != Reach::Inside)
        info.block(true);
}

void LocalRequestGuard::protect(QWebEngineProfile *profile)
{
    profile->setUrlRequestInterceptor(new LocalRequestGuard(profile));
    QWebEngineSettings *s = profile->settings();
    // Off, a file: page would show none of its own pictures (and the live
    // scheme's pages would still read file: addresses); the guard keeps
    // what local pages load to their folder instead.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    // Off, a local page takes nothing from the web: neither scripts' reads
    // nor pictures, which could carry what it read there.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
}

} // namespace tw
