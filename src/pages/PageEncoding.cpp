#include "pages/PageEncoding.h"

#include <QFileDevice>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tw {

namespace {

// ---------------------------------------------------------------------------
// Windows-1252 tables

// What bytes 0x80..0x9F mean. The bytes the code page leaves undefined stand
// for the C1 control character of the same value, which keeps the mapping
// one to one.
constexpr char16_t kHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr char16_t legacyChar(unsigned byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? kHighHalf[byte - 0x80] : char16_t(byte);
}

struct Utf8Seq {
    unsigned char len;
    unsigned char bytes[3];
};

constexpr std::array<Utf8Seq, 256> makeDecodeTable()
{
    std::array<Utf8Seq, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        const unsigned cp = legacyChar(b);
        Utf8Seq &s = table[b];
        if (cp < 0x80) {
            s.len = 1;
            s.bytes[0] = static_cast<unsigned char>(cp);
        } else if (cp < 0x800) {
            s.len = 2;
            s.bytes[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            s.bytes[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        } else {
            s.len = 3;
            s.bytes[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            s.bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            s.bytes[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        }
    }
    return table;
}

constexpr std::array<Utf8Seq, 256> kDecode = makeDecodeTable();

// The byte for a character, or -1 when Windows-1252 has none.
int legacyByte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return int(cp);
    if (cp > 0xFFFF)
        return -1;
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighHalf[i] == cp)
            return int(0x80 + i);
    }
    return -1;
}

// ---------------------------------------------------------------------------
// UTF-8 scanning

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Length of the run of ASCII bytes at p, looked at eight bytes at a time.
inline qsizetype asciiRun(const unsigned char *p, qsizetype n)
{
    qsizetype i = 0;
    while (n - i >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        if (w & kHighBits)
            break;
        i += 8;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

// Decodes the well-formed UTF-8 sequence of two to four bytes at p (p[0] >=
// 0x80). Returns its length and sets cp, or returns 0 for a malformed,
// overlong, surrogate or out-of-range sequence.
inline int decodeMultiByte(const unsigned char *p, qsizetype avail, char32_t &cp)
{
    const unsigned c = p[0];
    auto cont = [&](qsizetype k) { return k < avail && (p[k] & 0xC0) == 0x80; };
    if (c < 0xC2)
        return 0;
    if (c < 0xE0) {
        if (!cont(1))
            return 0;
        cp = char32_t(((c & 0x1F) << 6) | (p[1] & 0x3F));
        return 2;
    }
    if (c < 0xF0) {
        if (!cont(1) || !cont(2))
            return 0;
        if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0))
            return 0;
        cp = char32_t(((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
        return 3;
    }
    if (c < 0xF5) {
        if (!cont(1) || !cont(2) || !cont(3))
            return 0;
        if ((c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] >= 0x90))
            return 0;
        cp = char32_t(((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6)
                      | (p[3] & 0x3F));
        return 4;
    }
    return 0;
}

// True when the bytes are well-formed UTF-8 and every multi-byte character
// passes accept(cp); ASCII always passes.
template <typename Accept>
bool everyCharacter(const char *data, qsizetype size, Accept accept)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        i += asciiRun(p + i, size - i);
        if (i == size)
            break;
        char32_t cp;
        const int len = decodeMultiByte(p + i, size - i, cp);
        if (len == 0 || !accept(cp))
            return false;
        i += len;
    }
    return true;
}

} // namespace

bool isValidUtf8(const char *data, qsizetype size)
{
    return everyCharacter(data, size, [](char32_t) { return true; });
}

char32_t firstLegacyMisfit(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size;) {
        i += asciiRun(p + i, size - i);
        if (i == size)
            break;
        char32_t cp = 0;
        const int len = decodeMultiByte(p + i, size - i, cp);
        if (len > 0 && legacyByte(cp) < 0)
            return cp;
        i += len > 0 ? len : 1;
    }
    return 0;
}

// True when every character of the UTF-8 text has a Windows-1252 byte.
// Malformed UTF-8 counts as not representable.
bool fitsLegacy(const char *data, qsizetype size)
{
    return everyCharacter(data, size, [](char32_t cp) { return legacyByte(cp) >= 0; });
}

int windows1252Byte(char32_t cp)
{
    return legacyByte(cp);
}

qsizetype legacyToUtf8(const char *data, qsizetype size, char *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    auto *o = reinterpret_cast<unsigned char *>(out);
    for (qsizetype i = 0; i < size;) {
        const qsizetype run = asciiRun(p + i, size - i);
        std::memcpy(o, p + i, size_t(run));
        o += run;
        i += run;
        if (i < size) {
            const Utf8Seq &s = kDecode[p[i++]];
            for (unsigned k = 0; k < s.len; ++k)
                *o++ = s.bytes[k];
        }
    }
    return o - reinterpret_cast<unsigned char *>(out);
}

// Counts the character at p: nothing for ASCII, a well-formed multi-byte
// character, or a stray byte. Returns how many bytes it took. avail is at
// least four, or all that is left of the text.
qsizetype Utf8Census::step(const unsigned char *p, qsizetype avail)
{
    if (p[0] < 0x80)
        return 1;
    char32_t cp;
    const int len = decodeMultiByte(p, avail, cp);
    const int taken = len > 0 ? len : 1;
    if (len > 0)
        ++m_good;
    else
        ++m_stray;
    for (int k = 0; k < taken; ++k)
        m_legacyExtra += kDecode[p[k]].len - 1;
    return taken;
}

void Utf8Census::add(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    m_bytes += size;
    qsizetype i = 0; // the first byte of data not yet counted
    // Characters begun at the end of the last piece are judged once four
    // bytes (the longest character) can be seen from their start.
    while (m_heldSize > 0) {
        const qsizetype more = std::min<qsizetype>(4 - m_heldSize, size - i);
        std::memcpy(m_held + m_heldSize, p + i, size_t(more));
        if (m_heldSize + more < 4) { // this piece ends too soon as well
            m_heldSize += more;
            return;
        }
        const qsizetype held = m_heldSize;
        const qsizetype len = step(m_held, 4);
        if (len >= held) {
            i += len - held;
            m_heldSize = 0;
        } else {
            std::memmove(m_held, m_held + len, size_t(held - len));
            m_heldSize = held - len;
        }
    }
    while (i < size) {
        i += asciiRun(p + i, size - i);
        if (i == size)
            break;
        if (size - i < 4) {
            std::memcpy(m_held, p + i, size_t(size - i));
            m_heldSize = size - i;
            return;
        }
        i += step(p + i, size - i);
    }
}

void Utf8Census::finish()
{
    for (qsizetype i = 0; i < m_heldSize;)
        i += step(m_held + i, m_heldSize - i);
    m_heldSize = 0;
}

// ---------------------------------------------------------------------------
// Writing

// Writes all of the data. A short write is followed by another attempt, so
// that a failure (a full disk) ends with the system's reason for it.
bool writeAll(QFileDevice &file, const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 done = file.write(data, size);
        if (done <= 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

namespace {

class LegacyWriter {
public:
    // Without a file the writer only counts the bytes it would write.
    LegacyWriter(QFileDevice *file, bool references) : m_file(file), m_references(references) {}
    // Into memory instead of a file.
    LegacyWriter(QByteArray *out, bool references) : m_file(nullptr), m_out(out), m_references(references) {}

    bool write(const char *data, qsizetype size)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(data);
        qsizetype i = 0;
        while (i < size) {
            const qsizetype run = asciiRun(p + i, size - i);
            if (!put(p + i, run))
                return false;
            i += run;
            if (i == size)
                break;
            char32_t cp = 0;
            const int len = decodeMultiByte(p + i, size - i, cp);
            const int byte = len ? legacyByte(cp) : -1;
            if (byte >= 0) {
                const auto b = static_cast<unsigned char>(byte);
                if (!put(&b, 1))
                    return false;
            } else if (!m_references) {
                return false; // fitsLegacy() was not asked first
            } else if (len == 0) {
                if (!put(p + i, 1)) // a stray byte stays what it was
                    return false;
            } else {
                char reference[16];
                const int n = std::snprintf(reference, sizeof reference, "&#%u;", unsigned(cp));
                if (!put(reinterpret_cast<const unsigned char *>(reference), n))
                    return false;
            }
            i += len ? len : 1;
        }
        return flush();
    }

    qint64 count() const { return m_count; }

private:
    bool put(const unsigned char *p, qsizetype n)
    {
        m_count += n;
        if (m_out) {
            m_out->append(reinterpret_cast<const char *>(p), n);
            return true;
        }
        if (!m_file)
            return true;
        while (n > 0) {
            const qsizetype room = qsizetype(sizeof m_buffer) - m_used;
            const qsizetype take = n < room ? n : room;
            std::memcpy(m_buffer + m_used, p, size_t(take));
            m_used += take;
            p += take;
            n -= take;
            if (m_used == qsizetype(sizeof m_buffer) && !flush())
                return false;
        }
        return true;
    }

    bool flush()
    {
        if (m_file && !writeAll(*m_file, m_buffer, m_used))
            return false;
        m_used = 0;
        return true;
    }

    QFileDevice *m_file;
    QByteArray *m_out = nullptr;
    bool m_references;
    qint64 m_count = 0;
    char m_buffer[1 << 16];
    qsizetype m_used = 0;
};

} // namespace

bool writeLegacy(QFileDevice &file, const char *utf8, qsizetype size, bool references)
{
    auto writer = std::make_unique<LegacyWriter>(&file, references);
    return writer->write(utf8, size);
}

qint64 legacySize(const char *utf8, qsizetype size, bool references)
{
    auto writer = std::make_unique<LegacyWriter>(static_cast<QFileDevice *>(nullptr), references);
    return writer->write(utf8, size) ? writer->count() : -1;
}

QByteArray legacyBytes(const char *utf8, qsizetype size, bool references, bool *ok)
{
    QByteArray out;
    const qint64 n = legacySize(utf8, size, references);
    if (n >= 0) {
        out.reserve(qsizetype(n));
        auto writer = std::make_unique<LegacyWriter>(&out, references);
        writer->write(utf8, size);
    }
    if (ok)
        *ok = n >= 0;
    return out;
}

} // namespace tw
