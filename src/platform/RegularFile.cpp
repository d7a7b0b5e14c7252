#include "platform/RegularFile.h"

#include "platform/FileErrors.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("tw::PageFile", text);
}

// The reason a file of this mode is not read, or none for a regular file.
QString notRegularReason(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return tr("it is a folder, not a file.");
    return tr("it is a device or pipe, not a file.");
}

} // namespace

bool openRegularFile(QFile &file, const QString &path, QString &reason)
{
    reason.clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        reason = fileErrorReason(errno);
        return false;
    }
    reason = notRegularReason(st.st_mode);
    if (!reason.isEmpty())
        return false;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = fileErrorReason(errno);
        return false;
    }
    if (::fstat(fd, &st) != 0 || !(reason = notRegularReason(st.st_mode)).isEmpty()) {
        if (reason.isEmpty())
            reason = fileErrorReason(errno);
        ::close(fd);
        return false;
    }
    // Reads from a regular file never wait anyway; blocking mode is restored
    // so that nothing reading it has to expect EAGAIN.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        reason = fileDeviceReason(file);
        ::close(fd);
        return false;
    }
    return true;
}

QString tooLargeReason(qint64 limit)
{
    return tr("it is larger than %1, too large to read.")
        .arg(QLocale::c().formattedDataSize(limit, 0, QLocale::DataSizeSIFormat));
}

RegularFileRead readRegularFile(const QString &path, qint64 limit)
{
    RegularFileRead result;
    QFile file;
    if (!openRegularFile(file, path, result.reason))
        return result;
    if (file.size() > limit) {
        result.reason = tooLargeReason(limit);
        return result;
    }
    try {
        // Whole pieces are asked for (some files under /proc accept no
        // other sizes); the bytes beyond the limit only tell that there are more.
        constexpr qint64 kPiece = 1 << 16;
        result.bytes.reserve(qsizetype(qMax<qint64>(file.size(), 0)) + kPiece);
        for (;;) {
            const qsizetype at = result.bytes.size();
            result.bytes.resize(at + qsizetype(kPiece));
            const qint64 got = file.read(result.bytes.data() + at, kPiece);
            result.bytes.resize(at + qsizetype(qMax<qint64>(got, 0)));
            if (got < 0) {
                result.reason = fileDeviceReason(file);
                result.bytes.clear();
                return result;
            }
            if (result.bytes.size() > limit) {
                result.reason = tooLargeReason(limit);
                result.bytes.clear();
                return result;
            }
            if (got == 0)
                break;
        }
    } catch (const std::bad_alloc &) {
        result.reason = tr("there is not enough memory to hold it.");
        result.bytes = QByteArray();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace tw
