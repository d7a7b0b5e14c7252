#include "documents/frmDocument.h"

#include "editor/EditorLook.h"
#include "editor/EditorSettings.h"
#include "editor/SourceEditor.h"
#include "editor/TypingHelp.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

namespace tw {

int DocumentCount = 0;

bool isUntitledCaption(const QString &caption)
{
    return caption.left(8).toLower() == QLatin1String("document");
}

frmDocument::frmDocument(QWidget *parent) : QWidget(parent), textEdit(new SourceEditor(this))
{
    setObjectName(QStringLiteral("frmDocument"));
    textEdit->setObjectName(QStringLiteral("TxtText"));
    setFocusProxy(textEdit);
    setMinimumSize(1, 1);
    layoutEditor();
    EditorLook::attach(textEdit, editorSettings::highlighting(), editorSettings::lineNumbers());
    TypingHelp::attach(textEdit, {editorSettings::closeTags(), editorSettings::completion(),
                                  editorSettings::matchingTags()});
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
    textEdit->setGeometry(px(15), px(15), w, h);
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
    closeWindow();
}

void frmDocument::closeWindow()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

} // namespace tw
