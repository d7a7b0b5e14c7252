#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The editor's own choices in the settings store, group [Editor], apart from
// the frame's placement: highlighting, line numbers, help while typing and
// the recent pages.
namespace editorSettings {

bool highlighting();
void setHighlighting(bool on);
bool lineNumbers();
void setLineNumbers(bool on);
// Help while typing: closing tags, name completion, matching tags.
bool closeTags();
void setCloseTags(bool on);
bool completion();
void setCompletion(bool on);
bool matchingTags();
void setMatchingTags(bool on);

// The recent pages, newest first, at most ten.
QStringList recentPages();
void setRecentPages(const QStringList &paths);

} // namespace editorSettings

} // namespace tw
