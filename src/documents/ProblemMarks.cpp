#include "documents/ProblemMarks.h"

#include "editor/EditorLook.h"
#include "editor/SourceEditor.h"

#include <QColor>

namespace tw::problemMarks {

namespace {

constexpr int kMargin = 1; // the symbol margin SourceEditor keeps at width 0

QColor colourOf(int weight)
{
    static const QColor colours[] = {QColor(0xD0, 0x10, 0x10), QColor(0xE0, 0x90, 0x00), QColor(0x20, 0x60, 0xD0)};
    return colours[weight];
}

void define(SourceEditor *editor)
{
    if (editor->property("tw_problemMarks").toBool())
        return;
    editor->setProperty("tw_problemMarks", true);
    const QsciScintilla::IndicatorStyle styles[] = {QsciScintilla::SquiggleIndicator,
                                                    QsciScintilla::SquiggleIndicator,
                                                    QsciScintilla::DotsIndicator};
    const QsciScintilla::MarkerSymbol symbols[] = {QsciScintilla::Circle, QsciScintilla::RightTriangle,
                                                   QsciScintilla::SmallRectangle};
    int mask = 0;
    for (int w = 0; w < 3; ++w) {
        const QColor colour = EditorLook::markColour(editor, colourOf(w));
        editor->indicatorDefine(styles[w], kFirstIndicator + w);
        editor->setIndicatorForegroundColor(colour, kFirstIndicator + w);
        const int marker = markerOf(Weight(w));
        editor->markerDefine(symbols[w], marker);
        editor->setMarkerBackgroundColor(colour, marker);
        editor->setMarkerForegroundColor(colour, marker);
        mask |= 1 << marker;
    }
    editor->setMarginType(kMargin, QsciScintilla::SymbolMargin);
    editor->setMarginMarkerMask(kMargin, mask);
}

} // namespace

void clear(SourceEditor *editor)
{
    const long length = long(editor->documentLength());
    for (int w = 0; w < 3; ++w) {
        editor->SendScintilla(QsciScintilla::SCI_SETINDICATORCURRENT, kFirstIndicator + w);
        editor->SendScintilla(QsciScintilla::SCI_INDICATORCLEARRANGE, 0UL, length);
        editor->markerDeleteAll(markerOf(Weight(w)));
    }
    editor->setMarginWidth(kMargin, 0);
}

void show(SourceEditor *editor, const QList<Mark> &marks)
{
    clear(editor);
    add(editor, marks);
}

void add(SourceEditor *editor, const QList<Mark> &marks)
{
    define(editor);
    const qint64 length = editor->documentLength();
    int current = -1;
    long lastLine[3] = {-1, -1, -1};
    for (const Mark &m : marks) {
        if (m.start < 0)
            continue;
        const int w = int(m.weight);
        const qint64 start = qBound<qint64>(0, m.start, length);
        const qint64 end = qBound<qint64>(start, m.end, length);
        if (end > start) {
            if (current != w) {
                editor->SendScintilla(QsciScintilla::SCI_SETINDICATORCURRENT, kFirstIndicator + w);
                current = w;
            }
            editor->SendScintilla(QsciScintilla::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start),
                                  long(end - start));
        }
        // One marker of each weight on a line is enough.
        const long line = editor->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start));
        if (line != lastLine[w])
            editor->markerAdd(int(line), markerOf(m.weight));
        lastLine[w] = line;
    }
    if (!marks.isEmpty())
        editor->setMarginWidth(kMargin, 14);
}

} // namespace tw::problemMarks
