#include "shell/LookWiring.h"

#include "editor/EditorLook.h"
#include "editor/EditorSettings.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "shell/CommandActions.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

#include <memory>

namespace tw {

namespace {

EditorLook *lookOf(frmDocument *document)
{
    return document ? EditorLook::of(document->textEdit) : nullptr;
}

} // namespace

void wireLook(frmMain &frame)
{
    CommandActions &a = frame.commands();
    a.viewHighlighting->setChecked(editorSettings::highlighting());
    a.viewLineNumbers->setChecked(editorSettings::lineNumbers());

    QObject::connect(a.viewHighlighting, &QAction::toggled, &frame, [&frame](bool on) {
        editorSettings::setHighlighting(on);
        for (frmDocument *document : frame.documents())
            if (EditorLook *look = lookOf(document))
                look->setHighlighting(on);
    });
    QObject::connect(a.viewLineNumbers, &QAction::toggled, &frame, [&frame](bool on) {
        editorSettings::setLineNumbers(on);
        for (frmDocument *document : frame.documents())
            if (EditorLook *look = lookOf(document))
                look->setLineNumbers(on);
    });

    auto *notice = new QLabel(QStringLiteral("Large page: shown without highlighting"));
    notice->setObjectName(QStringLiteral("plainNotice"));
    notice->setAccessibleName(notice->text());
    notice->setToolTip(QStringLiteral("Pages over 20 MB open plain to keep their speed and memory"));
    notice->hide();
    frame.statusBar()->addPermanentWidget(notice);
    // Watches the active page's look only: one connection, moved along.
    auto watched = std::make_shared<QMetaObject::Connection>();
    auto follow = [&frame, notice, watched] {
        QObject::disconnect(*watched);
        EditorLook *look = lookOf(frame.activeDocument());
        notice->setVisible(look && look->isPlain());
        if (look)
            *watched = QObject::connect(look, &EditorLook::plainChanged, notice, &QLabel::setVisible);
    };
    // The frame as receiver: it cuts its windows' signals before it is torn down.
    QObject::connect(frame.mdiArea, &QMdiArea::subWindowActivated, &frame, follow);
    follow();
}

} // namespace tw
