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
// Pages are checked again whenever typing pauses; off unless chosen.
bool checkAsYouType();
void setCheckAsYouType(bool on);

// The recent pages, newest first, at most ten.
QStringList recentPages();
void setRecentPages(const QStringList &paths);

} // namespace editorSettings

} // namespace tw
