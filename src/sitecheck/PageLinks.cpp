#include "sitecheck/PageLinks.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tw::sitecheck {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isNameChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z') || c == '-' || c == '_' || u >= 0x80;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

void appendUtf8(QByteArray &out, uint cp)
{
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    const char32_t c = char32_t(cp);
    out += QString::fromUcs4(&c, 1).toUtf8();
}

// A CSS escape at s[i] == '\\': appends what it stands for and returns the
// index after it.
qsizetype cssEscape(const char *s, qsizetype n, qsizetype i, QByteArray &out)
{
    ++i;
    if (i >= n)
        return i;
    if (hexValue(s[i]) < 0) {
        if (s[i] != '\n')
            out += s[i];
        return i + 1;
    }
    uint cp = 0;
    for (int k = 0; k < 6 && i < n && hexValue(s[i]) >= 0; ++k, ++i)
        cp = cp * 16 + uint(hexValue(s[i]));
    if (i < n && isSpace(s[i]))
        ++i;
    appendUtf8(out, cp);
    return i;
}

// A quoted CSS string starting at s[i] (the quote): its value and the index
// after its closing quote.
qsizetype cssString(const char *s, qsizetype n, qsizetype i, QByteArray &value)
{
    const char quote = s[i++];
    while (i < n && s[i] != quote) {
        if (s[i] == '\n')
            return i; // an unclosed string ends at the line's end
        if (s[i] == '\\')
            i = cssEscape(s, n, i, value);
        else
            value += s[i++];
    }
    return i < n ? i + 1 : n;
}

qsizetype skipSpaceAndComments(const char *s, qsizetype n, qsizetype i)
{
    for (;;) {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i + 1 < n && s[i] == '/' && s[i + 1] == '*') {
            const char *end = static_cast<const char *>(memmem(s + i + 2, size_t(n - i - 2), "*/", 2));
            i = end ? (end - s) + 2 : n;
            continue;
        }
        return i;
    }
}

bool startsWithNoCase(const char *s, qsizetype n, qsizetype i, const char *word)
{
    const auto len = qsizetype(strlen(word));
    if (i + len > n)
        return false;
    for (qsizetype k = 0; k < len; ++k)
        if ((s[i + k] | 0x20) != word[k])
            return false;
    return true;
}

// url( at s[i]: records its address and returns the index after it.
qsizetype cssUrl(const char *s, qsizetype n, qsizetype i, qsizetype offset, QList<Address> &out)
{
    i += 4;
    while (i < n && isSpace(s[i]))
        ++i;
    Address a;
    a.offset = offset + i;
    if (i < n && (s[i] == '"' || s[i] == '\'')) {
        a.offset += 1;
        i = cssString(s, n, i, a.text);
    } else {
        while (i < n && s[i] != ')' && !isSpace(s[i])) {
            if (s[i] == '\\')
                i = cssEscape(s, n, i, a.text);
            else
                a.text += s[i++];
        }
    }
    while (i < n && s[i] != ')')
        ++i;
    out << a;
    return i < n ? i + 1 : n;
}

void addAttribute(PageLinks &links, const char *value, qsizetype offset, bool href)
{
    Address a;
    a.text = QByteArray(value);
    a.offset = offset;
    a.href = href;
    links.addresses << a;
}

// The candidates of a srcset: each address up to white space, a comma
// ending it or a descriptor after it.
void addSrcset(PageLinks &links, const char *value, qsizetype offset)
{
    const qsizetype n = qsizetype(strlen(value));
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (isSpace(value[i]) || value[i] == ','))
            ++i;
        const qsizetype start = i;
        while (i < n && !isSpace(value[i]))
            ++i;
        qsizetype end = i;
        while (end > start && value[end - 1] == ',')
            --end;
        if (end > start)
            links.addresses << Address{QByteArray(value + start, end - start), offset + start, 0, 0, false};
        if (end == i) { // a descriptor may follow, up to the next comma outside brackets
            int depth = 0;
            while (i < n && (depth > 0 || value[i] != ',')) {
                depth += value[i] == '(' ? 1 : value[i] == ')' && depth > 0 ? -1 : 0;
                ++i;
            }
        }
    }
}

void readElement(PageLinks &links, const GumboElement &e, const char *text, qsizetype size)
{
    for (unsigned k = 0; k < e.attributes.length; ++k) {
        const auto *attr = static_cast<const GumboAttribute *>(e.attributes.data[k]);
        const char *name = attr->name;
        // Where the value starts in the text, past its quote.
        qsizetype offset = qsizetype(attr->value_start.offset);
        const GumboStringPiece &raw = attr->original_value;
        if (raw.data && raw.data >= text && raw.data < text + size) {
            offset = raw.data - text;
            if (raw.length > 0 && (raw.data[0] == '"' || raw.data[0] == '\''))
                ++offset;
        }
        const GumboTag tag = e.tag;
        if (!strcmp(name, "href")) {
            if (tag == GUMBO_TAG_BASE) {
                if (!links.hasBase) {
                    links.hasBase = true;
                    links.base = QByteArray(attr->value);
                }
            } else {
                addAttribute(links, attr->value, offset,
                             tag == GUMBO_TAG_A || tag == GUMBO_TAG_AREA || tag == GUMBO_TAG_LINK);
            }
        } else if (!strcmp(name, "src") || !strcmp(name, "background")
                   || (!strcmp(name, "action") && tag == GUMBO_TAG_FORM) || !strcmp(name, "formaction")
                   || (!strcmp(name, "poster") && tag == GUMBO_TAG_VIDEO)
                   || (!strcmp(name, "data") && tag == GUMBO_TAG_OBJECT)) {
            addAttribute(links, attr->value, offset, false);
        } else if (!strcmp(name, "srcset")) {
            addSrcset(links, attr->value, offset);
        } else if (!strcmp(name, "style")) {
            cssLinks(attr->value, qsizetype(strlen(attr->value)), offset, links.addresses);
        } else if (!strcmp(name, "id") || (!strcmp(name, "name") && tag == GUMBO_TAG_A)) {
            links.anchors.insert(QByteArray(attr->value));
        }
    }
    if (e.tag == GUMBO_TAG_STYLE) {
        for (unsigned k = 0; k < e.children.length; ++k) {
            const auto *child = static_cast<const GumboNode *>(e.children.data[k]);
            if (child->type != GUMBO_NODE_TEXT && child->type != GUMBO_NODE_WHITESPACE)
                continue;
            const GumboStringPiece &raw = child->v.text.original_text;
            if (raw.data >= text && raw.data + raw.length <= text + size)
                cssLinks(raw.data, qsizetype(raw.length), raw.data - text, links.addresses);
        }
    }
}

} // namespace

void cssLinks(const char *s, qsizetype n, qsizetype offset, QList<Address> &out)
{
    qsizetype i = 0;
    while (i < n) {
        const char c = s[i];
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            i = skipSpaceAndComments(s, n, i);
        } else if (c == '"' || c == '\'') {
            QByteArray ignored;
            i = cssString(s, n, i, ignored);
        } else if (c == '\\') {
            QByteArray ignored;
            i = cssEscape(s, n, i, ignored);
        } else if (c == '@' && startsWithNoCase(s, n, i + 1, "import") && !(i + 7 < n && isNameChar(s[i + 7]))) {
            i = skipSpaceAndComments(s, n, i + 7);
            if (i < n && (s[i] == '"' || s[i] == '\'')) {
                Address a;
                a.offset = offset + i + 1;
                i = cssString(s, n, i, a.text);
                out << a;
            }
        } else if ((c | 0x20) == 'u' && (i == 0 || !isNameChar(s[i - 1])) && startsWithNoCase(s, n, i, "url(")) {
            i = cssUrl(s, n, i, offset, out);
        } else {
            ++i;
        }
    }
}

PageLinks htmlLinks(const QByteArray &utf8)
{
    PageLinks links;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // only the tree is wanted
    GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    // Nesting may be as deep as the page is long: the tree is walked without
    // recursion.
    std::vector<const GumboNode *> todo{output->document};
    while (!todo.empty()) {
        const GumboNode *node = todo.back();
        todo.pop_back();
        const GumboVector *children = nullptr;
        if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            readElement(links, node->v.element, utf8.constData(), utf8.size());
            children = &node->v.element.children;
        } else if (node->type == GUMBO_NODE_DOCUMENT) {
            children = &node->v.document.children;
        }
        if (children)
            for (unsigned k = children->length; k > 0; --k)
                todo.push_back(static_cast<const GumboNode *>(children->data[k - 1]));
    }
    gumbo_destroy_output(&options, output);
    std::stable_sort(links.addresses.begin(), links.addresses.end(),
                     [](const Address &a, const Address &b) { return a.offset < b.offset; });
    placeAddresses(utf8, links.addresses);
    return links;
}

PageLinks styleSheetLinks(const QByteArray &utf8)
{
    PageLinks links;
    cssLinks(utf8.constData(), utf8.size(), 0, links.addresses);
    placeAddresses(utf8, links.addresses);
    return links;
}

void placeAddresses(const QByteArray &text, QList<Address> &addresses)
{
    int line = 1;
    int column = 1;
    qsizetype at = 0;
    const char *s = text.constData();
    for (Address &a : addresses) { // in offset order
        const qsizetype to = qMin(a.offset, text.size());
        for (; at < to; ++at) {
            const char c = s[at];
            if (c == '\n' || (c == '\r' && (at + 1 >= text.size() || s[at + 1] != '\n'))) {
                ++line;
                column = 1;
            } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
                ++column;
            }
        }
        a.line = line;
        a.column = column;
    }
}

} // namespace tw::sitecheck
