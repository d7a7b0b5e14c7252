#include "documents/frmDocument.h"

#include "documents/SourceEditor.h"
#include "platform/Twips.h"

#include <QAction>
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

    auto action = [this](QMenu *menu, const QString &caption, const char *name) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };

    mnuFile = new QMenu(QStringLiteral("&File"), this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuNew = action(mnuFile, QStringLiteral("&New"), "mnuNew");
    mnuNew->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    mnuOpen = action(mnuFile, QStringLiteral("&Open"), "mnuOpen");
    mnuOpen->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    mnuClose = action(mnuFile, QStringLiteral("&Close"), "mnuClose");
    mnuFile->addSeparator();
    mnuFileSave = action(mnuFile, QStringLiteral("Sa&ve"), "mnuFileSave");
    mnuFileSaveAs = action(mnuFile, QStringLiteral("Sav&e As..."), "mnuFileSaveAs");
    mnuProperties = action(mnuFile, QStringLiteral("Propert&ies"), "mnuProperties");
    mnuFile->addSeparator();
    mnuExit = action(mnuFile, QStringLiteral("E&xit"), "mnuExit");

    mnuView = new QMenu(QStringLiteral("&View"), this);
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewToolbar = action(mnuView, QStringLiteral("Toolbar"), "mnuViewToolbar");
    mnuViewToolbar->setCheckable(true);
    mnuViewToolbar->setChecked(true);
    mnuViewEdit = action(mnuView, QStringLiteral("HTML Edit Toolbar"), "mnuViewEdit");
    mnuViewEdit->setCheckable(true);
    mnuViewEdit->setChecked(true);
    mnuView->addSeparator();
    mnuPreview = action(mnuView, QStringLiteral("&Preview"), "mnuPreview");
    mnuPreview->setShortcut(QKeySequence(Qt::Key_F5));
    mnuViewBrowser = action(mnuView, QStringLiteral("&Web Browser"), "mnuViewBrowser");

    mnuHelp = new QMenu(QStringLiteral("&Help"), this);
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuContents = action(mnuHelp, QStringLiteral("&Contents"), "mnuContents");
    mnuViewTemplate = action(mnuHelp, QStringLiteral("&Template"), "mnuViewTemplate");
    mnuViewTemplate->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelp->addSeparator();
    mnuAbout = action(mnuHelp, QStringLiteral("&About Tagwright..."), "mnuAbout");

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

void frmDocument::mnuClose_Click()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

} // namespace tw
