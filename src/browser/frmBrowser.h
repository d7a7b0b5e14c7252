#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QMenu;

namespace tw {

class BrowserHost;
class PageArea;
class PictureButton;

// A browser child window: a strip of picture buttons, the address box and
// the page area, with its own menus (File, View, Favorites, Help) that the
// frame shows while the window is active. The caption reads "Working..."
// while a page loads and the page's name once it has loaded.
class frmBrowser : public QWidget {
    Q_OBJECT
public:
    explicit frmBrowser(BrowserHost &host, QWidget *parent = nullptr);
    ~frmBrowser() override;

    // Set by the opener before Form_Load; read once there.
    QString StartingAddress;
    // While true, choosing in the address box does not navigate.
    bool NavigateSuppressed = false;

    // Runs once the window is shown: puts StartingAddress into the address
    // box and its list and loads it. An empty address leaves all blank.
    void Form_Load();

    QString caption() const { return windowTitle(); }
    QList<QMenu *> menus() const { return {mnuFile, mnuView, mnuFavorites, mnuHelp}; }

    // Sends the page area to a typed target, exactly as typed; the address
    // box is left alone.
    void Navigate(const QString &target);
    // The page area, or null when the browser module could not be loaded.
    PageArea *page() const { return brwWebBrowser; }

    QWidget *tbToolBar;
    QWidget *picAddress;
    QLabel *lblAddress;
    QComboBox *cboAddress;
    PageArea *brwWebBrowser = nullptr;
    // What the page area shows when the browser module could not be loaded.
    QLabel *lblUnavailable = nullptr;

    PictureButton *CmdBackUp;
    PictureButton *CmdFowardUp;
    PictureButton *CmdStopUp;
    PictureButton *CmdRefreshUp;
    PictureButton *CmdHomeUp;
    PictureButton *CmdSearchUp;
    PictureButton *CmdFavoriteUp;

    QMenu *mnuFile;
    QMenu *mnuFileNew;
    QAction *mnuFileBrowser;
    QAction *mnuFileOpen;
    QAction *mnuExit;
    QMenu *mnuView;
    QAction *mnuViewToolbar;
    QAction *mnuViewEdit;
    QMenu *mnuFavorites;
    QMenu *mnuHelp;
    QAction *mnuContents;
    QAction *mnuWebBrowser;

    // Handlers, public so that the frame and tests can run them.
    void cboAddress_Click();
    void CmdBackUp_MouseUp();
    void CmdFowardUp_MouseUp();
    void CmdStopUp_MouseUp();
    void CmdRefreshUp_MouseUp();
    void CmdHomeUp_MouseUp();
    void CmdSearchUp_MouseUp();
    void CmdFavoriteUp_MouseUp();
    void mnuFileOpen_Click();
    void mnuWebBrowser_Click();
    void mnuExit_Click();

    // Room for the strip, the address box and a page; the frame may size
    // the child window otherwise.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildStrip();
    void createPageArea();
    void Form_Resize();
    void showBarState();
    void showPageName();

    BrowserHost &m_host;
    QWidget *m_pageWidget = nullptr;
};

} // namespace tw
