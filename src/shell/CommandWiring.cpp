#include "shell/CommandWiring.h"

#include "browser/BrowserCommands.h"
#include "documents/DocumentFiles.h"
#include "documents/Preview.h"
#include "editor/EditorOperations.h"
#include "editor/FindDialog.h"
#include "shell/FindInFiles.h"
#include "shell/SpellingWiring.h"
#include "documents/PageWatcher.h"
#include "documents/RecentPages.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "generators/FormCommands.h"
#include "generators/PageProperties.h"
#include "generators/TableCommand.h"
#include "markup/FontCommands.h"
#include "markup/ImageCommand.h"
#include "markup/LinkCommand.h"
#include "markup/MarkupWindows.h"
#include "markup/TagCommands.h"
#include "rollover/RolloverCommands.h"
#include "shell/BarToggles.h"
#include "shell/CommandActions.h"
#include "shell/FrameMenus.h"
#include "shell/InstallLayout.h"
#include "shell/HabitsWiring.h"
#include "shell/LiveWiring.h"
#include "shell/LookWiring.h"
#include "shell/ReopenWiring.h"
#include "shell/TypingWiring.h"
#include "shell/ProblemsDock.h"
#include "shell/SiteWiring.h"
#include "shell/CommandBars.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"
#include "site/SiteFolder.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>

namespace tw {

namespace {

template <typename Work>
void on(QAction *action, frmMain &frame, Work work)
{
    QObject::connect(action, &QAction::triggered, &frame, work);
}

void showAbout(frmMain &frame)
{
    frmSplash splash(&frame);
    splash.exec();
}

// Closes the active document window; its close guard asks about unsaved text.
void closeActiveDocument(frmMain &frame)
{
    if (frmDocument *document = frame.activeDocument())
        document->closeWindow();
}

} // namespace

void wireCommands(frmMain &frame)
{
    CommandActions &a = frame.commands();
    BarToggles &bars = frame.bars();
    ActiveEditor &editor = frame.activeEditor();
    Dialogs &dialogs = frame.dialogs();

    // Pages and windows.
    on(a.fileNew, frame, [&frame] { frame.NewDocument(); });
    on(a.fileOpen, frame, [&frame] { openWithDialog(frame, frame.openCount); });
    on(a.fileSave, frame, [&frame] { SaveActiveDocument(frame); });
    on(a.fileSaveAs, frame, [&frame] { saveDocumentAs(frame, frame.activeDocument()); });
    on(a.fileClose, frame, [&frame] { closeActiveDocument(frame); });
    on(a.helpTemplate, frame, [&frame] { NewFromTemplate(frame); });
    on(a.deleteFile, frame, [&frame] { DeleteActiveDocument(frame); });
    on(a.fileExit, frame, [&frame] { frame.close(); });
    on(a.exitAtOnce, frame, [&frame] { frame.exitAtOnce(); });
    on(a.about, frame, [&frame] { showAbout(frame); });

    // Browser windows.
    on(a.preview, frame, [&frame] {
        PreviewActiveDocument(frame, [&frame](const QString &page) { openBrowserWindow(frame, page); });
    });
    on(a.webBrowser, frame, [&frame] { ShowSampleInBrowser(frame); });
    on(a.contents, frame, [&frame] { ShowHelpContents(frame); });

    // Bars.
    for (QAction *toggle : {a.viewToolbar, a.documentViewToolbar})
        on(toggle, frame, [&bars] { bars.toggleToolbar(); });
    for (QAction *toggle : {a.viewEditBars, a.documentViewEditBars})
        on(toggle, frame, [&bars] { bars.toggleEditBars(); });
    on(a.viewStatusBar, frame, [&bars] { bars.mnuViewStatusBar_Click(); });
    on(a.advanced, frame, [&bars, &editor] {
        bars.CmdAdvanced_Click();
        editor.focusBack();
    });

    // Clipboard.
    on(a.cut, frame, [&editor] { cutSelection(editor); });
    on(a.copy, frame, [&editor] { copySelection(editor); });
    on(a.paste, frame, [&editor] { pasteClipboard(editor); });

    // One-press tags.
    const std::pair<QAction *, const TagCommand *> tagButtons[] = {
        {a.bold, &tags::bold},
        {a.italic, &tags::italic},
        {a.underline, &tags::underline},
        {a.blockQuote, &tags::blockQuote},
        {a.alignCenter, &tags::center},
        {a.alignLeft, &tags::left},
        {a.alignRight, &tags::right},
        {a.breakLine, &tags::breakLine},
        {a.paragraph, &tags::paragraph},
        {a.line, &tags::line},
        {a.openProcedure, &tags::openProcedure},
        {a.closeProcedure, &tags::closeProcedure},
    };
    for (const auto &[action, command] : tagButtons)
        on(action, frame, [&editor, command = command] { runTagCommand(*command, editor); });

    // Commands that ask through windows of their own.
    CommandState &state = frame.markupState();
    MarkupWindows &windows = frame.markupWindows();
    QComboBox *sizeBox = frame.editBar->sizeBox;
    on(a.applySize, frame, [&editor, sizeBox] { CmdSize_Click(editor, sizeBox->currentText()); });
    // Enter in the size box applies the size and leaves the box's text and list alone.
    sizeBox->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(sizeBox->lineEdit(), &QLineEdit::returnPressed, a.applySize, &QAction::trigger);
    on(a.fontColor, frame, [&state, &editor, &windows, &frame] {
        CmdFontColor_Click(state, editor, windows, &frame);
    });
    on(a.links, frame, [&dialogs, &editor, &windows, &frame] {
        CmdLinks_Click(dialogs, editor, windows, &frame);
    });
    on(a.image, frame, [&state, &editor, &windows, &frame] {
        CmdImage_Click(state, editor, frame, windows, &frame);
    });
    on(a.fileProperties, frame, [&state, &editor, &dialogs, &windows, &frame] {
        CmdProperties_Click(state, editor, realPageProperties(dialogs, windows, &frame));
    });

    // Prompted generators.
    using Generator = void (*)(Dialogs &, ActiveEditor &);
    const std::pair<QAction *, Generator> generators[] = {
        {a.form, &CmdForm_Click},
        {a.checkBox, &CmdCheckBox_Click},
        {a.radio, &CmdRadio_Click},
        {a.textField, &CmdText_Click},
        {a.textArea, &TextArea_Click},
        {a.submit, &CmdSubmit_Click},
        {a.reset, &CmdReset_Click},
        {a.table, &CmdTable_Click},
        {a.picFlip, static_cast<Generator>(&CmdPicFlip_Click)},
        {a.insertPic, &CmdInsertPic_Click},
    };
    for (const auto &[action, generator] : generators)
        on(action, frame, [&dialogs, &editor, generator = generator] { generator(dialogs, editor); });

    // Find and replace: one window for the frame, acting on the active page.
    auto *findDialog = new FindDialog(
        [&frame]() -> SourceEditor * {
            frmDocument *document = frame.activeDocument();
            return document ? document->textEdit : nullptr;
        },
        &frame);
    on(a.find, frame, [findDialog] { findDialog->showFind(); });
    on(a.replace, frame, [findDialog] { findDialog->showReplace(); });
    on(a.findNext, frame, [findDialog] { findDialog->findNext(); });
    on(a.findPrevious, frame, [findDialog] { findDialog->findPrevious(); });

    // Find and replace across a folder's files: the Search Results dock. The
    // site's folder is the one offered, when one is open.
    wireFindInFiles(frame, [] { return SiteFolder::instance().folder(); });

    // Highlighting and line numbers.
    wireLook(frame);
    // Help while typing.
    wireTypingHelp(frame);
    // Undo, the clipboard, Go to Line, printing and how the text is shown.
    wireHabits(frame);

    // Checking pages with HTML Tidy: the Problems dock.
    wireChecking(frame);
    // Spelling of the pages' text.
    wireSpelling(frame);
    wireLivePreview(frame);
    // The site's folder: its dock and commands.
    wireSite(frame);

    // Recent pages, at the end of both File menus.
    auto *recent = new RecentPages(frame, frame.openCount, &frame);
    for (QMenu *file : {frame.menus().mnuFile, frame.menus().documentFile}) {
        file->addSeparator();
        file->addMenu(recent->newMenu());
    }
    wireReopenPages(frame);

    // Pages changed or deleted by other programs.
    new PageWatcher(frame, &frame);

    // An installed tree keeps the browser module under its own prefix.
    addInstalledBrowserModuleDir();
}

} // namespace tw
