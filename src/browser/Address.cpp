#include "browser/Address.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace tw {

namespace {

QUrl localFile(const QString &path, const QString &baseDir)
{
    if (path.isEmpty())
        return {};
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        return QUrl::fromLocalFile(QDir::homePath() + path.mid(1));
    if (QDir::isAbsolutePath(path))
        return QUrl::fromLocalFile(path);
    return QUrl::fromLocalFile(QDir::cleanPath(QDir(baseDir).absoluteFilePath(path)));
}

// A scheme followed by "//", or one of the schemes written without it.
bool hasScheme(const QString &typed)
{
    static const QRegularExpression withSlashes(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    static const QRegularExpression bare(
        QStringLiteral("^(about|data|mailto|view-source|javascript):"),
        QRegularExpression::CaseInsensitiveOption);
    return withSlashes.match(typed).hasMatch() || bare.match(typed).hasMatch();
}

} // namespace

QUrl addressToUrl(const QString &typed, const QString &baseDir)
{
    if (typed.isEmpty())
        return {};
    if (typed.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)
        && !typed.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
        return localFile(typed.mid(5), baseDir);
    if (hasScheme(typed)) {
        const QUrl url(typed, QUrl::TolerantMode);
        return url.isValid() ? url : QUrl();
    }
    if (typed.startsWith(QLatin1Char('/')) || typed.startsWith(QLatin1Char('~')))
        return localFile(typed, baseDir);
    if (!baseDir.isEmpty() && QFileInfo::exists(QDir(baseDir).absoluteFilePath(typed)))
        return localFile(typed, baseDir);
    const QUrl url = QUrl::fromUserInput(typed);
    return url.isValid() ? url : QUrl();
}

} // namespace tw
