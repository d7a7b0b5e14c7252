#include "shell/Startup.h"

#include "platform/AppPaths.h"
#include "platform/QtDialogs.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"

#include <QApplication>

namespace tw {

int Main(int argc, char *argv[])
{
    // The browser engine is loaded later, on first use; it needs shared GL
    // contexts set before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwright"));
    QApplication::setOrganizationName(QStringLiteral("Tagwright"));
    QApplication::setApplicationVersion(QStringLiteral("1.03"));

    recordStartDir();

    auto *splash = new frmSplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QtDialogs dialogs;
    frmMain frame(dialogs);
    dialogs.setParent(&frame);
    frame.MDIForm_Load();
    frame.show();

    splash->close();
    delete splash;
    return app.exec();
}

} // namespace tw
