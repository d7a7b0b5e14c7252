#pragma once

#include <QByteArray>
#include <QtGlobal>

class QFileDevice;

namespace tw {

// The two ways a page's text lies on disk: UTF-8, and single bytes with their
// Windows-1252 meaning, where the five bytes that code page leaves undefined
// stand for the control characters of the same value so that every byte has
// exactly one character.

// True when the bytes are well-formed UTF-8 (NUL bytes allowed).
bool isValidUtf8(const char *data, qsizetype size);
// True when every character of the UTF-8 text has a Windows-1252 byte.
// Malformed UTF-8 counts as not representable.
bool fitsLegacy(const char *data, qsizetype size);
// The first character of the UTF-8 text that has no Windows-1252 byte, or 0
// when there is none (malformed UTF-8 is skipped).
char32_t firstLegacyMisfit(const char *data, qsizetype size);
// Windows-1252 bytes to UTF-8 into out, which has room for 3 * size bytes (a
// byte gives one to three). Returns the number of bytes written. Each byte
// converts on its own, so text given in pieces converts piece by piece.
qsizetype legacyToUtf8(const char *data, qsizetype size, char *out);
// The Windows-1252 byte of a character, or -1 when it has none; the five
// undefined bytes stand for the control characters of the same value.
int windows1252Byte(char32_t cp);

// Takes bytes in pieces of any size and tells afterwards whether all of them
// together are best read as UTF-8 (readsAsUtf8: well-formed, or well-formed
// apart from a few stray bytes, no more stray bytes than well-formed
// multi-byte characters and at least one of those; the editor keeps stray
// bytes as they are, so such a page is written back byte for byte), and how
// large their conversion from Windows-1252 is. A character split between two
// pieces is judged whole.
class Utf8Census {
public:
    void add(const char *data, qsizetype size);
    // After the last piece: judges the bytes still held back at the end.
    void finish();
    bool readsAsUtf8() const { return m_stray == 0 || (m_good > 0 && m_stray <= m_good); }
    // The size of the bytes converted from Windows-1252 to UTF-8.
    qint64 legacyUtf8Size() const { return m_bytes + m_legacyExtra; }

private:
    qsizetype step(const unsigned char *p, qsizetype avail);

    unsigned char m_held[4] = {};
    qsizetype m_heldSize = 0;
    qint64 m_good = 0; // well-formed multi-byte characters
    qint64 m_stray = 0; // bytes that begin no well-formed character
    qint64 m_bytes = 0;
    qint64 m_legacyExtra = 0; // bytes Windows-1252 conversion adds
};

// Writes all of the data, retrying short writes, so that a failure (a full
// disk) ends with the system's reason for it.
bool writeAll(QFileDevice &file, const char *data, qint64 size);
// Writes UTF-8 text as Windows-1252 bytes, in chunks, so the text is never
// copied whole. Without references, a character without a byte (or a
// malformed sequence) fails the write: ask fitsLegacy() first. With
// references, such a character is written as an HTML character reference
// ("&#8594;") and a stray byte as itself. False on a write failure.
bool writeLegacy(QFileDevice &file, const char *utf8, qsizetype size, bool references = false);
// How many bytes writeLegacy() would write for the text; -1 when it would fail.
qint64 legacySize(const char *utf8, qsizetype size, bool references);
// The bytes writeLegacy() would write, in memory; *ok false (and no bytes)
// when it would fail.
QByteArray legacyBytes(const char *utf8, qsizetype size, bool references, bool *ok = nullptr);

} // namespace tw
