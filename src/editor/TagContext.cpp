#include "editor/TagContext.h"

#include "editor/HtmlNames.h"
#include "editor/TagScan.h"

#include <QList>

namespace tw::tagContext {

namespace {

bool inComment(QByteArrayView text, qsizetype pos)
{
    const qsizetype open = lastIn(text, 0, pos, "<!--");
    return open >= 0 && lastIn(text, open + 2, pos, "-->") < 0;
}

enum class Region { Markup, Comment, RawText };

struct Place {
    Region region = Region::Markup;
    QByteArray rawElement; // as written in its opening tag
};

// Whether `pos` lies in markup, a comment, or the text of a script or style
// element (where nothing is markup but its own closing tag).
Place placeOf(QByteArrayView text, qsizetype pos)
{
    Place place;
    // One walk back over the tags for the last <script> and <style>: open at
    // pos (its opening tag met before any closing one), or closed.
    const QByteArrayView names[] = {"script", "style"};
    qsizetype opener[] = {-1, -1};
    qsizetype closer[] = {-1, -1};
    bool settled[] = {false, false};
    for (qsizetype i = lastChar(text, pos, '<'); i >= 0 && !(settled[0] && settled[1]); i = lastChar(text, i, '<')) {
        for (int k = 0; k < 2; ++k) {
            if (settled[k])
                continue;
            if (closer[k] < 0 && namedTagAt(text, i, names[k], true)) {
                closer[k] = i;
            } else if (namedTagAt(text, i, names[k], false)) {
                opener[k] = i;
                settled[k] = true;
            }
        }
    }
    qsizetype rawOpen = -1;
    qsizetype closedOpen = -1; // the script or style that ended last before pos
    qsizetype closedEnd = -1;
    for (int k = 0; k < 2; ++k) {
        if (opener[k] < 0)
            continue;
        if (closer[k] < 0) {
            if (opener[k] > rawOpen && scanTag(text, opener[k], pos).state == State::Ended
                && !inComment(text, opener[k]))
                rawOpen = opener[k];
        } else if (closer[k] > closedEnd) {
            closedOpen = opener[k];
            closedEnd = closer[k];
        }
    }
    if (rawOpen >= 0) {
        place.region = Region::RawText;
        place.rawElement = scanTag(text, rawOpen, pos).tag.name(text).toByteArray();
        return place;
    }
    qsizetype open = lastIn(text, 0, pos, "<!--");
    // "<!--" in the text of a script that has ended is not a comment.
    if (open > closedOpen && open < closedEnd)
        open = lastIn(text, 0, closedOpen, "<!--");
    if (open >= 0 && lastIn(text, open + 2, pos, "-->") < 0)
        place.region = Region::Comment;
    return place;
}

} // namespace

QByteArray closingTagAfter(QByteArrayView text, qsizetype caret)
{
    if (caret <= 0 || caret > text.size() || text[caret - 1] != '>')
        return {};
    const qsizetype lt = tagStartBefore(text, caret - 1);
    if (lt < 0)
        return {};
    const Scan r = scanTag(text, lt, caret);
    if (r.state != State::Ended || r.tag.end != caret || r.tag.closing || r.tag.selfClosing)
        return {};
    const QByteArrayView name = r.tag.name(text);
    if (htmlNames::isVoid(name) || placeOf(text, lt).region != Region::Markup)
        return {};
    return "</" + name.toByteArray() + '>';
}

QByteArray closingNameAfter(QByteArrayView text, qsizetype caret)
{
    if (caret < 2 || caret > text.size() || text[caret - 2] != '<' || text[caret - 1] != '/')
        return {};
    const qsizetype lt = caret - 2;
    if (tagStartBefore(text, lt + 1) != lt)
        return {}; // inside an attribute value
    const Place place = placeOf(text, lt);
    if (place.region == Region::Comment)
        return {};
    const QByteArray name = place.region == Region::RawText ? place.rawElement : openElementAt(text, lt);
    if (name.isEmpty())
        return {};
    // Closed right after the caret already: a second closing tag would be one too many.
    qsizetype next = caret;
    while (next < text.size() && isBlank(text[next]))
        ++next;
    if (next < text.size() && namedTagAt(text, next, name, true))
        return {};
    return name + '>';
}

QByteArray openElementAt(QByteArrayView text, qsizetype position)
{
    QList<QByteArrayView> closed; // closing tags met, innermost last
    qsizetype pos = position;
    while (const std::optional<Tag> tag = prevTag(text, pos)) {
        pos = tag->start;
        const QByteArrayView name = tag->name(text);
        if (tag->closing) {
            if (htmlNames::isRawText(name)) { // its text is not markup
                pos = lastOpener(text, pos, name);
                if (pos < 0)
                    return {};
            } else {
                closed.append(name);
            }
            continue;
        }
        if (tag->selfClosing || htmlNames::isVoid(name))
            continue;
        if (closed.isEmpty())
            return tag->name(text).toByteArray();
        // Closed by its own closing tag, or by that of an element around it.
        if (sameName(closed.last(), name))
            closed.removeLast();
    }
    return {};
}

Completion completionAt(QByteArrayView text, qsizetype caret)
{
    Completion c;
    if (caret <= 0 || caret > text.size())
        return c;
    qsizetype s = caret;
    while (s > 0 && caret - s < 64 && isNameChar(text[s - 1]))
        --s;
    if (s == 0 || (s < caret && !isNameStart(text[s])))
        return c;
    if (text[s - 1] == '<') {
        const qsizetype lt = s - 1;
        if (tagStartBefore(text, lt + 1) == lt && placeOf(text, lt).region == Region::Markup) {
            c.kind = Completion::Element;
            c.start = s;
        }
        return c;
    }
    if (!isBlank(text[s - 1]))
        return c;
    const qsizetype lt = tagStartBefore(text, s);
    if (lt < 0)
        return c;
    const Scan r = scanTag(text, lt, s);
    if ((r.state != State::Between && r.state != State::AfterAttributeName) || r.tag.closing)
        return c;
    if (placeOf(text, lt).region != Region::Markup)
        return c;
    c.kind = Completion::Attribute;
    c.start = s;
    c.element = r.tag.name(text).toByteArray();
    return c;
}

std::optional<TagPair> matchingTags(QByteArrayView text, qsizetype caret)
{
    if (caret < 0 || caret > text.size())
        return std::nullopt;
    qsizetype s = caret;
    while (s > 0 && caret - s < 64 && isNameChar(text[s - 1]))
        --s;
    qsizetype e = caret;
    while (e < text.size() && e - caret < 64 && isNameChar(text[e]))
        ++e;
    if (s == e || !isNameStart(text[s]) || s == 0)
        return std::nullopt;
    const bool closing = text[s - 1] == '/';
    const qsizetype lt = closing ? s - 2 : s - 1;
    if (lt < 0 || text[lt] != '<' || tagStartBefore(text, lt + 1) != lt)
        return std::nullopt;
    const Scan r = scanTag(text, lt, text.size());
    if (r.state != State::Ended || r.tag.selfClosing)
        return std::nullopt;
    const QByteArrayView name = r.tag.name(text);
    const Place place = placeOf(text, lt);
    if (place.region == Region::Comment
        || (place.region == Region::RawText && !(closing && sameName(place.rawElement, name))))
        return std::nullopt;

    if (!closing) {
        if (htmlNames::isVoid(name))
            return std::nullopt;
        qsizetype pos = r.tag.end;
        if (htmlNames::isRawText(name)) // its text is not markup
            pos = nextCloser(text, pos, name);
        int depth = 0;
        while (pos >= 0) {
            const std::optional<Tag> tag = nextTag(text, pos);
            if (!tag)
                return std::nullopt;
            pos = tag->end;
            const QByteArrayView n = tag->name(text);
            if (!tag->closing && htmlNames::isRawText(n) && !sameName(n, name))
                pos = nextCloser(text, pos, n);
            else if (!sameName(n, name) || tag->selfClosing)
                continue;
            else if (!tag->closing)
                ++depth;
            else if (depth-- == 0)
                return TagPair{r.tag, *tag};
        }
        return std::nullopt;
    }
    qsizetype pos = lt;
    int depth = 0;
    while (const std::optional<Tag> tag = prevTag(text, pos)) {
        pos = tag->start;
        const QByteArrayView n = tag->name(text);
        if (tag->closing && htmlNames::isRawText(n) && !sameName(n, name)) {
            pos = lastOpener(text, pos, n);
            if (pos < 0)
                return std::nullopt;
        } else if (!sameName(n, name) || tag->selfClosing) {
            continue;
        } else if (tag->closing) {
            ++depth;
        } else if (depth-- == 0) {
            return TagPair{*tag, r.tag};
        }
    }
    return std::nullopt;
}

} // namespace tw::tagContext
