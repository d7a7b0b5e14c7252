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

QString livePagePath(const QString &caption, bool untitled)
{
    if (!untitled)
        return QFileInfo(caption).absoluteFilePath();
    QString name = caption;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("untitled") : name;
}

namespace {

// The script and noscript elements of a text, start tag to end tag, in order.
QStringList scriptParts(const QString &text)
{
    static const QLatin1String names[] = {QLatin1String("script"), QLatin1String("noscript")};
    QStringList parts;
    qsizetype at = 0;
    for (;;) {
        qsizetype start = text.indexOf(QLatin1Char('<'), at);
        if (start < 0)
            return parts;
        at = start + 1;
        for (const QLatin1String &name : names) {
            if (QStringView(text).mid(at, name.size()).compare(name, Qt::CaseInsensitive) != 0)
                continue;
            const QChar after = at + name.size() < text.size() ? text.at(at + name.size()) : QChar();
            if (!after.isNull() && !after.isSpace() && after != QLatin1Char('>') && after != QLatin1Char('/'))
                continue;
            const qsizetype end = text.indexOf(QLatin1String("</") + name, at, Qt::CaseInsensitive);
            const qsizetype stop = end < 0 ? text.size() : end + name.size() + 2;
            parts << text.mid(start, stop - start);
            at = stop;
            break;
        }
    }
}

} // namespace

bool liveScriptsDiffer(const QString &before, const QString &after)
{
    if (before.isNull())
        return true;
    // Most edits happen outside any script: a page with none costs a scan.
    return scriptParts(before) != scriptParts(after);
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
    const QString path = livePath(link);
    // A page not saved yet has no folder: its relative links name no file.
    if (!QDir::isAbsolutePath(path))
        return QString();
    QUrl file = QUrl::fromLocalFile(path);
    file.setFragment(link.fragment());
    file.setQuery(link.query());
    return file.toString();
}

LiveAnswer answerLiveRequest(const QUrl &requested, const QString &pagePath,
                             const QByteArray &pageBytes, const QByteArray &contentType,
                             const OpenSheetFunction &openSheet)
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
    if (openSheet && info.suffix().compare(QLatin1String("css"), Qt::CaseInsensitive) == 0
        && openSheet(path, &answer.bytes)) {
        answer.kind = LiveAnswer::Kind::Bytes;
        answer.contentType = QByteArrayLiteral("text/css");
        return answer;
    }
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
    if (!QDir::isAbsolutePath(pagePath))
        return QString();
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
