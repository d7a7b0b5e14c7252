#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace tw {

// Reading a file the user chose (a page, a picture, a fragment): only a
// regular file is opened. Opening a pipe waits until something writes to it,
// a device or a pipe may never end, and a folder holds no text; any of them
// would hang the program or fill its memory.

// Opens path for reading when it names a regular file (symbolic links
// followed), unbuffered. Anything else is refused before it is opened. The
// open itself never waits (O_NONBLOCK) and the opened file is checked once
// more, so a file swapped for a pipe in between is refused as well. False
// with the reason, as the end of a sentence ("it is a device or pipe, not a
// file."), when the file cannot be opened.
bool openRegularFile(QFile &file, const QString &path, QString &reason);

// The most a picture file may hold: far more than any picture a page shows.
inline constexpr qint64 kLargestPicture = 256'000'000;

// "it is larger than 2 GB, too large to read."
QString tooLargeReason(qint64 limit);

struct RegularFileRead {
    bool ok = false;
    QString reason; // as the end of a sentence, when not ok
    QByteArray bytes;
};

// Reads a regular file whole, refusing it when it holds more than limit
// bytes, whatever size it reports (files under /proc report none): reading
// stops at limit + 1 bytes.
RegularFileRead readRegularFile(const QString &path, qint64 limit);

} // namespace tw
