#pragma once

#include "editor/TagScan.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace tw::tagContext {

// What the markup around a position in a page means, read from the text alone
// (no highlighting needed). Every rule looks only at the text it is given,
// and is given a window around the caret: kReach bytes either side. So a
// keystroke costs the same on any page, however long, and a comment or
// script that began further back than that is not seen.
constexpr qsizetype kReach = 32 * 1024;

// The '>' before `caret` has just been typed: the closing tag to put after the
// caret ("</p>"), or nothing when that '>' does not end an opening tag that
// wants one (a void element, "/>", a comment, script or style text, a '>'
// inside a quoted attribute value).
QByteArray closingTagAfter(QByteArrayView text, qsizetype caret);

// "</" before `caret` has just been typed: the rest of the closing tag of the
// innermost element still open ("p>"), or nothing (in a comment, no open
// element within reach, or that element's closing tag follows the caret
// already, after blanks at most: <li></|</li>). The text may go on past the
// caret.
QByteArray closingNameAfter(QByteArrayView text, qsizetype caret);

// The innermost element open at `position`, its name as written in its tag,
// or nothing. Elements whose closing tag may be left out (<p>, <li>) count
// as closed by the closing tag of an element around them.
QByteArray openElementAt(QByteArrayView text, qsizetype position);

// Which names the caret is typing: an element's after "<", an attribute's
// after a blank inside an opening tag. `start` is where the word typed so far
// begins (the caret when none is typed yet); `element` names the tag of an
// attribute.
struct Completion {
    enum Kind { None, Element, Attribute };
    Kind kind = None;
    qsizetype start = -1;
    QByteArray element;
};
Completion completionAt(QByteArrayView text, qsizetype caret);

// With the caret in a tag's name (or just before or after it): that tag and
// its partner, the opening tag first. Nothing when the caret is elsewhere or
// the tag has no partner within reach (void elements, "/>", a <p> closed only
// by the next one, a closing tag nothing opened).
struct TagPair {
    Tag opening;
    Tag closing;
};
std::optional<TagPair> matchingTags(QByteArrayView text, qsizetype caret);

} // namespace tw::tagContext
