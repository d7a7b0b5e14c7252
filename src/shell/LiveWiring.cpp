#include "shell/LiveWiring.h"

#include "browser/LivePreviewDock.h"
#include "documents/frmDocument.h"
#include "editor/EditorSettings.h"
#include "shell/CommandActions.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <memory>

namespace tw {

void wireLivePreview(frmMain &frame)
{
    QAction *toggle = frame.commands().viewLivePreview;
    auto dock = std::make_shared<QPointer<LivePreviewDock>>();
    // The dock shows the active document window; while another kind of
    // window is active it keeps the last document (until that closes).
    const auto follow = [&frame, dock] {
        frmDocument *document = frame.activeDocument();
        if (*dock && document)
            (*dock)->setDocument(document);
    };
    const auto made = [&frame, dock, toggle, follow]() -> LivePreviewDock * {
        if (!*dock) {
            auto *d = new LivePreviewDock(frame, &frame);
            d->setOpenDocuments([&frame] {
                QList<frmDocument *> documents;
                for (QMdiSubWindow *w : frame.mdiArea->subWindowList())
                    if (auto *document = qobject_cast<frmDocument *>(w->widget()))
                        documents << document;
                return documents;
            });
            frame.addDockWidget(Qt::RightDockWidgetArea, d);
            // A third of the frame: room for a page beside the editor.
            frame.resizeDocks({d}, {qMax(frame.width() / 3, 240)}, Qt::Horizontal);
            QObject::connect(d, &LivePreviewDock::closed, toggle, [toggle] { toggle->setChecked(false); });
            // The frame as receiver: it cuts its windows' signals before it is torn down.
            QObject::connect(frame.mdiArea, &QMdiArea::subWindowActivated, &frame, follow);
            *dock = d;
        }
        return *dock;
    };
    const auto apply = [&frame, dock, made](bool on) {
        if (on) {
            LivePreviewDock *d = made();
            if (frmDocument *document = frame.activeDocument())
                d->setDocument(document);
            d->show();
        } else if (*dock) {
            (*dock)->hide();
        }
    };
    toggle->setChecked(editorSettings::livePreview());
    QObject::connect(toggle, &QAction::toggled, &frame, [apply](bool on) {
        editorSettings::setLivePreview(on);
        apply(on);
    });
    if (toggle->isChecked())
        apply(true);
}

} // namespace tw
