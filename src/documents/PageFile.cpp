#include "documents/PageFile.h"

#include "documents/PageEncoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

namespace {

// ---------------------------------------------------------------------------
// Messages

QString tr(const char *text)
{
    return QCoreApplication::translate("tw::PageFile", text);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString readFailure(const QString &path, const QString &reason)
{
    return tr("Cannot open \"%1\": %2").arg(shown(path), reason);
}

QString writeFailure(const QString &path, const QString &reason)
{
    return tr("Cannot save \"%1\": %2").arg(shown(path), reason);
}

// The device's own error text, as the end of a sentence.
QString reasonFor(const QFileDevice &file)
{
    QString reason = file.errorString();
    if (reason.isEmpty())
        reason = tr("unknown error");
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        reason[0] = reason.at(0).toLower();
    return reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
}

// ---------------------------------------------------------------------------
// Reading

// Reads the open file whole. For regular files the buffer is allocated once
// at the file's size and filled in place.
bool readWhole(QFile &file, QByteArray &out)
{
    const qint64 expected = file.size();
    if (expected > 0) {
        out = QByteArray(qsizetype(expected), Qt::Uninitialized);
        qint64 got = 0;
        while (got < expected) {
            const qint64 r = file.read(out.data() + got, expected - got);
            if (r < 0)
                return false;
            if (r == 0)
                break;
            got += r;
        }
        if (got < expected)
            out.truncate(qsizetype(got));
    }
    // Anything beyond the size reported at open (a growing file, or a file
    // such as those under /proc that reports no size).
    char chunk[65536];
    for (;;) {
        const qint64 r = file.read(chunk, sizeof chunk);
        if (r < 0)
            return false;
        if (r == 0)
            break;
        out.append(chunk, qsizetype(r));
    }
    return true;
}

bool writeBody(QFileDevice &file, const char *utf8, qsizetype length, PageEncoding encoding)
{
    if (encoding == PageEncoding::Legacy) {
        if (!writeLegacy(file, utf8, length))
            return false;
    } else if (!writeAll(file, utf8, length)) {
        return false;
    }
    return writeAll(file, "\r\n", 2);
}

#ifdef Q_OS_UNIX
// A replacement file is created by whoever saves; give it the old file's
// owner and group back where the system allows it (it does for the owner's
// own groups, and for root). Permissions were copied when the file was
// opened; they are set again because a change of owner may clear the
// set-user-ID and set-group-ID bits.
void keepOwner(QSaveFile &file, const struct stat &old)
{
    const int fd = file.handle();
    struct stat now;
    if (fd < 0 || ::fstat(fd, &now) != 0)
        return;
    if (now.st_uid == old.st_uid && now.st_gid == old.st_gid)
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
    (void)::fchmod(fd, old.st_mode & 07777);
}
#endif

} // namespace

PageReadResult readPage(const QString &path)
{
    PageReadResult result;
    if (path.isEmpty()) {
        result.error = tr("Cannot open a file without a name.");
        return result;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = readFailure(path, tr("there is no such file."));
        return result;
    }
    if (info.isDir()) {
        result.error = readFailure(path, tr("it is a folder, not a file."));
        return result;
    }
    // Devices and pipes may never end (or never start): reading one whole
    // could hang the program or fill the memory.
    if (!info.isFile()) {
        result.error = readFailure(path, tr("it is a device or pipe, not a file."));
        return result;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.error = readFailure(path, reasonFor(file));
        return result;
    }
    QByteArray bytes;
    try {
        if (!readWhole(file, bytes)) {
            result.error = readFailure(path, reasonFor(file));
            return result;
        }
        file.close();

        if (isValidUtf8(bytes.constData(), bytes.size())) {
            result.utf8 = std::move(bytes);
            result.encoding = PageEncoding::Utf8;
        } else {
            result.utf8 = legacyToUtf8(bytes);
            result.encoding = PageEncoding::Legacy;
        }
    } catch (const std::bad_alloc &) {
        result.utf8.clear();
        result.error = readFailure(path, tr("there is not enough memory to hold it."));
        return result;
    }
    result.ok = true;
    return result;
}

PageWriteResult writePage(const QString &path, const char *utf8, qsizetype length,
                          PageEncoding encoding)
{
    PageWriteResult result;
    if (!utf8 || length < 0)
        length = 0;
    if (path.isEmpty()) {
        result.error = tr("Cannot save a file without a name.");
        return result;
    }

    // Text that the code page cannot hold is written as UTF-8 instead.
    result.written = encoding;
    if (encoding == PageEncoding::Legacy && !fitsLegacy(utf8, length))
        result.written = PageEncoding::Utf8;

    const QFileInfo info(path);
    if (info.isDir()) {
        result.error = writeFailure(path, tr("it is a folder, not a file."));
        return result;
    }
    if (!info.exists() && !info.absoluteDir().exists()) {
        result.error = writeFailure(path, tr("the folder \"%1\" does not exist.")
                                              .arg(shown(info.absolutePath())));
        return result;
    }

    // A device or pipe is written to, never replaced by a regular file.
    if (info.exists() && !info.isFile()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            result.error = writeFailure(path, reasonFor(file));
            return result;
        }
        if (!writeBody(file, utf8, length, result.written) || !file.flush()) {
            result.error = writeFailure(path, reasonFor(file));
            return result;
        }
        file.close();
        if (file.error() != QFileDevice::NoError) {
            result.error = writeFailure(path, reasonFor(file));
            return result;
        }
        result.ok = true;
        return result;
    }

    if (info.exists() && !info.isWritable()) {
        result.error = writeFailure(path, tr("the file is read-only."));
        return result;
    }

#ifdef Q_OS_UNIX
    struct stat old;
    const bool existed = info.exists() && ::stat(QFile::encodeName(path).constData(), &old) == 0;
#endif

    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const bool folderRefused = !info.exists() && !QFileInfo(info.absolutePath()).isWritable();
        result.error = writeFailure(path, folderRefused ? tr("permission denied.")
                                                        : reasonFor(file));
        return result;
    }
#ifdef Q_OS_UNIX
    if (existed)
        keepOwner(file, old);
#endif
    if (!writeBody(file, utf8, length, result.written) || !file.commit()) {
        result.error = writeFailure(path, reasonFor(file));
        file.cancelWriting();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tw
