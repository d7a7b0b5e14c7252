#pragma once

#include <QString>

namespace tw::pageMessages {

// The words of the messages about reading and writing pages.
QString tr(const char *text);
// A path as the user's system writes it.
QString shown(const QString &path);
// "Cannot open "path": reason" and "Cannot save "path": reason".
QString readFailure(const QString &path, const QString &reason);
QString writeFailure(const QString &path, const QString &reason);

} // namespace tw::pageMessages
