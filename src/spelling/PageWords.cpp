#include "spelling/PageWords.h"

#include "platform/MarkupChars.h"

#include <QChar>

#include <cstring>

namespace tw::spelling {

namespace {

constexpr char32_t kNone = 0xFFFFFFFF; // a byte that begins no UTF-8 character

using markupChars::isBlank;
using markupChars::isAsciiLetter;
using markupChars::lowerChar;

bool sameName(const char *s, qsizetype size, const char *name)
{
    const qsizetype n = qsizetype(std::strlen(name));
    if (size != n)
        return false;
    for (qsizetype i = 0; i < n; ++i)
        if (lowerChar(s[i]) != name[i])
            return false;
    return true;
}

// The named references that stand for letters (Latin-1's and a few of
// Latin Extended-A's) and for the apostrophe; any other reference ends a word.
struct Named {
    const char *name;
    char32_t cp;
};
constexpr Named kNamed[] = {
    {"Agrave", 0xC0}, {"Aacute", 0xC1}, {"Acirc", 0xC2},  {"Atilde", 0xC3}, {"Auml", 0xC4},   {"Aring", 0xC5},
    {"AElig", 0xC6},  {"Ccedil", 0xC7}, {"Egrave", 0xC8}, {"Eacute", 0xC9}, {"Ecirc", 0xCA},  {"Euml", 0xCB},
    {"Igrave", 0xCC}, {"Iacute", 0xCD}, {"Icirc", 0xCE},  {"Iuml", 0xCF},   {"ETH", 0xD0},    {"Ntilde", 0xD1},
    {"Ograve", 0xD2}, {"Oacute", 0xD3}, {"Ocirc", 0xD4},  {"Otilde", 0xD5}, {"Ouml", 0xD6},   {"Oslash", 0xD8},
    {"Ugrave", 0xD9}, {"Uacute", 0xDA}, {"Ucirc", 0xDB},  {"Uuml", 0xDC},   {"Yacute", 0xDD}, {"THORN", 0xDE},
    {"szlig", 0xDF},  {"agrave", 0xE0}, {"aacute", 0xE1}, {"acirc", 0xE2},  {"atilde", 0xE3}, {"auml", 0xE4},
    {"aring", 0xE5},  {"aelig", 0xE6},  {"ccedil", 0xE7}, {"egrave", 0xE8}, {"eacute", 0xE9}, {"ecirc", 0xEA},
    {"euml", 0xEB},   {"igrave", 0xEC}, {"iacute", 0xED}, {"icirc", 0xEE},  {"iuml", 0xEF},   {"eth", 0xF0},
    {"ntilde", 0xF1}, {"ograve", 0xF2}, {"oacute", 0xF3}, {"ocirc", 0xF4},  {"otilde", 0xF5}, {"ouml", 0xF6},
    {"oslash", 0xF8}, {"ugrave", 0xF9}, {"uacute", 0xFA}, {"ucirc", 0xFB},  {"uuml", 0xFC},   {"yacute", 0xFD},
    {"thorn", 0xFE},  {"yuml", 0xFF},   {"OElig", 0x152}, {"oelig", 0x153}, {"Scaron", 0x160}, {"scaron", 0x161},
    {"Yuml", 0x178},  {"apos", 0x27},   {"rsquo", 0x2019},
};

// A character reference at s[i] == '&' ending before `end`: its character and
// the offset after its ';'; kNone (and i + 1) when it is not one.
char32_t readReference(const char *s, qsizetype end, qsizetype i, qsizetype &next)
{
    next = i + 1;
    qsizetype k = i + 1;
    if (k < end && s[k] == '#') {
        ++k;
        const bool hex = k < end && (s[k] == 'x' || s[k] == 'X');
        if (hex)
            ++k;
        char32_t cp = 0;
        const qsizetype digits = k;
        for (; k < end && k - digits < 8; ++k) {
            const char c = s[k];
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && lowerChar(c) >= 'a' && lowerChar(c) <= 'f')
                d = lowerChar(c) - 'a' + 10;
            if (d < 0)
                break;
            cp = cp * (hex ? 16 : 10) + char32_t(d);
        }
        if (k == digits || k >= end || s[k] != ';' || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return kNone;
        next = k + 1;
        return cp;
    }
    const qsizetype nameStart = k;
    while (k < end && k - nameStart <= 8 && isAsciiLetter(s[k]))
        ++k;
    if (k >= end || s[k] != ';' || k == nameStart)
        return kNone;
    const qsizetype length = k - nameStart;
    for (const Named &n : kNamed) {
        if (qsizetype(std::strlen(n.name)) == length && std::memcmp(n.name, s + nameStart, size_t(length)) == 0) {
            next = k + 1;
            return n.cp;
        }
    }
    return kNone;
}

// The character at s[i] (a character reference decoded), and the offset after it.
char32_t readChar(const char *s, qsizetype end, qsizetype i, qsizetype &next)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        if (c == '&')
            return readReference(s, end, i, next);
        next = i + 1;
        return c;
    }
    next = i + 1;
    int more = 0;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3;
        cp = c & 0x07;
    } else {
        return kNone;
    }
    if (i + more >= end)
        return kNone;
    for (int m = 1; m <= more; ++m) {
        const auto b = static_cast<unsigned char>(s[i + m]);
        if ((b & 0xC0) != 0x80)
            return kNone;
        cp = (cp << 6) | (b & 0x3F);
    }
    if ((more == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
        return kNone;
    next = i + 1 + more;
    return cp;
}

enum class Kind { Other, Letter, Taint, Apostrophe, Joiner };

Kind kindOf(char32_t cp)
{
    if (cp < 0x80) {
        const char c = char(cp);
        if (isAsciiLetter(c))
            return Kind::Letter;
        if ((c >= '0' && c <= '9') || c == '_')
            return Kind::Taint;
        if (c == '\'')
            return Kind::Apostrophe;
        if (c == '.' || c == '/' || c == ':' || c == '@')
            return Kind::Joiner;
        return Kind::Other;
    }
    if (cp == kNone)
        return Kind::Other;
    if (cp == 0x2019)
        return Kind::Apostrophe;
    if (QChar::isLetter(cp) || QChar::isMark(cp))
        return Kind::Letter;
    if (QChar::isDigit(cp))
        return Kind::Taint;
    return Kind::Other;
}

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The words of the prose in s[begin, end).
void wordsIn(const char *s, qsizetype begin, qsizetype end, std::string &word, const WordSink &sink)
{
    qsizetype i = begin;
    while (i < end) {
        // Plain ASCII that cannot start a word is passed quickly.
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80 && c != '&' && !isAsciiLetter(char(c)) && !(c >= '0' && c <= '9') && c != '_') {
            ++i;
            continue;
        }
        qsizetype next;
        char32_t cp = readChar(s, end, i, next);
        Kind kind = kindOf(cp);
        if (kind != Kind::Letter && kind != Kind::Taint) {
            i = next;
            continue;
        }
        const qsizetype start = i;
        qsizetype last = next;
        bool tainted = false;
        word.clear();
        for (;;) {
            if (kind == Kind::Taint)
                tainted = true;
            appendUtf8(word, cp);
            last = next;
            i = next;
            if (i >= end)
                break;
            cp = readChar(s, end, i, next);
            kind = kindOf(cp);
            if (kind == Kind::Letter || kind == Kind::Taint)
                continue;
            if (kind != Kind::Apostrophe && kind != Kind::Joiner)
                break;
            // Between two word characters an apostrophe stays in the word
            // and a joiner makes the whole run something other than a word.
            qsizetype after;
            const char32_t following = next < end ? readChar(s, end, next, after) : kNone;
            const Kind followingKind = kindOf(following);
            if (followingKind != Kind::Letter && followingKind != Kind::Taint)
                break;
            if (kind == Kind::Joiner)
                tainted = true;
            word += kind == Kind::Apostrophe ? '\'' : char(cp);
            i = next;
            cp = following;
            kind = followingKind;
            next = after;
        }
        if (!tainted)
            sink(start, last, std::string_view(word));
    }
}

// Walks the markup of the text: the prose between tags goes to `text`, each
// start tag's name and attributes to `tag`, which returns false to stop.
// Comments, declarations, processing instructions and end tags are skipped,
// and so is the content of script and style elements.
struct Attribute {
    qsizetype nameStart, nameEnd, valueStart, valueEnd;
};

template<typename Text, typename Tag>
void walk(const char *s, qsizetype size, Text text, Tag tag)
{
    const auto find = [s, size](qsizetype from, const char *what) -> qsizetype {
        const size_t n = std::strlen(what);
        for (qsizetype k = from; k + qsizetype(n) <= size; ++k) {
            const void *hit = std::memchr(s + k, what[0], size_t(size - k));
            if (!hit)
                return -1;
            k = static_cast<const char *>(hit) - s;
            if (k + qsizetype(n) <= size && std::memcmp(s + k, what, n) == 0)
                return k;
        }
        return -1;
    };
    const auto skipPast = [&find, size](qsizetype from, const char *what) {
        const qsizetype at = find(from, what);
        return at < 0 ? size : at + qsizetype(std::strlen(what));
    };
    qsizetype textStart = 0;
    qsizetype i = 0;
    std::vector<Attribute> attributes;
    while (i < size) {
        const void *hit = std::memchr(s + i, '<', size_t(size - i));
        if (!hit)
            break;
        i = static_cast<const char *>(hit) - s;
        const qsizetype j = i + 1;
        if (j >= size)
            break;
        const char c = s[j];
        if (c == '!' || c == '?' || (c == '/' && j + 1 < size && isAsciiLetter(s[j + 1]))) {
            text(textStart, i);
            if (c == '!' && j + 2 < size && s[j + 1] == '-' && s[j + 2] == '-')
                i = skipPast(j + 3, "-->");
            else
                i = skipPast(j, ">");
            textStart = i;
            continue;
        }
        if (!isAsciiLetter(c)) {
            ++i;
            continue;
        }
        text(textStart, i);
        qsizetype k = j;
        while (k < size && !isBlank(s[k]) && s[k] != '/' && s[k] != '>')
            ++k;
        const qsizetype nameEnd = k;
        attributes.clear();
        for (;;) {
            while (k < size && (isBlank(s[k]) || s[k] == '/'))
                ++k;
            if (k >= size || s[k] == '>')
                break;
            Attribute a{k, k, -1, -1};
            ++k;
            while (k < size && !isBlank(s[k]) && s[k] != '/' && s[k] != '>' && s[k] != '=')
                ++k;
            a.nameEnd = k;
            while (k < size && isBlank(s[k]))
                ++k;
            if (k < size && s[k] == '=') {
                ++k;
                while (k < size && isBlank(s[k]))
                    ++k;
                if (k < size && (s[k] == '"' || s[k] == '\'')) {
                    const char quote = s[k];
                    a.valueStart = ++k;
                    const void *close = std::memchr(s + k, quote, size_t(size - k));
                    a.valueEnd = close ? static_cast<const char *>(close) - s : size;
                    k = qMin(size, a.valueEnd + 1);
                } else {
                    a.valueStart = k;
                    while (k < size && !isBlank(s[k]) && s[k] != '>')
                        ++k;
                    a.valueEnd = k;
                }
            }
            attributes.push_back(a);
        }
        i = qMin(size, k + 1);
        textStart = i;
        if (!tag(j, nameEnd, attributes))
            return;
        for (const char *raw : {"script", "style"}) {
            if (!sameName(s + j, nameEnd - j, raw))
                continue;
            // The element ends at the first end tag of its name.
            const qsizetype n = qsizetype(std::strlen(raw));
            qsizetype at = i;
            for (;;) {
                at = find(at, "</");
                if (at < 0) {
                    at = size;
                    break;
                }
                const qsizetype after = at + 2 + n;
                if (after <= size && sameName(s + at + 2, n, raw) && (after == size || isBlank(s[after]) || s[after] == '>' || s[after] == '/'))
                    break;
                at += 2;
            }
            i = textStart = at;
        }
    }
    text(textStart, size);
}

} // namespace

void forEachWord(const char *utf8, qsizetype size, const WordSink &sink)
{
    std::string word;
    walk(
        utf8, size, [&](qsizetype b, qsizetype e) { wordsIn(utf8, b, e, word, sink); },
        [&](qsizetype, qsizetype, const std::vector<Attribute> &attributes) {
            for (const Attribute &a : attributes) {
                const char *name = utf8 + a.nameStart;
                const qsizetype n = a.nameEnd - a.nameStart;
                if (a.valueStart >= 0 && (sameName(name, n, "alt") || sameName(name, n, "title") || sameName(name, n, "placeholder")))
                    wordsIn(utf8, a.valueStart, a.valueEnd, word, sink);
            }
            return true;
        });
}

QString decodeWord(const char *utf8, qsizetype size)
{
    QString out;
    for (qsizetype i = 0; i < size;) {
        qsizetype next;
        const char32_t cp = readChar(utf8, size, i, next);
        if (cp != kNone)
            out += QString::fromUcs4(&cp, 1);
        i = next;
    }
    return out.replace(QChar(0x2019), QLatin1Char('\''));
}

QString pageLanguage(const char *utf8, qsizetype size)
{
    QString lang;
    walk(
        utf8, size, [](qsizetype, qsizetype) {},
        [&](qsizetype nameStart, qsizetype nameEnd, const std::vector<Attribute> &attributes) {
            if (!sameName(utf8 + nameStart, nameEnd - nameStart, "html"))
                return true;
            for (const Attribute &a : attributes)
                if (a.valueStart >= 0 && sameName(utf8 + a.nameStart, a.nameEnd - a.nameStart, "lang"))
                    lang = decodeWord(utf8 + a.valueStart, a.valueEnd - a.valueStart).trimmed();
            return false;
        });
    return lang;
}

} // namespace tw::spelling
