#include "platform/FileErrors.h"

#include <QCoreApplication>
#include <QFileDevice>

#include <cerrno>
#include <cstring>

namespace tw {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("tw::PageFile", text);
}

} // namespace

QString fileErrorReason(int error)
{
    switch (error) {
    case ENOENT:
        return tr("there is no such file.");
    case ELOOP:
        return tr("its path holds a loop of symbolic links.");
    case ENAMETOOLONG:
        return tr("the name is too long.");
    case ENOTDIR:
        return tr("a part of its path is not a folder.");
    case EACCES:
    case EPERM:
        return tr("permission denied.");
    case ENOSPC:
        return tr("there is not enough room on the disk.");
    case EDQUOT:
        return tr("the disk quota is used up.");
    case EFBIG:
        return tr("the file would be too large for the size limit in force.");
    case EROFS:
        return tr("the disk is read-only.");
    case EISDIR:
        return tr("it is a folder, not a file.");
    default:
        break;
    }
    QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        reason[0] = reason.at(0).toLower();
    return reason + QLatin1Char('.');
}

QString fileDeviceReason(const QFileDevice &file)
{
    QString reason = file.errorString();
    if (reason.isEmpty())
        reason = tr("unknown error");
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        reason[0] = reason.at(0).toLower();
    return reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
}

} // namespace tw
