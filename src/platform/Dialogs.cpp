#include "platform/Dialogs.h"

#include <QStringList>

namespace tw {

Dialogs::~Dialogs() = default;

bool Dialogs::askYesNoDefaultNo(const QString &text, const QString &title)
{
    return askYesNo(text, title);
}

QString Dialogs::chooseFolder(const QString &)
{
    return QString();
}

int Dialogs::choose(const QString &, const QString &, const QStringList &)
{
    return -1;
}

bool Dialogs::choosePrinter(QPrinter &, const QString &)
{
    return false;
}

QString qtFilterFromPairs(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i);
        QString pattern = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (pattern.isEmpty())
            pattern = QStringLiteral("*");
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace tw
