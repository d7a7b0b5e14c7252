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
QByteArray checkerInput(const QByteArray &bytes, Input input);
bool readCheckerInput(const QByteArray &in, QByteArray *bytes, Input *input);
QByteArray checkerAnswer(const QList<Checked> &messages);
// False unless the answer is whole and well formed.
bool readCheckerAnswer(const QByteArray &answer, QList<Checked> *messages);

} // namespace tw::checking
