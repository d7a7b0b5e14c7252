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
// Windows-1252 bytes to UTF-8.
QByteArray legacyToUtf8(const QByteArray &bytes);

// Writes all of the data, retrying short writes, so that a failure (a full
// disk) ends with the system's reason for it.
bool writeAll(QFileDevice &file, const char *data, qint64 size);
// Writes UTF-8 text that fitsLegacy() accepted as Windows-1252 bytes, in
// chunks, so the text is never copied whole. False on a write failure or a
// character without a byte.
bool writeLegacy(QFileDevice &file, const char *utf8, qsizetype size);

} // namespace tw
