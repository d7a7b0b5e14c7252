#include "pages/PageMessages.h"

#include <QCoreApplication>
#include <QDir>

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

} // namespace tw::pageMessages
