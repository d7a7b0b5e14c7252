#include "shell/FrameMenus.h"

#include "shell/CommandActions.h"
#include "shell/MenuKeys.h"

#include <QMenu>
#include <QMenuBar>

namespace tw {

namespace {

QMenu *menu(QWidget *owner, const char *caption, const char *name, const QList<QAction *> &items)
{
    auto *m = new QMenu(QString::fromLatin1(caption), owner);
    m->setObjectName(QLatin1String(name));
    steerSharedAccessKeys(m);
    for (QAction *item : items) {
        if (item)
            m->addAction(item);
        else
            m->addSeparator();
    }
    return m;
}

} // namespace

FrameMenus::FrameMenus(const CommandActions &a, QMenuBar *bar, QWidget *owner)
    : QObject(owner), m_bar(bar)
{
    // A null entry is a separator. The document tree lists the commands
    // themselves; the frame's tree lists items of its own for the commands
    // both trees share (see CommandActions::itemFor).
    const auto own = [owner](QAction *command) { return CommandActions::itemFor(command, owner); };
    mnuFile = menu(owner, "&File", "mnuFile", {own(a.fileNew), own(a.fileOpen), nullptr, a.fileExit});
    mnuEdit = menu(owner, "&Edit", "mnuEdit", {own(a.findInFiles), nullptr, own(a.checkSite)});
    mnuView = menu(owner, "&View", "mnuView",
                   {a.viewToolbar, a.viewEditBars, a.viewStatusBar, nullptr, own(a.webBrowser)});
    mnuHelp = menu(owner, "&Help", "mnuHelp", {own(a.contents), own(a.helpTemplate), nullptr, own(a.about)});

    documentFile = menu(owner, "&File", "mnuFile",
                        {a.fileNew, a.fileOpen, a.fileClose, nullptr, a.fileSave, a.fileSaveAs,
                         a.fileProperties, nullptr, a.filePrint, nullptr, a.exitAtOnce});
    documentView = menu(owner, "&View", "mnuView",
                        {a.documentViewToolbar, a.documentViewEditBars, nullptr, a.preview, a.webBrowser});
    documentHelp = menu(owner, "&Help", "mnuHelp", {a.contents, a.helpTemplate, nullptr, a.about});

    documentEdit = menu(owner, "&Edit", "mnuEdit",
                        {a.undo, a.redo, nullptr, a.editCut, a.editCopy, a.editPaste, nullptr, a.selectAll,
                         nullptr, a.find, a.findNext, a.findPrevious, nullptr, a.replace, a.findInFiles, nullptr,
                         a.goToLine});

    mnuView->addSeparator();
    mnuView->addAction(own(a.viewHighlighting));
    mnuView->addAction(own(a.viewLineNumbers));
    mnuView->addAction(own(a.viewLivePreview));
    documentView->addSeparator();
    documentView->addAction(a.viewHighlighting);
    documentView->addAction(a.viewLineNumbers);
    documentView->addAction(a.viewLivePreview);
    mnuView->addSeparator();
    documentView->addSeparator();
    for (QAction *help : {a.viewAutoCloseTags, a.viewCompletion, a.viewMatchingTags}) {
        mnuView->addAction(own(help));
        documentView->addAction(help);
    }
    // How the text is shown: the toggles in both trees, the commands that
    // act on a page in a document window's only.
    mnuView->addSeparator();
    documentView->addSeparator();
    for (QAction *toggle : {a.viewWordWrap, a.viewWhiteSpace, a.viewLineEnds, a.viewFolding}) {
        mnuView->addAction(own(toggle));
        documentView->addAction(toggle);
    }
    documentView->addAction(a.foldAll);
    documentView->addAction(a.unfoldAll);
    QMenu *zoom = menu(owner, "&Zoom", "mnuViewZoom", {a.zoomIn, a.zoomOut, nullptr, a.zoomReset});
    documentView->addMenu(zoom);

    documentEdit->addSeparator();
    documentEdit->addAction(a.checkPage);
    documentEdit->addAction(a.checkAsYouType);
    documentEdit->addAction(a.checkSite);
    documentEdit->addAction(a.checkSpelling);
    spellingLanguage = menu(owner, "Spelling Lan&guage", "mnuEditSpellingLanguage", {});
    documentEdit->addMenu(spellingLanguage);
    documentEdit->addAction(a.tidyUp);
    show(frameMenus());
}

void FrameMenus::show(const QList<QMenu *> &menus)
{
    if (menus == m_shown)
        return;
    m_bar->clear();
    for (QMenu *m : menus)
        m_bar->addMenu(m);
    m_shown = menus;
}

} // namespace tw
