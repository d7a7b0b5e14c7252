#pragma once

// The text the live preview sends to its page, without the web engine: a
// string written as a script's literal, and the change between two texts.

#include <QString>
#include <QStringView>

namespace tw {

// `text` as a JavaScript string literal, safe inside any script.
QString scriptString(const QString &text);

// What turns before into after: `removed` characters at `at` replaced by
// `inserted`. The common start and end are left out, so typing in a large
// page sends a few characters. The page joins the pieces as they are, so a
// character written as two halves may be split between them.
struct TextEdit {
    qsizetype at = 0;
    qsizetype removed = 0;
    QString inserted;
};
TextEdit editBetween(QStringView before, QStringView after);

} // namespace tw
