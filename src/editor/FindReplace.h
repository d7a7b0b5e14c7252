#pragma once

#include "editor/TextSearch.h"

#include <QString>

namespace tw {

class SourceEditor;

// What the find bar asks for: the text to find, its replacement and options.
struct FindRequest {
    QString find;
    QString replace;
    FindOptions options;
};

// What a find or replace did, in words for the user.
struct FindOutcome {
    bool found = false;   // something was found or replaced
    bool changed = false; // the document was edited
    QString message;
};

// Find next (or previous) from the selection, going round the page's end;
// selects the match. Never changes the text.
FindOutcome findInEditor(SourceEditor &editor, const FindRequest &request, bool backward);
// When the selection is a match, replaces it; then selects the next match.
FindOutcome replaceInEditor(SourceEditor &editor, const FindRequest &request);
// Replaces every match with one edit of the document, one undo step.
FindOutcome replaceAllInEditor(SourceEditor &editor, const FindRequest &request);

} // namespace tw
