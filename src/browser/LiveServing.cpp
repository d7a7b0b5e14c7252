#include "browser/LiveServing.h"

#include "browser/FolderReach.h"
#include "pages/PageEncoding.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace tw {

QByteArray savedBytes(const char *utf8, qsizetype length, PageEncoding encoding)
{
    QByteArray out;
    if (encoding == PageEncoding::Utf8) {
        out.reserve(length + 2);
        out.append(utf8, length);
    } else {
        bool ok = false;
        if (encoding == PageEncoding::Legacy)
            out = legacyBytes(utf8, length, false, &ok);
        if (!ok)
            out = legacyBytes(utf8, length, true);
    }
    out.append("\r\n", 2);
    return out;
}

QByteArray pageContentType(PageEncoding encoding)
{
    return encoding == PageEncoding::Utf8 ? QByteArrayLiteral("text/html;charset=utf-8")
                                          : QByteArrayLiteral("text/html;charset=windows-1252");
}

QString livePagePath(const QString &caption, bool untitled, const QString &startFolder)
{
    if (!untitled)
        return QFileInfo(caption).absoluteFilePath();
    QString name = caption;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir(startFolder).absoluteFilePath(name);
}

QUrl liveAddress(const QString &path)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(kLiveScheme));
    url.setPath(QDir::cleanPath(path));
    return url;
}

QString livePath(const QUrl &address)
{
    if (address.scheme() != QLatin1String(kLiveScheme))
        return QString();
    return QDir::cleanPath(address.path());
}

QString browserAddressFor(const QUrl &link)
{
    if (link.scheme() != QLatin1String(kLiveScheme))
        return link.toString();
    QUrl file = QUrl::fromLocalFile(livePath(link));
    file.setFragment(link.fragment());
    file.setQuery(link.query());
    return file.toString();
}

LiveAnswer answerLiveRequest(const QUrl &requested, const QString &pagePath,
                             const QByteArray &pageBytes, const QByteArray &contentType)
{
    LiveAnswer answer;
    const QString path = livePath(requested);
    if (path.isEmpty())
        return answer;
    if (path == QDir::cleanPath(pagePath)) {
        answer.kind = LiveAnswer::Kind::Bytes;
        answer.bytes = pageBytes;
        answer.contentType = contentType;
        return answer;
    }
    // Only the page's folder is served: the page's scripts read what it
    // loads, and a page may come from anywhere.
    switch (reachOf(path, reachableFolders(pagePath))) {
    case Reach::Outside:
        answer.kind = LiveAnswer::Kind::Denied;
        return answer;
    case Reach::Missing:
        return answer;
    case Reach::Inside:
        break;
    }
    const QFileInfo info(path);
    if (info.isDir())
        return answer;
    // Devices and pipes may never end, and opening a pipe waits for a
    // writer; unreadable files are refused.
    auto file = std::make_unique<QFile>();
    QString reason;
    if (!openRegularFile(*file, path, reason)) {
        answer.kind = LiveAnswer::Kind::Denied;
        return answer;
    }
    answer.kind = LiveAnswer::Kind::File;
    answer.path = path;
    answer.device = std::move(file);
    static const QMimeDatabase mimes;
    answer.contentType = mimes.mimeTypeForFile(info, QMimeDatabase::MatchExtension).name().toLatin1();
    return answer;
}

QString folderProblem(const QString &pagePath)
{
    const QString folder = QFileInfo(pagePath).absolutePath();
    const QFileInfo info(folder);
    QString reason;
    if (!info.exists())
        reason = QStringLiteral("it does not exist");
    else if (!info.isDir())
        reason = QStringLiteral("it is not a folder");
    else if (!info.isReadable() || !info.isExecutable())
        reason = QStringLiteral("permission denied");
    if (reason.isEmpty())
        return QString();
    return QStringLiteral("The folder \"%1\" cannot be read (%2): pictures, style sheets and "
                          "scripts the page takes from it are not shown.")
        .arg(QDir::toNativeSeparators(folder), reason);
}

} // namespace tw
