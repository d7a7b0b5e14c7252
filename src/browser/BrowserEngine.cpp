#include "browser/BrowserEngine.h"

#include "browser/LiveArea.h"
#include "browser/PageArea.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QStringList>

#include <unistd.h>

// Qt offers no public way to set the global share context once the
// application object exists, and setting Qt::AA_ShareOpenGLContexts before it
// makes every start create a GL context and load the GL driver, browser or
// not. The web engine only needs a global share context to exist before it
// initialises, so one is set here, just before the module is loaded. The
// function is exported by QtGui and declared only in a private header.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();

namespace tw {

namespace {

QStringList &extraDirs()
{
    static QStringList dirs;
    return dirs;
}

CreatePageAreaFunction g_create = nullptr;
CreateLiveAreaFunction g_createLive = nullptr;
QString g_loadError;

void provideShareContext()
{
    if (qt_gl_global_share_context()
        || QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts))
        return;
    // Without a display that offers OpenGL (offscreen) create() fails and the
    // engine draws in software; the context must still be set.
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    context->create();
    qt_gl_set_global_share_context(context);
    // It lives until the application object goes, after the engine has shut down.
    QObject::connect(context, &QObject::destroyed, [] { qt_gl_set_global_share_context(nullptr); });
}

bool loadModule()
{
    if (g_create)
        return true;
    if (!g_loadError.isEmpty())
        return false; // tried once already; the result will not change
    provideShareContext();
    QStringList tried;
    for (const QString &dir : browserModuleDirs()) {
        const QString path = QDir(dir).filePath(browserModuleFileName());
        if (!QFileInfo::exists(path))
            continue;
        QLibrary library(path);
        library.setLoadHints(QLibrary::PreventUnloadHint);
        auto create = reinterpret_cast<CreatePageAreaFunction>(library.resolve(kCreatePageAreaSymbol));
        if (create) {
            // The live scheme is registered before any page exists.
            if (auto init = reinterpret_cast<InitBrowserModuleFunction>(
                    library.resolve(kInitBrowserModuleSymbol)))
                init();
            g_createLive = reinterpret_cast<CreateLiveAreaFunction>(library.resolve(kCreateLiveAreaSymbol));
            g_create = create;
            return true;
        }
        tried << library.errorString();
    }
    if (tried.isEmpty())
        tried << QStringLiteral("%1 was not found in %2")
                     .arg(browserModuleFileName(), browserModuleDirs().join(QStringLiteral(", ")));
    g_loadError = tried.join(QLatin1Char('\n'));
    return false;
}

} // namespace

QString browserModuleFileName()
{
    return QStringLiteral("tagwright-browser.so");
}

void addBrowserModuleDir(const QString &dir)
{
    extraDirs().append(dir);
}

QStringList browserModuleDirs()
{
    QStringList dirs = extraDirs();
    dirs << QCoreApplication::applicationDirPath();
#ifdef TW_INSTALLED_MODULE_DIR
    dirs << QStringLiteral(TW_INSTALLED_MODULE_DIR);
#endif
    return dirs;
}

QString engineRefusal(bool root, const QByteArray &disableSandbox, const QByteArray &engineFlags)
{
    if (!root)
        return QString();
    const bool sandboxOff = (!disableSandbox.isEmpty() && disableSandbox != "0")
        || engineFlags.split(' ').contains(QByteArrayLiteral("--no-sandbox"));
    if (sandboxOff)
        return QString();
    return QStringLiteral("The web browser does not run as the administrator (root) with its "
                          "sandbox on. Start Tagwright as an ordinary user, or set "
                          "QTWEBENGINE_DISABLE_SANDBOX=1 if you accept the risk.");
}

namespace {

// Loads the module unless the engine would refuse to start; false with the
// reason otherwise.
bool engineReady(QString *error)
{
    const QString refusal = engineRefusal(geteuid() == 0, qgetenv("QTWEBENGINE_DISABLE_SANDBOX"),
                                          qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"));
    if (!refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return false;
    }
    if (!loadModule()) {
        if (error)
            *error = g_loadError;
        return false;
    }
    return true;
}

} // namespace

PageArea *createPageArea(QWidget *parent, QString *error)
{
    return engineReady(error) ? g_create(parent) : nullptr;
}

LiveArea *createLiveArea(QWidget *parent, QString *error)
{
    if (!engineReady(error))
        return nullptr;
    if (!g_createLive) {
        if (error)
            *error = QStringLiteral("%1 offers no live view.").arg(browserModuleFileName());
        return nullptr;
    }
    return g_createLive(parent);
}

bool browserEngineLoaded()
{
    return g_create != nullptr;
}

} // namespace tw
