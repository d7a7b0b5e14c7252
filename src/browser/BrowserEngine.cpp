#include "browser/BrowserEngine.h"

#include "browser/PageArea.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QStringList>

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

PageArea *createPageArea(QWidget *parent, QString *error)
{
    if (!loadModule()) {
        if (error)
            *error = g_loadError;
        return nullptr;
    }
    return g_create(parent);
}

bool browserEngineLoaded()
{
    return g_create != nullptr;
}

} // namespace tw
