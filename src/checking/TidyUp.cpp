#include "checking/TidyUp.h"

#include "platform/MarkupChars.h"

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tw::checking {

namespace {

// Tidy's pretty printer, told to change as little as it can besides the
// layout. The bytes it prints only guide the layout (see tidiedUp), so what
// it would still change in tags and text is never written to the page.
const std::pair<const char *, const char *> kPrettyOptions[] = {
    {"indent", "auto"},          // indent blocks that hold blocks, keep inline text on its line
    {"indent-spaces", "2"},
    {"wrap", "0"},               // never break a line of text
    {"tidy-mark", "no"},
    {"preserve-entities", "yes"},
    {"quote-ampersand", "no"},
    {"quote-nbsp", "no"},
    {"quote-marks", "no"},
    {"drop-empty-elements", "no"},
    {"drop-empty-paras", "no"},
    {"merge-divs", "no"},
    {"merge-spans", "no"},
    {"join-styles", "no"},
    {"fix-uri", "no"},
    {"fix-backslash", "no"},
    {"literal-attributes", "yes"},
    {"vertical-space", "no"},
    {"show-body-only", "auto"},
    {"doctype", "auto"},
    {"newline", "LF"},
    {"input-encoding", "utf8"},
    {"output-encoding", "utf8"},
    {"show-errors", "1000"},
    {"show-warnings", "no"},
};

struct Errors {
    QList<CheckMessage> messages;
};

Bool TIDY_CALL collectErrors(::TidyMessage message)
{
    if (tidyGetMessageLevel(message) == TidyError) {
        auto *e = static_cast<Errors *>(tidyGetAppData(tidyGetMessageDoc(message)));
        e->messages << CheckMessage{tidyGetMessageLine(message), tidyGetMessageColumn(message), Kind::Error,
                                    QString::fromUtf8(tidyGetMessage(message))};
    }
    return no;
}

enum class Piece { StartTag, EndTag, Comment, Declaration, Text, Raw };

// A piece of markup, [begin, end), and the white space before it,
// [gap, begin).
struct Token {
    Piece piece;
    qsizetype gap;
    qsizetype begin;
    qsizetype end;
    QByteArray name; // tags: the name in lower case
};

using markupChars::isBlank;
using markupChars::isNameChar;
using markupChars::oneOf;
using markupChars::isNameStart;

// Elements whose content is kept whole: white space in them shows, or is code.
bool keptWhole(const QByteArray &name)
{
    return oneOf(name, {"pre", "textarea", "script", "style", "xmp", "plaintext", "listing"});
}

// Tags beside which white space never shows: the blocks of a page, the parts
// of a table, list and head.
bool isBlock(const QByteArray &name)
{
    return oneOf(name, {"html", "head", "body", "title", "meta", "link", "base", "address", "article", "aside",
                        "blockquote", "caption", "center", "col", "colgroup", "dd", "details", "dialog", "dir",
                        "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form", "frameset",
                        "frame", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hgroup", "hr", "legend", "li",
                        "main", "menu", "nav", "noframes", "ol", "optgroup", "option", "p", "pre", "section",
                        "summary", "table", "tbody", "td", "tfoot", "th", "thead", "tr", "ul"});
}

qsizetype findFrom(const QByteArray &text, qsizetype from, const char *what)
{
    const qsizetype at = text.indexOf(what, from);
    return at < 0 ? text.size() : at + qsizetype(std::strlen(what));
}

// Where the start tag beginning at `at` ends, after its '>': quoted
// attribute values may hold '>'.
qsizetype startTagEnd(const QByteArray &text, qsizetype at)
{
    const qsizetype n = text.size();
    char last = 0;
    for (qsizetype i = at + 1; i < n; ++i) {
        const char c = text[i];
        if (c == '>')
            return i + 1;
        if ((c == '"' || c == '\'') && last == '=') {
            const qsizetype close = text.indexOf(c, i + 1);
            if (close < 0)
                return n;
            i = close;
            last = c;
            continue;
        }
        if (!isBlank(c))
            last = c;
    }
    return n;
}

// Where the content of a kept element that starts at `from` ends: at its
// end tag, in any letter case.
qsizetype keptEnd(const QByteArray &text, qsizetype from, const QByteArray &name)
{
    const QByteArray endTag = "</" + name;
    for (qsizetype at = text.indexOf("</", from); at >= 0; at = text.indexOf("</", at + 2))
        if (text.size() - at >= endTag.size() && qstrnicmp(text.constData() + at, endTag.constData(), endTag.size()) == 0
            && (text.size() - at == endTag.size() || !isNameChar(text[at + endTag.size()])))
            return at;
    return text.size();
}

bool startsMarkup(const QByteArray &text, qsizetype at)
{
    if (at + 1 >= text.size())
        return false;
    const char c = text[at + 1];
    return isNameStart(c) || c == '!' || c == '?' || (c == '/' && at + 2 < text.size() && isNameStart(text[at + 2]));
}

QList<Token> tokens(const QByteArray &text)
{
    QList<Token> out;
    const qsizetype n = text.size();
    qsizetype at = 0;
    while (at < n) {
        const qsizetype gap = at;
        while (at < n && isBlank(text[at]))
            ++at;
        if (at == n)
            break;
        Token t{Piece::Text, gap, at, at, {}};
        if (text[at] == '<' && startsMarkup(text, at)) {
            const char c = text[at + 1];
            if (text.mid(at, 4) == "<!--") {
                t.piece = Piece::Comment;
                t.end = findFrom(text, at + 4, "-->");
            } else if (c == '!' || c == '?') {
                t.piece = Piece::Declaration;
                t.end = findFrom(text, at, ">");
            } else {
                const bool closing = c == '/';
                qsizetype nameEnd = at + (closing ? 2 : 1);
                while (nameEnd < n && isNameChar(text[nameEnd]))
                    ++nameEnd;
                t.name = text.mid(at + (closing ? 2 : 1), nameEnd - at - (closing ? 2 : 1)).toLower();
                t.piece = closing ? Piece::EndTag : Piece::StartTag;
                t.end = closing ? findFrom(text, nameEnd, ">") : startTagEnd(text, at);
            }
        } else {
            qsizetype e = at + 1;
            while (e < n && !(text[e] == '<' && startsMarkup(text, e)))
                ++e;
            while (isBlank(text[e - 1]))
                --e;
            t.end = e;
        }
        out << t;
        at = t.end;
        if (t.piece == Piece::StartTag && keptWhole(t.name) && text[t.end - 1] == '>' && text[t.end - 2] != '/') {
            const qsizetype end = keptEnd(text, at, t.name);
            if (end > at)
                out << Token{Piece::Raw, at, at, end, {}};
            at = end;
        }
    }
    return out;
}

// What two tokens must share to be one piece of the page: the kind, a tag's
// name, a text's words.
QByteArray key(const QByteArray &text, const Token &t)
{
    switch (t.piece) {
    case Piece::StartTag:
        return '<' + t.name;
    case Piece::EndTag:
        return "</" + t.name;
    case Piece::Comment:
        return "!--";
    case Piece::Declaration:
        return "!";
    case Piece::Raw:
        return "raw";
    case Piece::Text:
        break;
    }
    QByteArray words = "t";
    bool blank = false;
    for (qsizetype i = t.begin; i < t.end; ++i) {
        if (isBlank(text[i])) {
            blank = true;
            continue;
        }
        if (blank)
            words += ' ';
        blank = false;
        words += text[i];
    }
    return words;
}

bool isTag(const Token &t)
{
    return t.piece == Piece::StartTag || t.piece == Piece::EndTag;
}

bool blockSide(const Token &t)
{
    return t.piece == Piece::Declaration || (isTag(t) && isBlock(t.name));
}

// How many of tidy's tokens a page's token may be looked for past: tidy adds
// a few tags (an implied HEAD with its TITLE, a BODY, end tags), never many
// in a row.
constexpr qsizetype kLookAhead = 16;

} // namespace

Pretty tidyPretty(const QByteArray &utf8)
{
    Pretty pretty;
    if (nestingDepth(utf8.constData(), utf8.size(), kDeepestNesting) > kDeepestNesting) {
        pretty.errors << CheckMessage{0, 0, Kind::Error, QString::fromLatin1(kTooDeep)};
        return pretty;
    }
    Errors errors;
    TidyDoc doc = tidyCreate();
    tidySetAppData(doc, &errors);
    tidySetMessageCallback(doc, collectErrors);
    for (const auto &[name, value] : kPrettyOptions)
        tidyOptParseValue(doc, name, value);
    tidyOptSetBool(doc, TidyQuiet, yes);
    TidyBuffer input;
    tidyBufInit(&input);
    tidyBufAttach(&input, reinterpret_cast<byte *>(const_cast<char *>(utf8.constData())), uint(utf8.size()));
    TidyBuffer output;
    tidyBufInit(&output);
    int status = utf8.isEmpty() ? tidyParseString(doc, "") : tidyParseBuffer(doc, &input);
    if (status >= 0)
        status = tidyCleanAndRepair(doc);
    if (status >= 0 && errors.messages.isEmpty())
        status = tidySaveBuffer(doc, &output);
    pretty.ok = status >= 0 && errors.messages.isEmpty();
    if (pretty.ok && output.bp)
        pretty.text = QByteArray(reinterpret_cast<const char *>(output.bp), qsizetype(output.size));
    if (status < 0 && errors.messages.isEmpty())
        errors.messages << CheckMessage{0, 0, Kind::Error, QString::fromLatin1(kUnreadable)};
    pretty.errors = errors.messages;
    tidyBufFree(&output);
    tidyBufDetach(&input);
    tidyRelease(doc);
    return pretty;
}

QByteArray tidiedUp(const QByteArray &page, const QByteArray &pretty, const QByteArray &eol)
{
    const QList<Token> mine = tokens(page);
    const QList<Token> theirs = tokens(pretty);
    std::vector<QByteArray> theirKeys;
    theirKeys.reserve(size_t(theirs.size()));
    for (const Token &t : theirs)
        theirKeys.push_back(key(pretty, t));

    // Each of the page's tokens is matched to the next of tidy's with its
    // key, past tags (and a doctype) tidy added only; a token tidy dropped or changed stays
    // unmatched, and the white space beside it stays as it is.
    std::vector<qsizetype> match(size_t(mine.size()), -1);
    qsizetype next = 0;
    for (qsizetype i = 0; i < mine.size(); ++i) {
        const QByteArray k = key(page, mine[i]);
        for (qsizetype j = next; j < theirs.size() && j < next + kLookAhead; ++j) {
            if (theirKeys[size_t(j)] == k) {
                match[size_t(i)] = j;
                next = j + 1;
                break;
            }
            if (!isTag(theirs[j]) && theirs[j].piece != Piece::Declaration)
                break;
        }
    }

    QByteArray out;
    out.reserve(page.size() + page.size() / 4);
    qsizetype done = 0;
    for (qsizetype i = 0; i < mine.size(); ++i) {
        const Token &t = mine[i];
        QByteArray gap = page.mid(t.gap, t.begin - t.gap);
        const qsizetype a = i > 0 ? match[size_t(i - 1)] : -1;
        const qsizetype b = match[size_t(i)];
        if (a >= 0 && b > a) {
            const Token &o = theirs[b];
            const QByteArray theirGap = pretty.mid(o.gap, o.begin - o.gap);
            if (gap.isEmpty() == theirGap.isEmpty() || blockSide(mine[i - 1]) || blockSide(t)) {
                gap = theirGap;
                if (eol != "\n")
                    gap.replace('\n', eol);
            }
        }
        out += gap;
        out.append(page.constData() + t.begin, t.end - t.begin);
        done = t.end;
    }
    out.append(page.constData() + done, page.size() - done);
    return out;
}

} // namespace tw::checking
