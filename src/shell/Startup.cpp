#include "shell/Startup.h"

#include "platform/AppPaths.h"
#include "documents/DocumentJournal.h"
#include "platform/QtDialogs.h"
#include "platform/TerminationSignals.h"
#include "platform/Version.h"
#include "shell/ReopenWiring.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

namespace tw {

int Main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tagwright"));
    QApplication::setOrganizationName(QStringLiteral("Tagwright"));
    QApplication::setApplicationVersion(versionText());

    QApplication::setWindowIcon(QIcon(logoPixmap(64)));
    recordStartDir();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A desktop editor for hand-written HTML pages."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("pages"), QStringLiteral("Pages to open."),
                                 QStringLiteral("[page...]"));
    parser.process(app);

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

    // Pages left unsaved by a run that did not end normally come back first.
    openStartPages(frame, parser.positionalArguments(), DocumentJournal::defaultFolder());

    TerminationSignals endRequests;
    QObject::connect(&endRequests, &TerminationSignals::received, &frame, &frmMain::endOnRequest);
    return app.exec();
}

} // namespace tw
