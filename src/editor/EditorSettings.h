#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The editor's own choices in the settings store, group [Editor], apart from
// the frame's placement: highlighting, line numbers and help while typing.
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

} // namespace editorSettings

} // namespace tw
