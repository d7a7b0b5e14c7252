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

// The indicator under spans of each weight, and the marker beside their lines.
inline constexpr int kFirstIndicator = 20; // Error; Warning and Info follow
inline constexpr int kFirstMarker = 20;

// Replaces the editor's marks with these; no marks hides the margin.
void show(SourceEditor *editor, const QList<Mark> &marks);
void clear(SourceEditor *editor);

} // namespace problemMarks

} // namespace tw
