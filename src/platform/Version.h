#pragma once

#include <QString>

namespace tw {

// The program's version as users see it: the major number, a full stop and
// the minor number in two digits ("1.03"). Both come from the build's
// project version.
inline QString versionText()
{
    return QStringLiteral("%1.%2").arg(TW_VERSION_MAJOR).arg(TW_VERSION_MINOR, 2, 10, QLatin1Char('0'));
}

} // namespace tw
