#pragma once

#include <QString>

class QFileDevice;

namespace tw::pageMessages {

// The words of the messages about reading and writing pages.
QString tr(const char *text);
// A path as the user's system writes it.
QString shown(const QString &path);
// "Cannot open "path": reason" and "Cannot save "path": reason".
QString readFailure(const QString &path, const QString &reason);
QString writeFailure(const QString &path, const QString &reason);
// The device's own error text, as the end of a sentence.
QString reasonFor(const QFileDevice &file);

} // namespace tw::pageMessages
