#pragma once

#include <QObject>

#include <functional>

namespace tw {

class Dialogs;
class frmBrowser;

// What browser windows need of the frame that holds them.
class BrowserHost {
public:
    virtual ~BrowserHost();

    virtual Dialogs &dialogs() = 0;

    // Puts the window into the frame as a child window and shows it, not
    // modally. The window is deleted when it closes (QMdiArea::addSubWindow
    // does so), and its menus replace the frame's while it is active.
    virtual void addBrowserWindow(frmBrowser *window) = 0;

    // The frame's toolbar, and its HTML edit bars.
    virtual bool toolbarShown() const = 0;
    virtual bool editBarsShown() const = 0;
    virtual void setToolbarShown(bool shown) = 0;
    // Showing brings back the HTML Edit bar, and the Advanced bar too when
    // the Advanced button reads "&Hide"; hiding hides both.
    virtual void setEditBarsShown(bool shown) = 0;
    // Calls changed whenever either is shown or hidden, for as long as
    // context lives.
    virtual void watchBars(QObject *context, std::function<void()> changed) = 0;
};

} // namespace tw
