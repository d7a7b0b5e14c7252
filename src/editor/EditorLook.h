#pragma once

#include "editor/EditorColours.h"

#include <QObject>

class QsciLexerHTML;

namespace tw {

class SourceEditor;

// How a page looks in its editor: HTML highlighting (tags, attributes,
// strings, comments, embedded script and style), a line-number margin,
// folding of elements, comments and scripts in a margin of its own, wrapped
// lines, visible blanks and line ends, and the zoom.
//
// Highlighting needs a style byte per character. A page up to kPlainAbove
// bytes gets a document that keeps them; a larger page is loaded into a
// document without them and shows plain, so it keeps its load speed and
// memory. The document is chosen anew each time a page is loaded.
class EditorLook : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kPlainAbove = 20 * 1024 * 1024;

    // Looks after this editor, which must still be empty, from now on.
    static EditorLook *attach(SourceEditor *editor, bool highlighting, bool lineNumbers);
    // The look attached to this editor, or none.
    static EditorLook *of(const SourceEditor *editor);

    ~EditorLook() override;

    void setHighlighting(bool on);
    void setLineNumbers(bool on);
    // Folding works on highlighted pages only: the highlighter finds the
    // blocks. Turning it off, or highlighting off, unfolds everything first,
    // so that no line stays hidden without a way to show it.
    void setFolding(bool on);
    bool folding() const { return m_folding; }
    void foldAll(bool fold);
    void setWordWrap(bool on);
    void setWhiteSpace(bool on);
    void setLineEnds(bool on);

    // One zoom for every editor of this run: zooming one (by keys, the wheel
    // or a command) zooms them all, and an editor made later starts at it.
    // Not kept in the settings.
    static int runZoom() { return s_zoom; }
    static void zoomAll(int zoom);
    bool highlighting() const { return m_highlighting; }
    bool lineNumbers() const { return m_lineNumbers; }
    // The page is too large for highlighting and shows plain.
    bool isPlain() const { return !m_styled; }
    // Whether the document keeps style bytes.
    bool hasStyleBytes() const { return m_styled; }
    QsciLexerHTML *lexer() const { return m_lexer; }

    // On a dark desktop the editor, its margins and its highlighting take the
    // palette's colours; a mark's colour is then made readable on them.
    static QColor markColour(const SourceEditor *editor, const QColor &colour);
    // Every editor's colours from the application's palette as it is now.
    static void applyPaletteAll();

signals:
    void plainChanged(bool plain);

private:
    EditorLook(SourceEditor *editor, bool highlighting, bool lineNumbers);
    void useDocument(bool styled);
    void applyLexer();
    void updateMargin();
    void applyFolding();
    void followZoom();
    void followPalette();

    static int s_zoom;
    static QList<EditorLook *> s_looks;

    SourceEditor *m_editor;
    QsciLexerHTML *m_lexer = nullptr;
    EditorLightColours m_light;
    bool m_highlighting;
    bool m_lineNumbers;
    bool m_folding = false;
    bool m_styled = false;
    bool m_dark = false; // the colours applied are a dark desktop's
};

} // namespace tw
