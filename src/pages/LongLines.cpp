#include "pages/LongLines.h"


#include <QStringList>
#include <QtAlgorithms>

#include <cstdint>
#include <cstring>
#include <new>

namespace tw {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// True when one of the eight bytes is below 14, the range that holds CR and
// LF: (w - 14 of each) borrows into the high bit of a byte below 14.
inline bool mayHoldLineEnd(std::uint64_t w)
{
    return ((w - kOnes * 14) & ~w & kHighBits) != 0;
}

// How many of the eight bytes continue a UTF-8 character (10xxxxxx): the
// high bit set and the next one clear.
inline int continuationBytes(std::uint64_t w)
{
    return int(qPopulationCount(quint64(w & ~(w << 1) & kHighBits)));
}

inline bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The end of the line that starts at p: the first CR or LF, or end.
const char *lineEnd(const char *p, const char *end)
{
    for (; p < end; ++p) {
        if (*p == '\n' || *p == '\r')
            return p;
    }
    return end;
}

// Characters of UTF-8 text.
qint64 characters(const char *p, qsizetype size)
{
    qint64 continuation = 0;
    for (qsizetype i = 0; i < size; ++i)
        continuation += isContinuation(static_cast<unsigned char>(p[i]));
    return size - continuation;
}

} // namespace

void LineCensus::endLine()
{
    m_maxBytes = qMax(m_maxBytes, m_bytes);
    m_maxCharacters = qMax(m_maxCharacters, m_bytes - m_continuation);
    m_bytes = 0;
    m_continuation = 0;
}

void LineCensus::add(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        // Eight bytes at a time while none of them can end a line.
        while (size - i >= 8) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (mayHoldLineEnd(w))
                break;
            m_bytes += 8;
            m_continuation += continuationBytes(w);
            i += 8;
        }
        const qsizetype stop = qMin(size, i + 8);
        for (; i < stop; ++i) {
            const unsigned char c = p[i];
            if (c == '\n' || c == '\r') {
                endLine();
            } else {
                ++m_bytes;
                m_continuation += isContinuation(c);
            }
        }
    }
}

qint64 longestLine(const char *utf8, qsizetype size)
{
    LineCensus census;
    census.add(utf8, size);
    return census.longestCharacters();
}

QByteArray lineEndOf(const char *text, qsizetype size)
{
    const char *end = text + size;
    const char *p = lineEnd(text, end);
    if (p == end)
        return QByteArrayLiteral("\r\n");
    if (*p == '\n')
        return QByteArrayLiteral("\n");
    return p + 1 < end && p[1] == '\n' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\r");
}

QByteArray breakLongLines(const char *utf8, qsizetype size, qint64 limit, const QByteArray &lineEnd)
{
    const char *const end = utf8 + size;
    // The breaks to insert first, so that the result is allocated once.
    qsizetype breaks = 0;
    for (const char *line = utf8; line < end;) {
        const char *stop = tw::lineEnd(line, end);
        if (characters(line, stop - line) > limit) {
            for (const char *p = line; p < stop - 1; ++p)
                breaks += *p == '>';
        }
        line = stop < end ? stop + 1 : end;
    }
    QByteArray out;
    out.reserve(size + breaks * lineEnd.size());
    for (const char *line = utf8; line < end;) {
        const char *stop = tw::lineEnd(line, end);
        const char *next = stop < end ? stop + 1 : end; // after one CR or LF (of a CR LF, the CR)
        if (characters(line, stop - line) > limit) {
            const char *p = line;
            for (;;) {
                const auto *gt = static_cast<const char *>(std::memchr(p, '>', size_t(stop - p)));
                if (!gt || gt + 1 >= stop)
                    break;
                out.append(p, gt + 1 - p);
                out.append(lineEnd);
                p = gt + 1;
            }
            out.append(p, next - p);
        } else {
            out.append(line, next - line);
        }
        line = next;
    }
    return out;
}

} // namespace tw
