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
// True when the bytes are best read as UTF-8: well-formed, or well-formed
// apart from a few stray bytes (no more stray bytes than well-formed
// multi-byte characters, and at least one of those). The editor keeps stray
// bytes as they are, so such a page is written back byte for byte.
bool readsAsUtf8(const char *data, qsizetype size);
// True when every character of the UTF-8 text has a Windows-1252 byte.
// Malformed UTF-8 counts as not representable.
bool fitsLegacy(const char *data, qsizetype size);
// The first character of the UTF-8 text that has no Windows-1252 byte, or 0
// when there is none (malformed UTF-8 is skipped).
char32_t firstLegacyMisfit(const char *data, qsizetype size);
// Windows-1252 bytes to UTF-8.
QByteArray legacyToUtf8(const QByteArray &bytes);

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

} // namespace tw
