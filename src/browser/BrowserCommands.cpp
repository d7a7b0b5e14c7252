#include "browser/BrowserCommands.h"

#include "browser/BrowserHost.h"
#include "browser/frmBrowser.h"
#include "platform/AppPaths.h"

#include <QPointer>

namespace tw {

BrowserHost::~BrowserHost() = default;

namespace {
QPointer<frmBrowser> g_shared;
} // namespace

frmBrowser *openBrowserWindow(BrowserHost &host, const QString &startingAddress)
{
    auto *window = new frmBrowser(host);
    window->StartingAddress = startingAddress;
    host.addBrowserWindow(window);
    window->Form_Load();
    return window;
}

frmBrowser *sharedBrowserWindow(BrowserHost &host)
{
    if (!g_shared)
        g_shared = openBrowserWindow(host, QString());
    return g_shared;
}

QString sampleAddress()
{
    return besideProgram(QStringLiteral("sample.htm"));
}

QString helpAddress()
{
    return besideProgram(QStringLiteral("help.htm"));
}

void ShowSampleInBrowser(BrowserHost &host)
{
    openBrowserWindow(host, sampleAddress());
}

void ShowHelpContents(BrowserHost &host)
{
    openBrowserWindow(host, helpAddress());
}

} // namespace tw
