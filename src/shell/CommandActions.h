#pragma once

#include <QList>
#include <QObject>

class QAction;

namespace tw {

// One QAction for every command of the frame: its caption, shortcut, tooltip,
// object name (the control name), enabled state and handler are set here and
// in CommandWiring only. The document windows' menus and the command bars show
// these actions themselves. A command that also appears in the frame's own
// menus or on the toolbar is shown there by an item made with itemFor().
class CommandActions : public QObject {
    Q_OBJECT
public:
    explicit CommandActions(QObject *parent = nullptr);

    // File
    QAction *fileNew;        // "&New": frame and document menus, toolbar
    QAction *fileOpen;       // "&Open": frame and document menus, toolbar
    QAction *fileExit;       // "E&xit" of the frame: closes it, placement saved
    QAction *fileClose;      // "&Close" of a document window
    QAction *fileSave;       // "Sa&ve": document menu, toolbar
    QAction *fileSaveAs;     // "Sav&e As..."
    QAction *fileProperties; // "Propert&ies": document menu, bar button
    QAction *exitAtOnce;     // "E&xit" of a document window: no placement saved
    QAction *deleteFile;     // toolbar "Delete"

    // View. A document window's menu names the bar toggles without access
    // keys, so it has two actions of its own that run the same toggles.
    QAction *viewToolbar;
    QAction *viewEditBars;
    QAction *documentViewToolbar;
    QAction *documentViewEditBars;
    QAction *viewStatusBar;
    QAction *preview;
    QAction *webBrowser;

    // Help
    QAction *contents;
    QAction *helpTemplate; // also the bar's "&Template" button
    QAction *about;

    // Clipboard (toolbar)
    QAction *cut;
    QAction *copy;
    QAction *paste;

    // The HTML Edit bar.
    QAction *line;
    QAction *image;
    QAction *fontColor;
    QAction *links;
    QAction *openProcedure;
    QAction *closeProcedure;
    QAction *bold;
    QAction *italic;
    QAction *underline;
    QAction *applySize;
    QAction *alignLeft;
    QAction *alignCenter;
    QAction *alignRight;
    QAction *advanced;

    // The Advanced bar.
    QAction *paragraph;
    QAction *breakLine;
    QAction *blockQuote;
    QAction *form;
    QAction *checkBox;
    QAction *radio;
    QAction *textField;
    QAction *textArea;
    QAction *submit;
    QAction *reset;
    QAction *table;
    QAction *picFlip;
    QAction *insertPic;

    // The top of the document window's Edit menu. Cut, Copy and Paste run the
    // toolbar's commands; each is enabled only while it can act.
    QAction *undo = nullptr;       // Ctrl+Z
    QAction *redo = nullptr;       // Ctrl+Y, Ctrl+Shift+Z
    QAction *editCut = nullptr;    // Ctrl+X
    QAction *editCopy = nullptr;   // Ctrl+C
    QAction *editPaste = nullptr;  // Ctrl+V
    QAction *selectAll = nullptr;  // Ctrl+A
    QAction *goToLine = nullptr;   // Ctrl+G
    QAction *filePrint = nullptr;  // Ctrl+P, the document window's File menu

    // How the text is shown (View menus): the toggles are kept in the
    // settings; folding all, unfolding all and the zoom act on the active page.
    QAction *viewWordWrap = nullptr;
    QAction *viewWhiteSpace = nullptr;
    QAction *viewLineEnds = nullptr;
    QAction *viewFolding = nullptr;
    QAction *foldAll = nullptr;
    QAction *unfoldAll = nullptr;
    QAction *zoomIn = nullptr;    // Ctrl++ (and Ctrl+=, the same key unshifted)
    QAction *zoomOut = nullptr;   // Ctrl+-
    QAction *zoomReset = nullptr; // Ctrl+0

    // Find and replace (the document window's Edit menu).
    QAction *find = nullptr;         // Ctrl+F
    QAction *findNext = nullptr;     // F3
    QAction *findPrevious = nullptr; // Shift+F3
    QAction *replace = nullptr;      // Ctrl+H
    // Find and replace across a folder's files (both Edit menus); Ctrl+Shift+F.
    QAction *findInFiles = nullptr;

    // Checking the page with HTML Tidy (the document window's Edit menu).
    QAction *checkPage = nullptr;      // F7
    QAction *checkAsYouType = nullptr; // checkable, kept in the settings
    // Checking the links of every page in a folder (Edit menus).
    QAction *checkSite = nullptr;
    QAction *tidyUp = nullptr;
    // Marking misspelt words (the document window's Edit menu); checkable,
    // kept in the settings, off unless chosen.
    QAction *checkSpelling = nullptr;

    // How pages look (View menus); checked state kept in the settings.
    QAction *viewHighlighting = nullptr;
    QAction *viewLineNumbers = nullptr;
    // Help while typing (View menus); checked state kept in the settings.
    QAction *viewAutoCloseTags = nullptr;
    QAction *viewCompletion = nullptr;
    QAction *viewMatchingTags = nullptr;
    // The live preview dock (View menus, F6); checked state kept in the settings.
    QAction *viewLivePreview = nullptr;

    // The actions that only a document window's menus show and that act on
    // that window; they are enabled only while a document window is active.
    QList<QAction *> documentOnly() const;

    // An action of its own that shows `command` in one more place: the same
    // caption, tooltip, object name, check mark and enabled state, kept in
    // step with the command, and triggering it. Qt keeps one accessible item
    // per QAction, bound to the first menu it was listed in, so an action in
    // two menu trees is reported hidden whenever that other tree is; each
    // tree therefore lists actions of its own. A shortcut works while its
    // action is in a shown menu or on a visible bar, so two menu trees may
    // both carry it (only one is in the menu bar at a time), while toolbar
    // items take none: a browser window's own Ctrl+O is then not overruled.
    enum class Keys { Same, None };
    static QAction *itemFor(QAction *command, QObject *owner, Keys keys = Keys::Same);
};

} // namespace tw
