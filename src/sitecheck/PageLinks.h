#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>

namespace tw::sitecheck {

// One address written in a page or a style sheet, as a browser reads it
// (character references decoded, CSS escapes undone), in UTF-8.
struct Address {
    QByteArray text;
    qsizetype offset = 0; // where it starts in the text, in bytes
    int line = 0;         // from 1
    int column = 0;       // from 1, in characters
    bool href = false;    // an href attribute, where an empty value is a fault
    bool operator==(const Address &o) const
    {
        return text == o.text && offset == o.offset && line == o.line && column == o.column && href == o.href;
    }
};

// What the check needs of one page: its addresses in text order, the names
// a #fragment may point at (every id, and the name of each <a>), and the
// address of its <base>, when it has one.
struct PageLinks {
    QList<Address> addresses;
    QSet<QByteArray> anchors;
    QByteArray base;
    bool hasBase = false;
};

// The links of an HTML page's UTF-8 text, parsed as a browser parses it
// (gumbo): href, src, srcset, background, action, formaction, poster and an
// object's data, and the url(...) and @import of its <style> elements and
// style attributes. Lines and columns are filled in.
PageLinks htmlLinks(const QByteArray &utf8);

// The url(...) and @import addresses of a style sheet, with offsets from
// `offset` on; lines and columns are left for placeAddresses.
void cssLinks(const char *css, qsizetype size, qsizetype offset, QList<Address> &out);

// The links of a style sheet's text, lines and columns filled in.
PageLinks styleSheetLinks(const QByteArray &utf8);

// Fills in the line and column of each address from its offset in text.
void placeAddresses(const QByteArray &text, QList<Address> &addresses);

} // namespace tw::sitecheck
