#include "editor/EditorLook.h"

#include "editor/SourceEditor.h"

#include <Qsci/qscilexerhtml.h>

namespace tw {

EditorLook *EditorLook::attach(SourceEditor *editor, bool highlighting, bool lineNumbers)
{
    return new EditorLook(editor, highlighting, lineNumbers);
}

EditorLook *EditorLook::of(const SourceEditor *editor)
{
    return editor ? editor->findChild<EditorLook *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

EditorLook::EditorLook(SourceEditor *editor, bool highlighting, bool lineNumbers)
    : QObject(editor), m_editor(editor), m_highlighting(highlighting), m_lineNumbers(lineNumbers)
{
    setObjectName(QStringLiteral("editorLook"));
    useDocument(true);
    applyLexer();
    editor->beforeLoad = [this](qsizetype size) {
        const bool styled = size <= kPlainAbove;
        if (styled == m_styled)
            return;
        useDocument(styled);
        applyLexer();
        emit plainChanged(!styled);
    };
    connect(editor, &QsciScintilla::linesChanged, this, [this] {
        if (m_lineNumbers)
            updateMargin();
    });
    updateMargin();
}

// Swaps in a new empty document, with or without style bytes. The code page
// and line-end mode belong to the document, so they are set again.
void EditorLook::useDocument(bool styled)
{
    const auto eol = m_editor->eolMode();
    const long document = m_editor->SendScintilla(
        QsciScintilla::SCI_CREATEDOCUMENT, 0UL,
        static_cast<long>(styled ? QsciScintilla::SC_DOCUMENTOPTION_DEFAULT : QsciScintilla::SC_DOCUMENTOPTION_STYLES_NONE));
    if (!document)
        return;
    m_editor->SendScintilla(QsciScintilla::SCI_SETDOCPOINTER, 0UL, reinterpret_cast<void *>(document));
    m_editor->SendScintilla(QsciScintilla::SCI_RELEASEDOCUMENT, 0UL, reinterpret_cast<void *>(document));
    m_editor->setUtf8(true);
    m_editor->setEolMode(eol);
    m_styled = styled;
}

// The lexer belongs to the document, so it is set again after every swap.
void EditorLook::applyLexer()
{
    const bool on = m_highlighting && m_styled;
    if (on && !m_lexer) {
        m_lexer = new QsciLexerHTML(this);
        const QFont font = m_editor->font();
        m_lexer->setDefaultFont(font);
        m_lexer->setFont(font, -1);
    }
    m_editor->setLexer(nullptr);
    if (on)
        m_editor->setLexer(m_lexer);
    else
        m_editor->setFont(m_editor->font());
}

void EditorLook::setHighlighting(bool on)
{
    if (on == m_highlighting)
        return;
    m_highlighting = on;
    const QFont font = m_editor->font();
    applyLexer();
    if (!on) {
        // Without a lexer every character goes back to the default style.
        m_editor->SendScintilla(QsciScintilla::SCI_STYLECLEARALL);
        m_editor->setFont(font);
    }
    updateMargin();
}

void EditorLook::setLineNumbers(bool on)
{
    m_lineNumbers = on;
    updateMargin();
}

// The number margin is as wide as the largest line number and one digit more.
void EditorLook::updateMargin()
{
    m_editor->setMarginType(0, QsciScintilla::NumberMargin);
    if (!m_lineNumbers) {
        m_editor->setMarginWidth(0, 0);
        return;
    }
    const int digits = QString::number(qMax(1, m_editor->lines())).size();
    m_editor->setMarginWidth(0, QString(digits + 1, QLatin1Char('9')));
    m_editor->setMarginLineNumbers(0, true);
}

} // namespace tw
