#include "pages/PageFile.h"

#include "pages/PageEncoding.h"
#include "pages/PageMessages.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

using namespace pageMessages;

namespace {

// The stat of a path, or the reason it has none.
bool statPath(const QString &path, struct stat &st, int &error)
{
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return true;
    error = errno;
    return false;
}

// A file-size limit raises SIGXFSZ, which would end the program with every
// unsaved window; ignored, the write fails with EFBIG and is reported. Set
// before every save, so that nothing set in between can undo it.
void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool writeBody(QFileDevice &file, const char *utf8, qsizetype length, PageEncoding encoding,
               bool finalLineEnd)
{
    if (encoding == PageEncoding::Utf8) {
        if (!writeAll(file, utf8, length))
            return false;
    } else if (!writeLegacy(file, utf8, length, encoding == PageEncoding::LegacyReferences)) {
        return false;
    }
    return !finalLineEnd || writeAll(file, "\r\n", 2);
}

// The size writeBody() gives, or -1 when the text cannot be written so.
qint64 bodySize(const char *utf8, qsizetype length, PageEncoding encoding, bool finalLineEnd)
{
    const int end = finalLineEnd ? 2 : 0;
    if (encoding == PageEncoding::Utf8)
        return qint64(length) + end;
    const qint64 n = legacySize(utf8, length, encoding == PageEncoding::LegacyReferences);
    return n < 0 ? -1 : n + end;
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
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), old.st_gid);
    }
    // Always: the replacement was created with the mode the process chose,
    // which for root (who may write anything) is not the old file's.
    if ((now.st_mode & 07777) != (old.st_mode & 07777) || now.st_uid != old.st_uid
        || now.st_gid != old.st_gid)
        (void)::fchmod(fd, old.st_mode & 07777);
}
#endif

} // namespace

static PageWriteResult writePageWith(const QString &path, const char *utf8, qsizetype length,
                              PageEncoding encoding, bool finalLineEnd)
{
    ignoreFileSizeSignal();
    PageWriteResult result;
    if (!utf8 || length < 0)
        length = 0;
    if (path.isEmpty()) {
        result.error = tr("Cannot save a file without a name.");
        return result;
    }
    result.written = encoding;
    if (encoding == PageEncoding::Legacy && !fitsLegacy(utf8, length)) {
        result.error = writeFailure(path, tr("it holds characters that Windows-1252 cannot store."));
        return result;
    }

    struct stat old;
    int error = 0;
    const bool existed = statPath(path, old, error);
    if (!existed && error != ENOENT) {
        result.error = writeFailure(path, fileErrorReason(error));
        return result;
    }
    const QFileInfo info(path);
    if (existed && S_ISDIR(old.st_mode)) {
        result.error = writeFailure(path, tr("it is a folder, not a file."));
        return result;
    }
    if (!existed) {
        struct stat folder;
        if (!statPath(info.absolutePath(), folder, error)) {
            result.error = writeFailure(path, error == ENOENT
                                                  ? tr("the folder \"%1\" does not exist.")
                                                        .arg(shown(info.absolutePath()))
                                                  : fileErrorReason(error));
            return result;
        }
    }

    // A character device (/dev/null, a terminal) is written to, never
    // replaced by a regular file. A pipe, socket or block device is refused:
    // opening a pipe waits until something reads it, a reader may never take
    // the whole text, and a disk device would be overwritten. The open itself
    // never waits, and the opened file is checked once more, so a device
    // swapped for a pipe in between is refused as well.
    if (existed && !S_ISREG(old.st_mode)) {
        const QString notAFile = tr("it is a device or pipe, not a file.");
        if (!S_ISCHR(old.st_mode)) {
            result.error = writeFailure(path, notAFile);
            return result;
        }
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            // ENXIO: a pipe that nothing reads.
            result.error = writeFailure(path, errno == ENXIO ? notAFile : fileErrorReason(errno));
            return result;
        }
        struct stat opened;
        QFile file;
        if (::fstat(fd, &opened) != 0 || !S_ISCHR(opened.st_mode)
            || !file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            result.error = writeFailure(path, notAFile);
            return result;
        }
        if (!writeBody(file, utf8, length, result.written, finalLineEnd) || !file.flush()) {
            result.error = writeFailure(path, fileDeviceReason(file));
            return result;
        }
        file.close();
        if (file.error() != QFileDevice::NoError) {
            result.error = writeFailure(path, fileDeviceReason(file));
            return result;
        }
        result.ok = true;
        return result;
    }

    if (existed && !info.isWritable()) {
        result.error = writeFailure(path, tr("the file is read-only."));
        return result;
    }

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // The file may be written but its folder holds no new file: write in place.
        if (existed)
            return writePageInPlace(path, utf8, length, encoding, finalLineEnd);
        const bool folderRefused = !QFileInfo(info.absolutePath()).isWritable();
        result.error = writeFailure(path, folderRefused ? tr("permission denied.")
                                                        : fileDeviceReason(file));
        return result;
    }
#ifdef Q_OS_UNIX
    if (existed)
        keepOwner(file, old);
#endif
    if (!writeBody(file, utf8, length, result.written, finalLineEnd) || !file.commit()) {
        result.error = writeFailure(path, fileDeviceReason(file));
        file.cancelWriting();
        return result;
    }
    result.ok = true;
    return result;
}

PageWriteResult writePage(const QString &path, const char *utf8, qsizetype length,
                          PageEncoding encoding)
{
    return writePageWith(path, utf8, length, encoding, true);
}

PageWriteResult writePageExactly(const QString &path, const char *utf8, qsizetype length,
                                 PageEncoding encoding)
{
    return writePageWith(path, utf8, length, encoding, false);
}

PageWriteResult writePageInPlace(const QString &path, const char *utf8, qsizetype length,
                                 PageEncoding encoding, bool finalLineEnd)
{
    ignoreFileSizeSignal();
    PageWriteResult result;
    result.written = encoding;
    if (!utf8 || length < 0)
        length = 0;
    const qint64 newSize = bodySize(utf8, length, encoding, finalLineEnd);
    if (newSize < 0) {
        result.error = writeFailure(path, tr("it holds characters that Windows-1252 cannot store."));
        return result;
    }
    const QByteArray name = QFile::encodeName(path);
    // The open never waits: a pipe that nothing reads fails it (ENXIO)
    // rather than holding the program until a reader comes.
    const QString notAFile = tr("it is a device or pipe, not a file.");
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = writeFailure(path, errno == ENXIO ? notAFile : fileErrorReason(errno));
        return result;
    }
    const auto fail = [&](int error, const QString &after) {
        ::close(fd);
        result.error = writeFailure(path, fileErrorReason(error)) + after;
        return result;
    };
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return fail(errno, QString());
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = writeFailure(path, S_ISDIR(st.st_mode) ? fileErrorReason(EISDIR) : notAFile);
        return result;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1)
        return fail(errno, QString());
    const qint64 oldSize = st.st_size;
    if (newSize > oldSize) {
        const int error = ::posix_fallocate(fd, off_t(oldSize), off_t(newSize - oldSize));
        if (error != 0) {
            // Where the system emulates the reservation it may have grown the file.
            (void)::ftruncate(fd, off_t(oldSize));
            return fail(error, tr(" The page on disk was left as it was."));
        }
    }
    QFile out;
    if (!out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return fail(EIO, QString());
    if (!writeBody(out, utf8, length, encoding, finalLineEnd)) {
        const QString reason = fileDeviceReason(out);
        out.close();
        ::close(fd);
        result.error = writeFailure(path, reason);
        return result;
    }
    out.close();
    if (newSize < oldSize && ::ftruncate(fd, off_t(newSize)) != 0)
        return fail(errno, QString());
    if (::fsync(fd) != 0 && errno != EINVAL)
        return fail(errno, QString());
    if (::close(fd) != 0) {
        result.error = writeFailure(path, fileErrorReason(errno));
        return result;
    }
    result.ok = true;
    return result;
}

QString encodingName(PageEncoding encoding)
{
    switch (encoding) {
    case PageEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case PageEncoding::Legacy:
        return QStringLiteral("Windows-1252");
    case PageEncoding::LegacyReferences:
        return QStringLiteral("Windows-1252 + &#references;");
    }
    return QString();
}

} // namespace tw
