#include "search/TextMatches.h"

#include "search/SiteSearch.h"

#include <QHash>

#include <algorithm>
#include <cctype>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw::search {

namespace {

bool isLineEnd(const char *data, qsizetype length, qsizetype p)
{
    return data[p] == '\n' || (data[p] == '\r' && (p + 1 >= length || data[p + 1] != '\n'));
}

// The line ends in [from, to): LF, and CR alone. Written without branches,
// so that the compiler does it many bytes at a time.
qsizetype lineEnds(const char *data, qsizetype length, qsizetype from, qsizetype to)
{
    qsizetype n = 0;
    const qsizetype pairs = std::min(to, length - 1); // bytes with one after them
    for (qsizetype i = from; i < pairs; ++i)
        n += (data[i] == '\n') | ((data[i] == '\r') & (data[i + 1] != '\n'));
    for (qsizetype i = std::max(from, pairs); i < to; ++i)
        n += isLineEnd(data, length, i);
    return n;
}

qsizetype characters(const char *data, qsizetype from, qsizetype to)
{
    qsizetype n = 0;
    for (qsizetype i = from; i < to; ++i)
        n += (static_cast<unsigned char>(data[i]) & 0xC0) != 0x80;
    return n;
}

// Moves back to the start of the UTF-8 character that holds p.
qsizetype characterStart(const char *data, qsizetype floor, qsizetype p)
{
    for (int i = 0; i < 3 && p > floor && (static_cast<unsigned char>(data[p]) & 0xC0) == 0x80; ++i)
        --p;
    return p;
}

// The most of a long line shown before and after a match, in bytes.
constexpr qsizetype kShownBefore = 80;
constexpr qsizetype kShownAfter = 200;

} // namespace

QByteArray textDigest(const char *data, qsizetype length)
{
    // Only ever compared within one run of the program, to tell a text that
    // changed since it was searched: two of Qt's fast hashes with different
    // seeds (128 bits) beside the length, at a fraction of a cryptographic
    // hash's cost.
    const size_t seeds[] = {0x9e3779b97f4a7c15u, 0xc2b2ae3d27d4eb4fu};
    QByteArray out;
    out.reserve(24);
    for (const size_t seed : seeds) {
        const quint64 h = qHashBits(data, size_t(length), seed);
        out.append(reinterpret_cast<const char *>(&h), sizeof h);
    }
    const quint64 size = quint64(length);
    out.append(reinterpret_cast<const char *>(&size), sizeof size);
    return out;
}

QByteArray requiredBytes(const QString &pattern, const FindOptions &options)
{
    const QByteArray bytes = pattern.toUtf8();
    if (options.regularExpression || bytes.isEmpty())
        return {};
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == 0)
            return {};
    }
    if (options.matchCase)
        return bytes;
    QByteArray longest, run;
    for (const char c : bytes + 'k') {
        const char lower = char(std::tolower(static_cast<unsigned char>(c)));
        if (lower == 'k' || lower == 's') {
            if (run.size() > longest.size())
                longest = run;
            run.clear();
        } else {
            run += lower;
        }
    }
    return longest.size() >= 3 ? longest : QByteArray();
}

bool holdsBytes(const char *data, qsizetype length, const QByteArray &needle, bool matchCase)
{
    if (matchCase)
        return ::memmem(data, size_t(length), needle.constData(), size_t(needle.size())) != nullptr;
    // The needle is in small letters. Places where its first and its last
    // byte stand (letters of either case) are found sixteen at a time, and
    // only those are compared whole.
    const qsizetype n = needle.size();
    if (n == 0)
        return true;
    if (n > length)
        return false;
    const auto *pat = reinterpret_cast<const unsigned char *>(needle.constData());
    const auto *text = reinterpret_cast<const unsigned char *>(data);
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    const auto holdsAt = [&](qsizetype at) {
        for (qsizetype i = 0; i < n; ++i) {
            if (fold(text[at + i]) != pat[i])
                return false;
        }
        return true;
    };
    const unsigned char first = pat[0];
    const unsigned char last = pat[n - 1];
    qsizetype at = 0;
#if defined(__SSE2__)
    // A letter with the 0x20 bit set is its small letter, and no byte but
    // the letter's capital becomes it that way.
    const auto isLetter = [](unsigned char c) { return c >= 'a' && c <= 'z'; };
    const __m128i firstBytes = _mm_set1_epi8(char(first));
    const __m128i lastBytes = _mm_set1_epi8(char(last));
    const __m128i firstFold = _mm_set1_epi8(isLetter(first) ? 0x20 : 0);
    const __m128i lastFold = _mm_set1_epi8(isLetter(last) ? 0x20 : 0);
    for (; at + n - 1 + 16 <= length; at += 16) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at)), firstFold);
        const __m128i b =
            _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at + n - 1)), lastFold);
        unsigned mask = unsigned(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstBytes), _mm_cmpeq_epi8(b, lastBytes))));
        while (mask) {
            if (holdsAt(at + __builtin_ctz(mask)))
                return true;
            mask &= mask - 1;
        }
    }
#endif
    for (; at + n <= length; ++at) {
        if (fold(text[at]) == first && fold(text[at + n - 1]) == last && holdsAt(at))
            return true;
    }
    return false;
}

bool findInText(TextSearch &search, const char *data, qsizetype length, PageHits &page,
                const std::atomic<bool> &stop)
{
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype counted = 0; // lines are counted up to here
    return search.forEachMatch(data, length, [&](const TextMatch &m) {
        ++page.count;
        if (page.hits.size() >= kMaxListedHits || stop.load(std::memory_order_relaxed))
            return;
        if (counted < m.start) {
            line += int(lineEnds(data, length, counted, m.start));
            for (qsizetype p = m.start - 1; p >= counted; --p) {
                if (isLineEnd(data, length, p)) {
                    lineStart = p + 1;
                    break;
                }
            }
            counted = m.start;
        }
        qsizetype lineEnd = m.start;
        while (lineEnd < length && data[lineEnd] != '\n' && data[lineEnd] != '\r')
            ++lineEnd;
        const qsizetype from = m.start - lineStart > kShownBefore
                                   ? characterStart(data, lineStart, m.start - kShownBefore)
                                   : lineStart;
        const qsizetype markEnd = std::min(m.end(), lineEnd);
        const qsizetype to = lineEnd - markEnd > kShownAfter
                                 ? characterStart(data, markEnd, markEnd + kShownAfter)
                                 : lineEnd;
        SearchHit hit;
        hit.start = m.start;
        hit.length = m.length;
        hit.line = line;
        hit.column = int(characters(data, lineStart, m.start)) + 1;
        const QString before = QString::fromUtf8(data + from, m.start - from);
        const QString marked = QString::fromUtf8(data + m.start, markEnd - m.start);
        hit.lineText = before + marked + QString::fromUtf8(data + markEnd, to - markEnd);
        hit.markStart = int(before.size());
        hit.markLength = int(marked.size());
        page.hits.push_back(std::move(hit));
    });
}

} // namespace tw::search
