// Prints where the program would read each named data file from, as an
// installed program sees it, the folder of the browser module and the
// checker it runs: run from the bin folder of an installed tree.
#include "browser/BrowserEngine.h"
#include "checking/CheckerRun.h"
#include "platform/AppPaths.h"
#include "shell/InstallLayout.h"

#include <QFileInfo>

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    // The folder the browser module is loaded from: the first that holds it.
    tw::addInstalledBrowserModuleDir();
    for (const QString &dir : tw::browserModuleDirs()) {
        if (QFileInfo::exists(dir + QLatin1Char('/') + tw::browserModuleFileName())) {
            out << "module " << dir << '\n';
            break;
        }
    }
    out << "checker " << tw::checking::checkerPath() << '\n';
    for (int i = 1; i < argc; ++i)
        out << tw::besideProgram(QString::fromLocal8Bit(argv[i])) << '\n';
    return 0;
}
