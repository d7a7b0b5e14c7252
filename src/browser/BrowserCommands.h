#pragma once

#include <QString>

namespace tw {

class BrowserHost;
class frmBrowser;

// Creates a browser window, sets its StartingAddress, puts it into the frame
// and loads it. Every call makes a new window.
frmBrowser *openBrowserWindow(BrowserHost &host, const QString &startingAddress);

// The one browser window that the open-location window drives: created with
// an empty address the first time it is needed, and again after it closed.
frmBrowser *sharedBrowserWindow(BrowserHost &host);

// The sample and help pages that lie beside the program.
QString sampleAddress();
QString helpAddress();

// Web Browser: a new browser window on the sample page.
void ShowSampleInBrowser(BrowserHost &host);
// Help, Contents: a new browser window on the help page.
void ShowHelpContents(BrowserHost &host);

} // namespace tw
