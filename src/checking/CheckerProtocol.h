#pragma once

#include "checking/TextPlaces.h"
#include "checking/TidyCheck.h"

#include <QByteArray>
#include <QList>

namespace tw::checking {

// One of tidy's messages as the checker reports it: the message with the
// numbers tidy prints, and the place its span is to be found from (the same
// but where lone CRs made tidy count columns on from the line before; see
// checkPage).
struct Checked {
    CheckMessage message;
    TidyPlace place;
};

// The checker (tagwright-check) reads the way tidy is to read the bytes, a
// line "utf8" or "win1252", then the bytes up to the end of its input. It
// answers with a record per message, "LINE COLUMN PLACELINE PLACECOLUMN KIND
// SIZE" and a line end, then SIZE bytes of UTF-8 text and a line end; then
// "end" and a line end. KIND is 0 for an error, 1 a warning, 2 a note.
//
// Asked to tidy a page up instead, it reads a line "tidyup" and UTF-8
// bytes, and answers with tidy's errors as records, "end", then, when there
// are none, tidy's indented copy up to the end of its output.
QByteArray checkerInput(const QByteArray &bytes, Input input);
QByteArray tidyUpInput(const QByteArray &utf8);
// `tidyUp`, when given, tells a request to tidy up from one to check.
bool readCheckerInput(const QByteArray &in, QByteArray *bytes, Input *input, bool *tidyUp = nullptr);
QByteArray checkerAnswer(const QList<Checked> &messages);
// False unless the answer is whole and well formed. Without `rest`, nothing
// may follow "end"; with it, what follows goes there.
bool readCheckerAnswer(const QByteArray &answer, QList<Checked> *messages, QByteArray *rest = nullptr);

} // namespace tw::checking
