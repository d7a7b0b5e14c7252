#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The editor's own choices in the settings store, group [Editor], apart from
// the frame's placement: highlighting, line numbers, help while typing,
// checking as you type, the live preview and how the text is shown.
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
// Pages are checked again whenever typing pauses; off unless chosen.
bool checkAsYouType();
void setCheckAsYouType(bool on);
// Check Spelling (off unless chosen) and the dictionary chosen for pages
// whose `lang` has none (empty when none was chosen).
bool checkSpelling();
void setCheckSpelling(bool on);
QString spellingLanguage();
void setSpellingLanguage(const QString &name);
// The live preview dock, off unless turned on.
bool livePreview();
void setLivePreview(bool on);
// How the text is shown: folding in the margin (on unless turned off),
// wrapped lines, visible blanks and line ends (off unless turned on).
bool folding();
void setFolding(bool on);
bool wordWrap();
void setWordWrap(bool on);
bool whiteSpace();
void setWhiteSpace(bool on);
bool lineEnds();
void setLineEnds(bool on);

} // namespace editorSettings

} // namespace tw
