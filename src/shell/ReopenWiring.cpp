#include "shell/ReopenWiring.h"

#include "documents/DocumentJournal.h"
#include "documents/ReopenPages.h"
#include "documents/frmDocument.h"
#include "shell/CommandActions.h"
#include "shell/FrameMenus.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace tw {

void wireReopenPages(frmMain &frame)
{
    auto *keeper = new OpenPagesKeeper(frame, defaultOpenPagesFile(), &frame);
    keeper->setObjectName(QStringLiteral("openPagesKeeper"));
    auto *toggle = new QAction(QStringLiteral("Reopen Pages at Start"), &frame);
    toggle->setObjectName(QStringLiteral("mnuFileReopenPages"));
    toggle->setToolTip(QStringLiteral("Open the pages open now again when Tagwright next starts"));
    toggle->setCheckable(true);
    toggle->setChecked(reopenPagesChosen());
    keeper->setEnabled(toggle->isChecked());
    QObject::connect(toggle, &QAction::toggled, keeper, [keeper](bool on) {
        setReopenPagesChosen(on);
        keeper->setEnabled(on);
    });
    frame.menus().documentFile->addAction(toggle);
    frame.menus().mnuFile->addAction(CommandActions::itemFor(toggle, &frame));

    // Every new window is activated as it opens, so this meets each one.
    QObject::connect(frame.mdiArea, &QMdiArea::subWindowActivated, &frame, [&frame, keeper] {
        if (frmDocument *document = frame.activeDocument())
            keeper->watch(document);
        keeper->changed();
    });
    QObject::connect(&frame, &frmMain::closingAll, keeper, &OpenPagesKeeper::finish);
}

void openStartPages(frmMain &frame, const QStringList &commandLine, const QString &journalFolder)
{
    const QList<frmDocument *> restored = offerRecovery(frame, journalFolder);
    auto *keeper = frame.findChild<OpenPagesKeeper *>(QStringLiteral("openPagesKeeper"));
    if (!keeper || !keeper->isEnabled()) {
        frame.openFiles(commandLine);
        if (keeper)
            keeper->begin();
        return;
    }
    QStringList restoredPages;
    for (frmDocument *document : restored) {
        if (!document->isUntitled())
            restoredPages << document->caption();
    }
    reopenPages(frame, frame.openCount, planReopen(readOpenPages(keeper->file()), restoredPages, commandLine));
    keeper->begin();
}

} // namespace tw
