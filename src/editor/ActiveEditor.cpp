#include "editor/ActiveEditor.h"

#include "editor/SourceEditor.h"

#include <QComboBox>
#include <QLineEdit>

namespace tw {

namespace {

QLineEdit *lineEditOf(QWidget *w)
{
    if (auto *line = qobject_cast<QLineEdit *>(w))
        return line;
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->isEditable() ? combo->lineEdit() : nullptr;
    return nullptr;
}

} // namespace

QWidget *ActiveEditor::control() const
{
    return m_locate ? m_locate() : nullptr;
}

bool ActiveEditor::hasTextControl() const
{
    QWidget *w = control();
    return qobject_cast<QsciScintilla *>(w) || lineEditOf(w);
}

QString ActiveEditor::selectedText() const
{
    QWidget *w = control();
    if (auto *source = qobject_cast<SourceEditor *>(w))
        return source->selectedTextExact();
    if (auto *sci = qobject_cast<QsciScintilla *>(w))
        return sci->selectedText();
    if (QLineEdit *line = lineEditOf(w))
        return line->selectedText();
    return QString();
}

bool ActiveEditor::replaceSelection(const QString &text)
{
    QWidget *w = control();
    if (auto *source = qobject_cast<SourceEditor *>(w)) {
        source->replaceSelectionExact(text);
        return true;
    }
    if (auto *sci = qobject_cast<QsciScintilla *>(w)) {
        sci->replaceSelectedText(text);
        return true;
    }
    if (QLineEdit *line = lineEditOf(w)) {
        line->insert(text);
        return true;
    }
    return false;
}

QString ActiveEditor::wholeText() const
{
    QWidget *w = control();
    if (auto *source = qobject_cast<SourceEditor *>(w))
        return source->textExact();
    if (auto *sci = qobject_cast<QsciScintilla *>(w))
        return sci->text();
    if (QLineEdit *line = lineEditOf(w))
        return line->text();
    return QString();
}

void ActiveEditor::focusBack()
{
    if (QWidget *w = control())
        w->setFocus(Qt::OtherFocusReason);
}

UndoStep::UndoStep(const ActiveEditor &editor)
    : m_editor(qobject_cast<QsciScintilla *>(editor.control()))
{
    if (m_editor)
        m_editor->beginUndoAction();
}

UndoStep::~UndoStep()
{
    if (m_editor)
        m_editor->endUndoAction();
}

} // namespace tw
