#include "shell/CommandActions.h"

#include <QAction>
#include <QKeySequence>

namespace tw {

namespace {

// text: the caption menus show; tip: the tooltip of toolbar and bar buttons.
QAction *make(QObject *owner, const char *name, const char *text, const char *tip = nullptr,
              const QKeySequence &shortcut = {})
{
    auto *action = new QAction(QString::fromLatin1(text), owner);
    action->setObjectName(QLatin1String(name));
    if (tip)
        action->setToolTip(QString::fromLatin1(tip));
    action->setShortcut(shortcut);
    // Toolbar pictures stay on the toolbar; the menus show captions only.
    action->setIconVisibleInMenu(false);
    return action;
}

QAction *makeCheck(QObject *owner, const char *name, const char *text)
{
    QAction *action = make(owner, name, text);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

QKeySequence keys(const char *portable)
{
    return QKeySequence(QString::fromLatin1(portable));
}

} // namespace

CommandActions::CommandActions(QObject *parent) : QObject(parent)
{
    fileNew = make(this, "mnuFileNew", "&New", "New", keys("Ctrl+N"));
    fileOpen = make(this, "mnuFileOpen", "&Open", "Open", keys("Ctrl+O"));
    fileExit = make(this, "mnuFileExit", "E&xit");
    fileClose = make(this, "mnuClose", "&Close");
    fileSave = make(this, "mnuFileSave", "Sa&ve", "Save");
    fileSaveAs = make(this, "mnuFileSaveAs", "Sav&e As...");
    fileProperties = make(this, "mnuProperties", "Propert&ies", "Page Properties");
    exitAtOnce = make(this, "mnuExit", "E&xit");
    deleteFile = make(this, "tbTrash", "Delete", "Delete");

    viewToolbar = makeCheck(this, "mnuViewToolbar", "&Toolbar");
    viewEditBars = makeCheck(this, "mnuViewEdit", "HTML &Edit Toolbar");
    documentViewToolbar = makeCheck(this, "mnuViewToolbar", "Toolbar");
    documentViewEditBars = makeCheck(this, "mnuViewEdit", "HTML Edit Toolbar");
    viewStatusBar = makeCheck(this, "mnuViewStatusBar", "Status &Bar");
    preview = make(this, "mnuPreview", "&Preview", "Preview", QKeySequence(Qt::Key_F5));
    webBrowser = make(this, "mnuViewBrowser", "&Web Browser", "Web Browser");

    contents = make(this, "mnuContents", "&Contents");
    helpTemplate = make(this, "mnuHelpTemplate", "&Template", "Create Document from template",
                        QKeySequence(Qt::Key_F1));
    about = make(this, "mnuHelpAbout", "&About Tagwright...");

    cut = make(this, "tbCut", "Cut", "Cut");
    copy = make(this, "tbCopy", "Copy", "Copy");
    paste = make(this, "tbPaste", "Paste", "Paste");

    line = make(this, "CmdLine", "&Line", "Line");
    image = make(this, "CmdImage", "I&mage", "Image");
    fontColor = make(this, "CmdFontColor", "&Font Color", "Custom color for text");
    links = make(this, "CmdLinks", "L&inks", "Add links");
    openProcedure = make(this, "CmdOpenProcedure", "<", "Open procedure");
    closeProcedure = make(this, "CmdCloseProcedure", ">", "Close procedure");
    bold = make(this, "CmdBold", "B", "Bold");
    italic = make(this, "CmdItalic", "I", "Italics");
    underline = make(this, "CmdUndeline", "U", "Undeline");
    applySize = make(this, "CmdSize", "A", "Apply fontsize");
    alignLeft = make(this, "CmdLeft", "L", "Align to left");
    alignCenter = make(this, "CmdCenter", "C", "Align center");
    alignRight = make(this, "CmdRight", "R", "Align to right");
    advanced = make(this, "CmdAdvanced", "&Advanced", "Advanced toolbar");

    paragraph = make(this, "CmdParagraphe", "&Paragraph", "Paragraph");
    breakLine = make(this, "BreakLine", "Break &Line", "Break Line");
    blockQuote = make(this, "CmdBlockQuote", "Block Quote", "Block Quote");
    form = make(this, "CmdForm", "&Form", "New Form");
    checkBox = make(this, "CmdCheckBox", "Chec&k Box", "Check Box");
    radio = make(this, "CmdRadio", "&Radio", "Radio");
    textField = make(this, "CmdText", "&Text", "Text");
    textArea = make(this, "TextArea", "Text &Area", "Text Area");
    submit = make(this, "CmdSubmit", "&Submit", "Submit Button");
    reset = make(this, "CmdReset", "Re&set", "Reset Button");
    table = make(this, "CmdTable", "Ta&ble", "Reset Button");
    picFlip = make(this, "CmdPicFlip", "Pi&c Flip", "Picture Flip Java Script");
    insertPic = make(this, "CmdInsertPic", "I&nsert Pic", "Insert a Picture Flip");

    find = make(this, "mnuEditFind", "&Find...", "Find text in the page", QKeySequence(Qt::CTRL | Qt::Key_F));
    findNext = make(this, "mnuEditFindNext", "Find &Next", "Find the next match", QKeySequence(Qt::Key_F3));
    findPrevious = make(this, "mnuEditFindPrevious", "Find Pre&vious", "Find the previous match",
                        QKeySequence(Qt::SHIFT | Qt::Key_F3));
    // R belongs to Redo in this menu.
    replace = make(this, "mnuEditReplace", "R&eplace...", "Replace text in the page",
                   QKeySequence(Qt::CTRL | Qt::Key_H));
    findInFiles = make(this, "mnuEditFindInFiles", "Find &in Files...", "Find and replace text in the files of a folder",
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));

    undo = make(this, "mnuEditUndo", "&Undo", "Undo the last change", QKeySequence::Undo);
    redo = make(this, "mnuEditRedo", "&Redo", "Redo the change undone last");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    editCut = make(this, "mnuEditCut", "Cu&t", "Cut", QKeySequence::Cut);
    editCopy = make(this, "mnuEditCopy", "&Copy", "Copy", QKeySequence::Copy);
    editPaste = make(this, "mnuEditPaste", "&Paste", "Paste", QKeySequence::Paste);
    selectAll = make(this, "mnuEditSelectAll", "Select &All", "Select the whole page", QKeySequence::SelectAll);
    goToLine = make(this, "mnuEditGoToLine", "Go to &Line...", "Move the caret to a line of the page",
                    QKeySequence(Qt::CTRL | Qt::Key_G));
    filePrint = make(this, "mnuFilePrint", "&Print...", "Print the page's source", QKeySequence::Print);

    viewWordWrap = makeCheck(this, "mnuViewWordWrap", "Word &Wrap");
    viewWordWrap->setToolTip(QStringLiteral("Wrap long lines at the window's edge"));
    viewWhiteSpace = makeCheck(this, "mnuViewWhiteSpace", "Show &White Space");
    viewWhiteSpace->setToolTip(QStringLiteral("Show blanks and tabs as marks"));
    viewLineEnds = makeCheck(this, "mnuViewLineEnds", "Show Line &Ends");
    viewLineEnds->setToolTip(QStringLiteral("Show the line ends: CR, LF or CR LF"));
    viewFolding = makeCheck(this, "mnuViewFolding", "&Folding");
    viewFolding->setToolTip(QStringLiteral("Fold elements, comments and scripts from the margin"));
    foldAll = make(this, "mnuViewFoldAll", "Fold &All", "Fold every block of the page");
    unfoldAll = make(this, "mnuViewUnfoldAll", "&Unfold All", "Show every line of the page");
    zoomIn = make(this, "mnuViewZoomIn", "Zoom &In", "Larger text");
    zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoomOut = make(this, "mnuViewZoomOut", "Zoom &Out", "Smaller text", QKeySequence(Qt::CTRL | Qt::Key_Minus));
    zoomReset = make(this, "mnuViewZoomReset", "&Reset Zoom", "Text at its usual size",
                     QKeySequence(Qt::CTRL | Qt::Key_0));

    checkPage = make(this, "mnuEditCheckPage", "Check &Page", "Check the page with HTML Tidy",
                     QKeySequence(Qt::Key_F7));
    checkAsYouType = makeCheck(this, "mnuEditCheckAsYouType", "Check As You Type");
    checkAsYouType->setToolTip(QStringLiteral("Check the page again whenever typing pauses"));
    checkAsYouType->setChecked(false);
    checkSite = make(this, "mnuEditCheckSite", "Check &Site", "Check the links of every page in the folder");
    tidyUp = make(this, "mnuEditTidyUp", "Tidy &Up Page", "Indent the page's markup with HTML Tidy");
    checkSpelling = makeCheck(this, "mnuEditCheckSpelling", "Check &Spelling");
    checkSpelling->setToolTip(QStringLiteral("Underline the words of the page's text the dictionary does not know"));
    checkSpelling->setChecked(false);

    viewHighlighting = makeCheck(this, "mnuViewHighlighting", "HTML &Highlighting");
    viewHighlighting->setToolTip(QStringLiteral("Colour tags, attributes, comments and scripts"));
    viewLineNumbers = makeCheck(this, "mnuViewLineNumbers", "Line &Numbers");
    viewLineNumbers->setToolTip(QStringLiteral("Show line numbers beside the page"));
    viewAutoCloseTags = makeCheck(this, "mnuViewAutoCloseTags", "Auto-&Close Tags");
    viewAutoCloseTags->setToolTip(QStringLiteral("Add the closing tag when an opening tag is typed"));
    viewCompletion = makeCheck(this, "mnuViewCompletion", "&Completion");
    viewCompletion->setToolTip(QStringLiteral("Offer element and attribute names while typing"));
    viewMatchingTags = makeCheck(this, "mnuViewMatchingTags", "&Matching Tags");
    viewMatchingTags->setToolTip(QStringLiteral("Mark the tag the caret is in and its partner"));
    viewLivePreview = makeCheck(this, "mnuViewLivePreview", "&Live Preview");
    viewLivePreview->setChecked(false);
    viewLivePreview->setShortcut(QKeySequence(Qt::Key_F6));
    viewLivePreview->setToolTip(QStringLiteral("Show the page as you type it, beside the editor"));
}

QList<QAction *> CommandActions::documentOnly() const
{
    return {fileClose, fileSaveAs, exitAtOnce, documentViewToolbar, documentViewEditBars,
            find, findNext, findPrevious, replace, checkPage, tidyUp, selectAll, goToLine, filePrint,
            foldAll, unfoldAll, zoomIn, zoomOut, zoomReset};
}

QAction *CommandActions::itemFor(QAction *command, QObject *owner, Keys keys)
{
    auto *item = new QAction(command->text(), owner);
    item->setObjectName(command->objectName());
    item->setIconVisibleInMenu(false);
    item->setCheckable(command->isCheckable());
    if (keys == Keys::Same)
        item->setShortcut(command->shortcut());
    const auto follow = [command, item] {
        item->setText(command->text());
        item->setToolTip(command->toolTip());
        item->setEnabled(command->isEnabled());
        item->setVisible(command->isVisible());
        item->setChecked(command->isChecked());
    };
    follow();
    connect(command, &QAction::changed, item, follow);
    // A click flips the item's own check mark, then the command's through
    // trigger(); both start equal, so they stay equal.
    connect(item, &QAction::triggered, command, [command] { command->trigger(); });
    return item;
}

} // namespace tw
