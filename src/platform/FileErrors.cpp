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

// The system errors given words of their own; others keep the system's text.
struct Worded {
    int error;
    const char *reason;
};
const Worded kWorded[] = {
    {ENOENT, QT_TRANSLATE_NOOP("tw::PageFile", "there is no such file.")},
    {ELOOP, QT_TRANSLATE_NOOP("tw::PageFile", "its path holds a loop of symbolic links.")},
    {ENAMETOOLONG, QT_TRANSLATE_NOOP("tw::PageFile", "the name is too long.")},
    {ENOTDIR, QT_TRANSLATE_NOOP("tw::PageFile", "a part of its path is not a folder.")},
    {EACCES, QT_TRANSLATE_NOOP("tw::PageFile", "permission denied.")},
    {EPERM, QT_TRANSLATE_NOOP("tw::PageFile", "permission denied.")},
    {ENOSPC, QT_TRANSLATE_NOOP("tw::PageFile", "there is not enough room on the disk.")},
    {EDQUOT, QT_TRANSLATE_NOOP("tw::PageFile", "the disk quota is used up.")},
    {EFBIG, QT_TRANSLATE_NOOP("tw::PageFile", "the file would be too large for the size limit in force.")},
    {EROFS, QT_TRANSLATE_NOOP("tw::PageFile", "the disk is read-only.")},
    {EISDIR, QT_TRANSLATE_NOOP("tw::PageFile", "it is a folder, not a file.")},
};

// A text as the end of a sentence: lower case first, with a full stop.
QString sentenceEnd(QString reason)
{
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        reason[0] = reason.at(0).toLower();
    return reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
}

} // namespace

QString fileErrorReason(int error)
{
    for (const Worded &w : kWorded) {
        if (w.error == error)
            return tr(w.reason);
    }
    return sentenceEnd(QString::fromLocal8Bit(std::strerror(error)));
}

QString fileDeviceReason(const QFileDevice &file)
{
    const QString said = file.errorString();
    if (said.isEmpty())
        return sentenceEnd(tr("unknown error"));
    // Qt words a failed system call with the system's text for its error
    // number: those worded here read as from fileErrorReason, so that a
    // reason reads the same in every message.
    for (const Worded &w : kWorded) {
        if (said == qt_error_string(w.error))
            return tr(w.reason);
    }
    return sentenceEnd(said);
}

} // namespace tw
