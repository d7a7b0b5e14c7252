#include "documents/frmDocument.h"

#include "editor/EditorLook.h"
#include "editor/EditorSettings.h"
#include "editor/SourceEditor.h"
#include "editor/TypingHelp.h"
#include "platform/NoticeBar.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>

namespace tw {

int DocumentCount = 0;

bool isUntitledCaption(const QString &caption)
{
    return caption.left(8).toLower() == QLatin1String("document");
}

frmDocument::frmDocument(QWidget *parent)
    : QWidget(parent), textEdit(new SourceEditor(this)), notices(new NoticeBar(this))
{
    setObjectName(QStringLiteral("frmDocument"));
    textEdit->setObjectName(QStringLiteral("TxtText"));
    setFocusProxy(textEdit);
    connect(notices, &NoticeBar::changed, this, &frmDocument::layoutEditor);
    textEdit->installEventFilter(this);
    setMinimumSize(1, 1);
    layoutEditor();
    EditorLook *look = EditorLook::attach(textEdit, editorSettings::highlighting(), editorSettings::lineNumbers());
    look->setFolding(editorSettings::folding());
    look->setWordWrap(editorSettings::wordWrap());
    look->setWhiteSpace(editorSettings::whiteSpace());
    look->setLineEnds(editorSettings::lineEnds());
    TypingHelp::attach(textEdit, {editorSettings::closeTags(), editorSettings::completion(),
                                  editorSettings::matchingTags()});
}

void frmDocument::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutEditor();
}

// The editor keeps a margin of 15 twips on the left and top and 10 on the right
// and bottom; a window too small for that leaves the editor where it was. A
// notice bar shown takes the top, at most half the height, the editor the
// rest below it.
void frmDocument::layoutEditor()
{
    const int w = width() - px(25);
    int top = px(15);
    if (!notices->isHidden() && w > 0) {
        const int wanted = notices->hasHeightForWidth() ? notices->heightForWidth(w) : notices->sizeHint().height();
        const int bar = qMax(0, qMin(wanted, (height() - px(40)) / 2));
        notices->setGeometry(px(15), top, w, bar);
        top += bar + px(15);
    }
    const int h = height() - top - px(10);
    if (w < 0 || h < 0)
        return;
    textEdit->setGeometry(px(15), top, w, h);
}

void frmDocument::notice(const QString &text)
{
    QMetaObject::invokeMethod(notices, [bar = notices, text] { bar->say(text); }, Qt::QueuedConnection);
}

// Escape closes the notice bar only where the editor would do nothing with
// it: no list of names, no tip, a single selection.
bool frmDocument::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == textEdit && event->type() == QEvent::KeyPress && !notices->isHidden()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        using Sci = QsciScintillaBase;
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier
            && !textEdit->SendScintilla(Sci::SCI_AUTOCACTIVE) && !textEdit->SendScintilla(Sci::SCI_CALLTIPACTIVE)
            && textEdit->SendScintilla(Sci::SCI_GETSELECTIONS) == 1) {
            notices->dismiss();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
