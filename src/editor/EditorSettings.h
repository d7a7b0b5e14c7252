#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The editor's own choices in the settings store, group [Editor], apart from
// the frame's placement: highlighting and line numbers.
namespace editorSettings {

bool highlighting();
void setHighlighting(bool on);
bool lineNumbers();
void setLineNumbers(bool on);

} // namespace editorSettings

} // namespace tw
