#pragma once

#include <QList>

namespace tw {

class SourceEditor;

// The marks a page check leaves in the editor: a squiggle under each span (red
// for errors, amber for warnings, blue dots for notes) and a marker in a narrow
// margin beside each line with a problem. Scintilla moves both with later edits.
namespace problemMarks {

enum class Weight { Error, Warning, Info };
struct Mark {
    qint64 start;
    qint64 end;
    Weight weight;
};

// The indicator under spans of each weight (Error, then Warning and Info),
// and the marker beside their lines: an error's on top, drawn last.
inline constexpr int kFirstIndicator = 20;
inline constexpr int markerOf(Weight weight)
{
    return 22 - int(weight);
}

// Replaces the editor's marks with these; no marks hides the margin. A mark
// with start -1 is about the whole page: it gets neither.
void show(SourceEditor *editor, const QList<Mark> &marks);
// Adds these marks to those the editor has.
void add(SourceEditor *editor, const QList<Mark> &marks);
void clear(SourceEditor *editor);

} // namespace problemMarks

} // namespace tw
