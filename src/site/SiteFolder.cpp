#include "site/SiteFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace tw {

SiteFolder &SiteFolder::instance()
{
    static SiteFolder folder;
    return folder;
}

void SiteFolder::setFolder(const QString &folder)
{
    const QString clean = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
    if (clean == m_folder)
        return;
    m_folder = clean;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->setProperty(kSiteFolderProperty, m_folder);
    emit changed(m_folder);
}

} // namespace tw
