#include "shell/InstallLayout.h"

#include "browser/BrowserEngine.h"

#include <QCoreApplication>
#include <QDir>

namespace tw {

void addInstalledBrowserModuleDir()
{
    if (!QCoreApplication::instance())
        return;
    const QString programDir = QCoreApplication::applicationDirPath();
    addBrowserModuleDir(QDir::cleanPath(programDir + QStringLiteral("/../" TW_INSTALL_LIBDIR "/tagwright")));
}

} // namespace tw
