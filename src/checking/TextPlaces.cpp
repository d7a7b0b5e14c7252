#include "checking/TextPlaces.h"

#include "pages/PageEncoding.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace tw::checking {

namespace {

using uchar = unsigned char;

// The well-formed UTF-8 sequence at p: its length, with cp set; 0 if malformed.
int decode(const uchar *p, qsizetype avail, char32_t &cp)
{
    const unsigned c = p[0];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    const int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    if (c < 0xC2 || c > 0xF4 || avail < len)
        return 0;
    char32_t v = c & (0x3F >> (len - 1));
    for (int k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (p[k] & 0x3F);
    }
    if ((len == 3 && (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF))) || (len == 4 && (v < 0x10000 || v > 0x10FFFF)))
        return 0;
    cp = v;
    return len;
}

// How many bytes tidy takes as one character when it reads UTF-8 at p: a
// lead byte with the continuation bytes that follow it, up to the count the
// lead byte announces.
int tidyCharLength(const uchar *p, qsizetype avail)
{
    const unsigned c = p[0];
    const int want = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : c < 0xFC ? 5 : c < 0xFE ? 6 : 1;
    int len = 1;
    while (len < want && len < avail && (p[len] & 0xC0) == 0x80)
        ++len;
    return len;
}

bool undefinedLegacy(unsigned b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

int referenceLength(char32_t cp)
{
    return 3 + int(QByteArray::number(uint(cp)).size()); // "&#" digits ";"
}

struct Step {
    int bytes;
    int columns; // -1: a tab
};

// The character at p as tidy counts it.
Step stepAt(const uchar *p, qsizetype avail, bool legacy)
{
    const unsigned c = p[0];
    if (c == '\t')
        return {1, -1};
    if (c < 0x20)
        return {1, 0};
    if (c < 0x80)
        return {1, 1};
    if (!legacy)
        return {tidyCharLength(p, avail), 1};
    char32_t cp = 0;
    const int len = decode(p, avail, cp);
    if (len == 0)
        return {1, undefinedLegacy(c) ? 0 : 1};
    const int b = windows1252Byte(cp);
    if (b < 0)
        return {len, referenceLength(cp)};
    return {len, undefinedLegacy(unsigned(b)) ? 0 : 1};
}

// The end of the span that starts at `at` on a line ending at lineEnd.
qint64 spanEnd(const uchar *d, qint64 at, qint64 lineEnd, bool legacy)
{
    if (at >= lineEnd)
        return at;
    const auto scanTo = [&](uchar stop, qint64 cap, bool wordOnly) {
        const qint64 limit = std::min(lineEnd, at + cap);
        for (qint64 i = at + 1; i < limit; ++i) {
            if (d[i] == stop)
                return i + 1;
            if (wordOnly && (d[i] == ' ' || d[i] == '\t' || d[i] == '<' || d[i] == '&'))
                return i;
        }
        return limit;
    };
    if (d[at] == '<')
        return scanTo('>', 1000, false);
    if (d[at] == '&')
        return scanTo(';', 64, true);
    return at + stepAt(d + at, lineEnd - at, legacy).bytes;
}

} // namespace

QByteArray windows1252ForCheck(const char *utf8, qsizetype size)
{
    const auto *d = reinterpret_cast<const uchar *>(utf8);
    QByteArray out;
    out.reserve(size);
    for (qsizetype i = 0; i < size;) {
        if (d[i] < 0x80) {
            out.append(char(d[i++]));
            continue;
        }
        char32_t cp = 0;
        const int len = decode(d + i, size - i, cp);
        if (len == 0) {
            out.append(char(d[i++]));
            continue;
        }
        const int b = windows1252Byte(cp);
        if (b >= 0)
            out.append(char(b));
        else
            out.append("&#" + QByteArray::number(uint(cp)) + ';');
        i += len;
    }
    return out;
}

int columnAfter(const char *utf8, qsizetype size, bool legacy)
{
    const auto *d = reinterpret_cast<const uchar *>(utf8);
    int col = 1;
    for (qsizetype pos = 0; pos < size;) {
        const Step s = stepAt(d + pos, size - pos, legacy);
        col = s.columns < 0 ? col + 8 - (col - 1) % 8 : col + s.columns;
        pos += s.bytes;
    }
    return col;
}

QList<Span> spansOf(const char *utf8, qsizetype size, bool legacy, const QList<TidyPlace> &places)
{
    const auto *d = reinterpret_cast<const uchar *>(utf8);
    // Line starts, each line ending at LF, CR LF or CR.
    std::vector<qint64> starts{0};
    for (qsizetype i = 0; i < size; ++i) {
        if (d[i] == '\n' || (d[i] == '\r' && (i + 1 >= size || d[i + 1] != '\n')))
            starts.push_back(i + 1);
    }
    const auto lineEndOf = [&](size_t line) { // 0-based
        qint64 e = line + 1 < starts.size() ? starts[line + 1] : size;
        while (e > starts[line] && (d[e - 1] == '\n' || d[e - 1] == '\r'))
            --e;
        return e;
    };
    const bool bom = !legacy && size >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF;

    // Walks the places in text order, so that each line is walked once.
    std::vector<int> order(size_t(places.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&places](int a, int b) {
        return places[a].line != places[b].line ? places[a].line < places[b].line
                                                : places[a].column < places[b].column;
    });
    QList<Span> spans(places.size());
    int walkedLine = -1;
    qint64 pos = 0;
    int col = 1;
    for (int index : order) {
        const TidyPlace &place = places[index];
        if (place.line < 1) {
            spans[index] = Span{0, 0};
            continue;
        }
        if (size_t(place.line) > starts.size()) {
            spans[index] = Span{size, size};
            continue;
        }
        const size_t line = size_t(place.line - 1);
        const qint64 lineEnd = lineEndOf(line);
        if (int(line) != walkedLine) {
            walkedLine = int(line);
            pos = starts[line] + ((line == 0 && bom) ? 3 : 0);
            col = 1;
        }
        while (pos < lineEnd && col < place.column) {
            const Step s = stepAt(d + pos, lineEnd - pos, legacy);
            const int next = s.columns < 0 ? col + 8 - (col - 1) % 8 : col + s.columns;
            if (next > place.column)
                break; // this character covers the column
            col = next;
            pos += s.bytes;
        }
        // Characters tidy drops share the column of the one after them.
        while (pos < lineEnd && stepAt(d + pos, lineEnd - pos, legacy).columns == 0)
            pos += stepAt(d + pos, lineEnd - pos, legacy).bytes;
        spans[index] = Span{pos, spanEnd(d, pos, lineEnd, legacy)};
    }
    return spans;
}

} // namespace tw::checking
