#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The editor's own choices in the settings store, group [Editor], apart from
// the frame's placement: highlighting, line numbers and the recent pages.
namespace editorSettings {

bool highlighting();
void setHighlighting(bool on);
bool lineNumbers();
void setLineNumbers(bool on);
// The live preview dock, off unless turned on.
bool livePreview();
void setLivePreview(bool on);

// The recent pages, newest first, at most ten.
QStringList recentPages();
void setRecentPages(const QStringList &paths);

} // namespace editorSettings

} // namespace tw
