#pragma once

#include "browser/BrowserHost.h"
#include "editor/ActiveEditor.h"
#include "documents/DocumentFiles.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QMdiArea;
class QToolBar;

namespace tw {

class AdvancedBar;
class BarToggles;
class CommandActions;
struct CommandState;
class MarkupWindows;
class Dialogs;
class EditBar;
class FileDrops;
class FrameMenus;
class MenuAccessKeys;
class frmDocument;

// The multiple-document frame: toolbar along the top, the two command bars
// along the right edge, the status bar at the bottom, and the child windows.
// It lays these out and owns the windows' lifetime; the commands, menus, bar
// toggles, drops and clock live in classes of their own.
class frmMain : public QMainWindow, public DocumentHost, public BrowserHost {
    Q_OBJECT
public:
    explicit frmMain(Dialogs &dialogs, QWidget *parent = nullptr);
    ~frmMain() override;

    // Restores the placement, fills the font-size list and opens Document 1.
    void MDIForm_Load();

    Dialogs &dialogs() override { return m_dialogs; }
    frmDocument *createDocument(const QString &caption) override;
    QWidget *activeChild() const override;
    QList<frmDocument *> documents() const override;

    void addBrowserWindow(frmBrowser *window) override;
    bool toolbarShown() const override;
    bool editBarsShown() const override;
    void setToolbarShown(bool shown) override;
    void setEditBarsShown(bool shown) override;
    void watchBars(QObject *context, std::function<void()> changed) override;

    // Opens each page as the frame's Open does (command line, dropped files).
    void openFiles(const QStringList &paths);
    // A new empty window "Document N".
    frmDocument *NewDocument();
    ActiveEditor &activeEditor() { return m_activeEditor; }
    // The focused control of the active child window, or none.
    QWidget *activeControl() const;
    frmDocument *activeDocument() const;

    // Ends the program at once, without saving the frame's placement.
    void exitAtOnce();
    // A request to end from outside (SIGTERM, SIGHUP, SIGINT): every unsaved
    // document's recovery journal is written and kept, and the program ends
    // without questions, so that the next start can restore them.
    void endOnRequest();

    CommandActions &commands() { return *m_commands; }
    BarToggles &bars() { return *m_bars; }
    FrameMenus &menus() { return *m_menus; }
    FileDrops &drops() { return *m_drops; }
    // What the dialog commands share for this run, and the windows they show.
    CommandState &markupState() { return *m_markupState; }
    MarkupWindows &markupWindows() { return *m_markupWindows; }

    // Counts the files Open has chosen; it numbers a window's caption only
    // while its file loads.
    int openCount = 0;

    QMdiArea *mdiArea;
    QToolBar *toolBar;
    EditBar *editBar;
    AdvancedBar *advancedBar;
    QLabel *statusText;
    QLabel *statusDate;
    QLabel *statusTime;

signals:
    // The program ends: every window is about to close, no question is left.
    void closingAll();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildStatusBar();
    void followActiveChild();
    void addChildWindow(QWidget *content);

    Dialogs &m_dialogs;
    ActiveEditor m_activeEditor;
    CommandActions *m_commands;
    BarToggles *m_bars = nullptr;
    FrameMenus *m_menus = nullptr;
    FileDrops *m_drops = nullptr;
    MenuAccessKeys *m_accessKeys = nullptr;
    // Destroyed before the frame's child windows: the state may hold a hidden
    // Page Properties window that is one of them.
    std::unique_ptr<CommandState> m_markupState;
    std::unique_ptr<MarkupWindows> m_markupWindows;
    bool m_closing = false;
};

} // namespace tw
