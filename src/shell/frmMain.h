#pragma once

#include "documents/ActiveEditor.h"
#include "documents/DocumentFiles.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMimeData;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;

namespace tw {

class AdvancedBar;
class Dialogs;
class EditBar;
class frmDocument;

// The multiple-document frame: toolbar along the top, the two command bars
// along the right edge, the status bar at the bottom, and the child windows.
// While a document window is active its own menus replace the frame's.
class frmMain : public QMainWindow, public DocumentHost {
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
    // Opens each page as the frame's Open does (command line, dropped files).
    void openFiles(const QStringList &paths);
    // Opens dropped local files; false (and nothing opened) for anything else.
    bool openDropped(const QMimeData *mime);
    ActiveEditor &activeEditor() { return m_activeEditor; }
    // The focused control of the active child window, or none.
    QWidget *activeControl() const;
    frmDocument *activeDocument() const;

    frmDocument *NewDocument();

    bool toolbarShown() const;
    bool editBarsShown() const;
    void setToolbarShown(bool shown);
    void setEditBarsShown(bool shown);

    void tbToolBar_ButtonClick(const QString &key);
    void CmdAdvanced_Click();
    void mnuViewStatusBar_Click();
    void showAbout();
    void Cut();
    void Copy();
    void Paste();
    // Ends the program at once, without saving the frame's placement.
    void exitAtOnce();
    // Drops every document without a question (tests tear down with this).
    void closeAllWithoutQuestionForTests();

    // Counts the files the frame's Open has chosen.
    int OpenCount = 0;

    QPushButton *button(const QString &name) const;

    QMdiArea *mdiArea;
    QToolBar *tbToolBar;
    EditBar *Editbar;
    AdvancedBar *AEditBar;
    QComboBox *Size;
    QStatusBar *sbStatusBar;
    QLabel *statusText;
    QLabel *statusDate;
    QLabel *statusTime;

    QMenu *mnuFile;
    QMenu *mnuView;
    QMenu *mnuHelp;
    QAction *mnuFileNew;
    QAction *mnuFileOpen;
    QAction *mnuFileExit;
    QAction *mnuViewToolbar;
    QAction *mnuViewEdit;
    QAction *mnuViewStatusBar;
    QAction *mnuViewBrowser;
    QAction *mnuContents;
    QAction *mnuHelpTemplate;
    QAction *mnuHelpAbout;

Q_SIGNALS:
    void toolbarShownChanged(bool shown);
    void editBarsShownChanged(bool shown);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildBars();
    void buildStatusBar();
    void wireCommands();
    void connectDocument(frmDocument *document);
    void switchMenus();
    void refreshClock();
    void restorePlacement();
    void savePlacement();
    QAction *menuForMnemonic(const QEvent *event) const;

    Dialogs &m_dialogs;
    ActiveEditor m_activeEditor;
    QTimer *m_clock;
    bool m_closing = false;
};

} // namespace tw
