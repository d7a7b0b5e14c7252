#pragma once

#include "checking/TidyCheck.h"

#include <QByteArray>
#include <QList>

namespace tw::checking {

// What tidy's pretty printer made of a page: its indented copy, and the
// errors it found on the way (tidy mends an error by rewriting the page's
// structure, so a page with errors is not tidied up).
struct Pretty {
    QByteArray text;
    QList<CheckMessage> errors;
    bool ok = false; // tidy read the page and printed it
};

// Tidy's pretty printer over UTF-8 bytes: nested blocks indented by two
// spaces, no wrapping, line ends LF. Runs tidy in this process; the program
// asks the checker to (see CheckerProtocol.h).
Pretty tidyPretty(const QByteArray &utf8);

// The page with its layout taken from tidy's indented copy: every tag, text,
// comment and the whole content of PRE, TEXTAREA, SCRIPT, STYLE and XMP
// stay byte for byte as the page has them; only the blanks and line ends
// between them change, and only where that cannot change what the page
// shows: a run of white space becomes another, and white space appears or
// goes only beside a block's tag (a paragraph, a list item, a table cell,
// the head...). Tags tidy adds (an implied TITLE, BODY) are left out, tags it
// drops are kept. New line ends are `eol`.
QByteArray tidiedUp(const QByteArray &page, const QByteArray &pretty, const QByteArray &eol);

} // namespace tw::checking
