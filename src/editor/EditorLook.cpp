#include "editor/EditorLook.h"

#include "editor/EditorColours.h"
#include "editor/SourceEditor.h"

#include <QEvent>
#include <QGuiApplication>

#include <Qsci/qscilexerhtml.h>

namespace tw {

int EditorLook::s_zoom = 0;
QList<EditorLook *> EditorLook::s_looks;

namespace {

// The margins: line numbers, then fold marks.
constexpr int kFoldMargin = 2;

// The desktop's palette changed, dark or light: every editor's colours
// follow. The application hears of it (the editor keeps a palette of its own),
// so one watcher there serves all editors.
class PaletteWatcher : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
            EditorLook::applyPaletteAll();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

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
    m_light = lightColoursOf(editor);
    static PaletteWatcher *watcher = nullptr;
    if (!watcher && QCoreApplication::instance()) {
        watcher = new PaletteWatcher(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watcher);
    }
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
    s_looks.append(this);
    m_editor->zoomTo(s_zoom);
    connect(editor, &QsciScintilla::SCN_ZOOM, this, &EditorLook::followZoom);
}

EditorLook::~EditorLook()
{
    s_looks.removeOne(this);
}

void EditorLook::followZoom()
{
    zoomAll(static_cast<int>(m_editor->SendScintilla(QsciScintilla::SCI_GETZOOM)));
}

void EditorLook::zoomAll(int zoom)
{
    s_zoom = zoom;
    for (EditorLook *look : std::as_const(s_looks)) {
        // Scintilla tells of a change only, so an editor at this zoom already
        // stops the round.
        if (look->m_editor->SendScintilla(QsciScintilla::SCI_GETZOOM) != zoom)
            look->m_editor->zoomTo(zoom);
    }
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
    if (!on)
        m_editor->SendScintilla(QsciScintilla::SCI_FOLDALL, QsciScintilla::SC_FOLDACTION_EXPAND);
    m_editor->setLexer(nullptr);
    if (on)
        m_editor->setLexer(m_lexer);
    else
        m_editor->setFont(m_editor->font());
    followPalette();
    applyFolding();
}

void EditorLook::applyPaletteAll()
{
    for (EditorLook *look : std::as_const(s_looks))
        look->followPalette();
}

// On a light desktop the editor keeps the colours it has of its own, which
// nothing has changed unless the desktop was dark before: then they come back.
void EditorLook::followPalette()
{
    const QPalette palette = QGuiApplication::palette();
    const bool dark = isDark(palette);
    if (!dark && !m_dark)
        return;
    m_dark = dark;
    applyColours(m_editor, m_lexer, m_light, palette);
}

QColor EditorLook::markColour(const SourceEditor *editor, const QColor &colour)
{
    Q_UNUSED(editor);
    const QPalette palette = QGuiApplication::palette();
    return isDark(palette) ? readableOn(colour, palette.color(QPalette::Base)) : colour;
}

// The highlighter's fold properties belong to its instance, which every
// setLexer makes anew, so they are set again after each.
void EditorLook::applyFolding()
{
    const bool on = m_folding && m_highlighting && m_styled;
    if (!on) {
        m_editor->SendScintilla(QsciScintilla::SCI_FOLDALL, QsciScintilla::SC_FOLDACTION_EXPAND);
        m_editor->setFolding(QsciScintilla::NoFoldStyle, kFoldMargin);
        return;
    }
    const auto property = [this](const char *name, const char *value) {
        m_editor->SendScintilla(QsciScintilla::SCI_SETPROPERTY, name, value);
    };
    property("fold", "1");
    property("fold.html", "1");
    property("fold.hypertext.comment", "1");
    property("fold.compact", "0");
    // A changed property has the page styled again as it is shown, which
    // finds the blocks; nothing is styled here at once.
    m_editor->setFolding(QsciScintilla::BoxedTreeFoldStyle, kFoldMargin);
}

void EditorLook::setFolding(bool on)
{
    m_folding = on;
    applyFolding();
}

void EditorLook::foldAll(bool fold)
{
    if (m_editor->folding() == QsciScintilla::NoFoldStyle)
        return;
    m_editor->SendScintilla(QsciScintilla::SCI_FOLDALL,
                            fold ? QsciScintilla::SC_FOLDACTION_CONTRACT : QsciScintilla::SC_FOLDACTION_EXPAND);
}

void EditorLook::setWordWrap(bool on)
{
    m_editor->setWrapMode(on ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
}

void EditorLook::setWhiteSpace(bool on)
{
    m_editor->setWhitespaceVisibility(on ? QsciScintilla::WsVisible : QsciScintilla::WsInvisible);
}

void EditorLook::setLineEnds(bool on)
{
    m_editor->setEolVisibility(on);
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
