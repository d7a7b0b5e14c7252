#pragma once

#include "documents/PageFile.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;

namespace tw {

class SourceEditor;

// The process-wide counter behind "Document N" captions. It is raised before
// each new empty or template document and never lowered.
int raiseDocumentCount();
int documentCount();
void resetDocumentCountForTests();

// A document is untitled while the first eight characters of its caption,
// lower-cased, are "document"; a file path is titled.
bool isUntitledCaption(const QString &caption);

// A document window: one editor whose text is the whole page, and a caption
// that is the document's identity and, once it has a file, the file's path.
// Its own menus replace the frame's while it is the active child; the frame
// connects their actions.
class frmDocument : public QWidget {
    Q_OBJECT
public:
    explicit frmDocument(QWidget *parent = nullptr);

    QString caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    bool isUntitled() const { return isUntitledCaption(caption()); }

    QList<QMenu *> menus() const { return {mnuFile, mnuView, mnuHelp}; }

    // Keeps the View check marks equal to the frame's bar visibility.
    void showBarState(bool toolbarShown, bool editBarsShown);

    SourceEditor *TxtText;

    QMenu *mnuFile;
    QMenu *mnuView;
    QMenu *mnuHelp;
    QAction *mnuNew;
    QAction *mnuOpen;
    QAction *mnuClose;
    QAction *mnuFileSave;
    QAction *mnuFileSaveAs;
    QAction *mnuProperties;
    QAction *mnuExit;
    QAction *mnuViewToolbar;
    QAction *mnuViewEdit;
    QAction *mnuPreview;
    QAction *mnuViewBrowser;
    QAction *mnuContents;
    QAction *mnuViewTemplate;
    QAction *mnuAbout;

    // How the page's text is written back to its file.
    PageEncoding encoding = PageEncoding::Utf8;

    // Asked before the window closes; returning false keeps it open.
    std::function<bool(frmDocument *)> closeGuard;
    // Closes the window and drops its text without asking.
    void closeWithoutQuestion();

    // Counts the files this window's File, Open has chosen; it only numbers the
    // caption of a window while its file is loading.
    int OpenCount = 0;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layoutEditor();
    void mnuClose_Click();
    bool m_closeWithoutQuestion = false;
};

} // namespace tw
