#include "editor/EditorColours.h"

#include "editor/SourceEditor.h"

#include <Qsci/qscilexerhtml.h>

namespace tw {

namespace {

// How far apart in lightness (0-255) text and its paper must stand.
constexpr int kReadableDistance = 110;
// How far a colour too near is moved: text reads easily there.
constexpr int kMovedDistance = 150;
// The highest style number the HTML highlighter uses.
constexpr int kLastStyle = 127;

using Sci = QsciScintilla;

QColor fromBgr(long bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

long toBgr(const QColor &c)
{
    return long(c.red()) | long(c.green()) << 8 | long(c.blue()) << 16;
}

} // namespace

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QColor readableOn(const QColor &colour, const QColor &paper)
{
    const int paperLight = paper.lightness();
    const int light = colour.lightness();
    if (std::abs(light - paperLight) >= kReadableDistance)
        return colour;
    // Away from the paper, well past the least distance, to the side with
    // room enough.
    const int wanted = paperLight < 128 ? qMin(255, paperLight + kMovedDistance)
                                        : qMax(0, paperLight - kMovedDistance);
    const QColor hsl = colour.toHsl();
    return QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), wanted);
}

EditorLightColours lightColoursOf(SourceEditor *editor)
{
    return {fromBgr(editor->SendScintilla(Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT)),
            fromBgr(editor->SendScintilla(Sci::SCI_STYLEGETFORE, Sci::STYLE_DEFAULT)),
            fromBgr(editor->SendScintilla(Sci::SCI_STYLEGETBACK, Sci::STYLE_LINENUMBER)),
            fromBgr(editor->SendScintilla(Sci::SCI_STYLEGETFORE, Sci::STYLE_LINENUMBER)),
            fromBgr(editor->SendScintilla(Sci::SCI_GETCARETFORE)), editor->palette()};
}

void applyColours(SourceEditor *editor, QsciLexerHTML *lexer, const EditorLightColours &light,
                  const QPalette &palette)
{
    const bool dark = isDark(palette);
    // The scroll bars and margins follow the editor's own palette.
    editor->setPalette(dark ? palette : light.palette);
    const QColor paper = dark ? palette.color(QPalette::Base) : light.paper;
    const QColor text = dark ? palette.color(QPalette::Text) : light.text;
    if (lexer) {
        // A style's own colours fall back on the highlighter's defaults, so
        // those come first: black on white, as a highlighter starts.
        lexer->setDefaultPaper(dark ? paper : QColor(Qt::white));
        lexer->setDefaultColor(dark ? text : QColor(Qt::black));
        for (int style = 0; style <= kLastStyle; ++style) {
            if (lexer->description(style).isEmpty())
                continue;
            // Plain text, black on white, takes the palette's text colour.
            const QColor own = lexer->defaultColor(style);
            lexer->setColor(!dark ? own : own == Qt::black ? text : readableOn(own, paper), style);
            lexer->setPaper(dark ? paper : lexer->defaultPaper(style), style);
        }
    }
    editor->setPaper(paper);
    editor->setColor(text);
    editor->setCaretForegroundColor(dark ? text : light.caret);
    editor->setMarginsBackgroundColor(dark ? palette.color(QPalette::Window) : light.marginPaper);
    editor->setMarginsForegroundColor(dark ? palette.color(QPalette::PlaceholderText) : light.marginText);
    if (dark) {
        editor->setFoldMarginColors(palette.color(QPalette::Window), palette.color(QPalette::Window));
        editor->setSelectionBackgroundColor(palette.color(QPalette::Highlight));
        editor->setSelectionForegroundColor(palette.color(QPalette::HighlightedText));
    } else {
        editor->resetFoldMarginColors();
        editor->resetSelectionBackgroundColor();
        editor->resetSelectionForegroundColor();
    }
    // The marks of other helpers keep their hues, made readable on the paper.
    for (int indicator = 0; indicator <= Sci::INDIC_MAX; ++indicator) {
        const QColor mark = fromBgr(editor->SendScintilla(Sci::SCI_INDICGETFORE, indicator));
        if (dark)
            editor->SendScintilla(Sci::SCI_INDICSETFORE, indicator, toBgr(readableOn(mark, paper)));
    }
}

} // namespace tw
