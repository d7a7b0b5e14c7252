#pragma once

#include <QString>

class QWidget;

namespace tw {

class LiveArea;
class PageArea;

// The file name of the module that holds the web engine.
QString browserModuleFileName();

// Adds a folder to search for the module ahead of the usual places (tests use
// the build folder).
void addBrowserModuleDir(const QString &dir);

// The folders searched, in order: those added, the program's own folder and
// the installed library folder.
QStringList browserModuleDirs();

// Why the engine cannot start for this user, or nothing. The engine ends the
// whole process when it is started as root with its sandbox on, so for root
// it starts only when the user's environment turns the sandbox off
// (QTWEBENGINE_DISABLE_SANDBOX, or --no-sandbox among the engine's flags).
QString engineRefusal(bool root, const QByteArray &disableSandbox, const QByteArray &engineFlags);

// Creates a page area as a child of parent. The first call loads the module,
// after giving the engine the shared OpenGL context it needs. Returns null,
// with the reason in *error, when the module cannot be loaded.
PageArea *createPageArea(QWidget *parent, QString *error);

// Creates the live preview's view the same way, loading the module first
// when no browser window has; null with the reason in *error.
LiveArea *createLiveArea(QWidget *parent, QString *error);

// True once the module is loaded (tests and measurements).
bool browserEngineLoaded();

} // namespace tw
