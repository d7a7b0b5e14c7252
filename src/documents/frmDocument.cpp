#include "documents/frmDocument.h"

#include "documents/MenuItems.h"
#include "documents/SourceEditor.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMdiSubWindow>
#include <QMenu>

namespace tw {

namespace {
int g_documentCount = 0;
} // namespace

int raiseDocumentCount()
{
    return ++g_documentCount;
}

int documentCount()
{
    return g_documentCount;
}

void resetDocumentCountForTests()
{
    g_documentCount = 0;
}

bool isUntitledCaption(const QString &caption)
{
    return caption.left(8).toLower() == QLatin1String("document");
}

frmDocument::frmDocument(QWidget *parent) : QWidget(parent), TxtText(new SourceEditor(this))
{
    setObjectName(QStringLiteral("frmDocument"));
    TxtText->setObjectName(QStringLiteral("TxtText"));
    setFocusProxy(TxtText);
    setMinimumSize(1, 1);

    mnuFile = newMenu(this, "&File", "mnuFile");
    mnuNew = addMenuItem(mnuFile, "&New", "mnuNew", QKeySequence(QStringLiteral("Ctrl+N")));
    mnuOpen = addMenuItem(mnuFile, "&Open", "mnuOpen", QKeySequence(QStringLiteral("Ctrl+O")));
    mnuClose = addMenuItem(mnuFile, "&Close", "mnuClose");
    mnuFile->addSeparator();
    mnuFileSave = addMenuItem(mnuFile, "Sa&ve", "mnuFileSave");
    mnuFileSaveAs = addMenuItem(mnuFile, "Sav&e As...", "mnuFileSaveAs");
    mnuProperties = addMenuItem(mnuFile, "Propert&ies", "mnuProperties");
    mnuFile->addSeparator();
    mnuExit = addMenuItem(mnuFile, "E&xit", "mnuExit");

    mnuView = newMenu(this, "&View", "mnuView");
    mnuViewToolbar = addCheckItem(mnuView, "Toolbar", "mnuViewToolbar");
    mnuViewEdit = addCheckItem(mnuView, "HTML Edit Toolbar", "mnuViewEdit");
    mnuView->addSeparator();
    mnuPreview = addMenuItem(mnuView, "&Preview", "mnuPreview", QKeySequence(Qt::Key_F5));
    mnuViewBrowser = addMenuItem(mnuView, "&Web Browser", "mnuViewBrowser");

    mnuHelp = newMenu(this, "&Help", "mnuHelp");
    mnuContents = addMenuItem(mnuHelp, "&Contents", "mnuContents");
    mnuViewTemplate = addMenuItem(mnuHelp, "&Template", "mnuViewTemplate", QKeySequence(Qt::Key_F1));
    mnuHelp->addSeparator();
    mnuAbout = addMenuItem(mnuHelp, "&About Tagwright...", "mnuAbout");

    connect(mnuClose, &QAction::triggered, this, &frmDocument::mnuClose_Click);
    layoutEditor();
}

void frmDocument::showBarState(bool toolbarShown, bool editBarsShown)
{
    mnuViewToolbar->setChecked(toolbarShown);
    mnuViewEdit->setChecked(editBarsShown);
}

void frmDocument::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutEditor();
}

// The editor keeps a margin of 15 twips on the left and top and 10 on the right
// and bottom; a window too small for that leaves the editor where it was.
void frmDocument::layoutEditor()
{
    const int w = width() - px(25);
    const int h = height() - px(25);
    if (w < 0 || h < 0)
        return;
    TxtText->setGeometry(px(15), px(15), w, h);
}

void frmDocument::closeEvent(QCloseEvent *event)
{
    if (!m_closeWithoutQuestion && closeGuard && !closeGuard(this)) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmDocument::closeWithoutQuestion()
{
    m_closeWithoutQuestion = true;
    mnuClose_Click();
}

void frmDocument::mnuClose_Click()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

} // namespace tw
