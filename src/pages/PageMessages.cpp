#include "pages/PageMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>

namespace tw::pageMessages {

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

} // namespace tw::pageMessages
