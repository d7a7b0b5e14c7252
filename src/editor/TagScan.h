#pragma once

#include "platform/MarkupChars.h"

#include <QByteArrayView>

#include <optional>

namespace tw::tagContext {

// Reading tags out of page text, forwards and backwards from a position,
// within the text given and no further: the pieces the typing rules
// (TagContext.h) are made of.

// A tag as written: `start` is its '<', `end` just after its '>'.
struct Tag {
    qsizetype start = -1;
    qsizetype end = -1;
    qsizetype nameStart = -1;
    qsizetype nameEnd = -1;
    bool closing = false;     // </name>
    bool selfClosing = false; // <name/>
    QByteArrayView name(QByteArrayView text) const { return text.sliced(nameStart, nameEnd - nameStart); }
};

using markupChars::isBlank;
using markupChars::isNameChar;
using markupChars::isNameStart;
// Names compared ignoring ASCII case, without a copy.
bool sameName(QByteArrayView a, QByteArrayView b);

// The last `c` before `pos`, or -1.
qsizetype lastChar(QByteArrayView text, qsizetype pos, char c);
// The last `needle` lying wholly in [from, to), or -1.
qsizetype lastIn(QByteArrayView text, qsizetype from, qsizetype to, QByteArrayView needle);

// `<name` or `</name` at `at`, the name compared ignoring case and followed
// by a character that cannot continue it.
bool namedTagAt(QByteArrayView text, qsizetype at, QByteArrayView name, bool closing);

// Where the text leaves a tag being read.
enum class State { NotATag, Name, Between, AttributeName, AfterAttributeName, BeforeValue, Unquoted, Quoted, Ended };
struct Scan {
    Tag tag;
    State state = State::NotATag;
};
// Reads the tag that starts with the '<' at `lt`, up to `stop` at most: the
// tag if it ends by then (State::Ended), else the state the text leaves it
// in at `stop`. Quoted attribute values may hold '>'.
Scan scanTag(QByteArrayView text, qsizetype lt, qsizetype stop);

// The '<' that starts the tag `pos` may stand in: the last '<' before it,
// unless that one lies inside a quoted attribute value of an earlier tag
// (<a title="a<b">), which then is the one. -1 when there is none.
qsizetype tagStartBefore(QByteArrayView text, qsizetype pos);

// The last complete tag that ends by `pos`, and the first that starts at
// `pos` or later; comments are skipped.
std::optional<Tag> prevTag(QByteArrayView text, qsizetype pos);
std::optional<Tag> nextTag(QByteArrayView text, qsizetype pos);

// The last opening tag <name ...> before `pos` if it ends by then, and the
// first closing tag </name at `pos` or later; -1 when there is none. Names
// compared ignoring case.
qsizetype lastOpener(QByteArrayView text, qsizetype pos, QByteArrayView name);
qsizetype nextCloser(QByteArrayView text, qsizetype pos, QByteArrayView name);

} // namespace tw::tagContext
