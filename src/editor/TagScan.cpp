#include "editor/TagScan.h"

#include <cstring>

namespace tw::tagContext {

using markupChars::lowerChar;

// Names compared ignoring ASCII case, without a copy.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i]))
            return false;
    return true;
}

// The last `c` before `pos`, or -1.
qsizetype lastChar(QByteArrayView text, qsizetype pos, char c)
{
    if (pos <= 0)
        return -1;
    const void *hit = memrchr(text.data(), c, size_t(pos));
    return hit ? static_cast<const char *>(hit) - text.data() : -1;
}

// The last `needle` lying wholly in [from, to), or -1.
qsizetype lastIn(QByteArrayView text, qsizetype from, qsizetype to, QByteArrayView needle)
{
    from = qMax<qsizetype>(from, 0);
    // Found by its second character, which in "<!--" and "-->" is rarer in
    // a page than the first.
    const qsizetype n = needle.size();
    if (n == 1) {
        const qsizetype k = lastChar(text, to, needle[0]);
        return k >= from ? k : -1;
    }
    for (qsizetype k = lastChar(text, to - n + 2, needle[1]); k >= from + 1; k = lastChar(text, k, needle[1]))
        if (text.sliced(k - 1, n) == needle)
            return k - 1;
    return -1;
}

// `<name` or `</name` at `at`, name compared ignoring case and followed by a
// character that cannot continue it.
bool namedTagAt(QByteArrayView text, qsizetype at, QByteArrayView name, bool closing)
{
    qsizetype i = at + 1 + (closing ? 1 : 0);
    if (text[at] != '<' || (closing && (at + 1 >= text.size() || text[at + 1] != '/')))
        return false;
    if (i + name.size() > text.size() || lowerChar(text[i]) != lowerChar(name[0])
        || !sameName(text.sliced(i, name.size()), name))
        return false;
    i += name.size();
    return i == text.size() || !isNameChar(text[i]);
}

// Reads the tag that starts with the '<' at `lt`, up to `stop` at most: the
// tag if it ends by then, else the state the text leaves it in at `stop`.
Scan scanTag(QByteArrayView text, qsizetype lt, qsizetype stop)
{
    Scan r;
    r.tag.start = lt;
    qsizetype i = lt + 1;
    if (i < text.size() && text[i] == '/') {
        r.tag.closing = true;
        ++i;
    }
    if (i >= text.size() || !isNameStart(text[i]))
        return r;
    r.tag.nameStart = i;
    State s = State::Name;
    char quote = 0;
    while (i < stop) {
        const char c = text[i];
        switch (s) {
        case State::Name:
            if (isNameChar(c)) {
                ++i;
                continue;
            }
            r.tag.nameEnd = i;
            s = State::Between;
            continue;
        case State::Between:
        case State::AfterAttributeName:
            if (c == '>') {
                r.tag.end = i + 1;
                r.state = State::Ended;
                return r;
            }
            if (c == '/' && i + 1 < stop && text[i + 1] == '>') {
                r.tag.selfClosing = true;
                ++i;
                continue;
            }
            if (c == '=' && s == State::AfterAttributeName)
                s = State::BeforeValue;
            else if (!isBlank(c) && c != '/')
                s = State::AttributeName;
            ++i;
            continue;
        case State::AttributeName:
            if (isBlank(c))
                s = State::AfterAttributeName;
            else if (c == '=')
                s = State::BeforeValue;
            else if (c == '>' || c == '/') {
                s = State::Between;
                continue;
            }
            ++i;
            continue;
        case State::BeforeValue:
            if (c == '"' || c == '\'') {
                quote = c;
                s = State::Quoted;
            } else if (c == '>') {
                s = State::Between;
                continue;
            } else if (!isBlank(c)) {
                s = State::Unquoted;
            }
            ++i;
            continue;
        case State::Quoted: {
            const void *close = std::memchr(text.data() + i, quote, size_t(stop - i));
            if (!close) {
                i = stop;
                continue;
            }
            i = static_cast<const char *>(close) - text.data() + 1;
            s = State::Between;
            continue;
        }
        case State::Unquoted:
            if (isBlank(c))
                s = State::Between;
            else if (c == '>') {
                s = State::Between;
                continue;
            }
            ++i;
            continue;
        default:
            return r;
        }
    }
    if (s == State::Name)
        r.tag.nameEnd = i;
    r.state = s;
    return r;
}

// The '<' that starts the tag `pos` may stand in: the last '<' before it,
// unless that one lies inside a quoted attribute value of an earlier tag
// (<a title="a<b">), which then is the one.
qsizetype tagStartBefore(QByteArrayView text, qsizetype pos)
{
    qsizetype i = lastChar(text, pos, '<');
    while (i > 0) {
        const qsizetype j = lastChar(text, i, '<');
        if (j < 0)
            break;
        // Without a quote in between, i cannot be inside a quoted value.
        const auto *from = text.data() + j;
        if (!std::memchr(from, '"', size_t(i - j)) && !std::memchr(from, '\'', size_t(i - j)))
            break;
        if (scanTag(text, j, i).state != State::Quoted)
            break;
        i = j;
    }
    return i;
}

namespace {

// The last "-->" lying wholly in [from, to), or -1: found by its '>'.
qsizetype lastCommentEnd(QByteArrayView text, qsizetype from, qsizetype to)
{
    for (qsizetype gt = lastChar(text, to, '>'); gt >= from + 2; gt = lastChar(text, gt, '>'))
        if (text[gt - 1] == '-' && text[gt - 2] == '-')
            return gt - 2;
    return -1;
}

} // namespace

// The last complete tag that ends by `pos`, comments skipped.
std::optional<Tag> prevTag(QByteArrayView text, qsizetype pos)
{
    while (pos > 0) {
        qsizetype i = lastChar(text, pos, '<');
        if (i < 0)
            return std::nullopt;
        const qsizetype commentEnd = lastCommentEnd(text, i, pos);
        if (commentEnd >= 0) {
            pos = lastIn(text, 0, commentEnd, "<!--");
            if (pos < 0)
                return std::nullopt;
            continue;
        }
        i = tagStartBefore(text, i + 1);
        const Scan r = scanTag(text, i, pos);
        if (r.state == State::Ended)
            return r.tag;
        pos = i;
    }
    return std::nullopt;
}

// The first complete tag that starts at `pos` or later, comments skipped.
std::optional<Tag> nextTag(QByteArrayView text, qsizetype pos)
{
    while (pos < text.size()) {
        const qsizetype i = text.indexOf('<', pos);
        if (i < 0)
            return std::nullopt;
        if (text.sliced(i).startsWith("<!--")) {
            const qsizetype end = text.indexOf("-->", i + 4);
            if (end < 0)
                return std::nullopt;
            pos = end + 3;
            continue;
        }
        const Scan r = scanTag(text, i, text.size());
        if (r.state == State::Ended)
            return r.tag;
        if (r.state != State::NotATag)
            return std::nullopt; // a tag not finished within reach
        pos = i + 1;
    }
    return std::nullopt;
}

// The last <name ...> opening tag that ends by `pos`, or -1.
qsizetype lastOpener(QByteArrayView text, qsizetype pos, QByteArrayView name)
{
    for (qsizetype i = lastChar(text, pos, '<'); i >= 0; i = lastChar(text, i, '<'))
        if (namedTagAt(text, i, name, false)) {
            const Scan r = scanTag(text, i, pos);
            return r.state == State::Ended ? i : -1;
        }
    return -1;
}

qsizetype nextCloser(QByteArrayView text, qsizetype pos, QByteArrayView name)
{
    for (qsizetype i = text.indexOf("</", pos); i >= 0; i = text.indexOf("</", i + 2))
        if (namedTagAt(text, i, name, true))
            return i;
    return -1;
}

} // namespace tw::tagContext
