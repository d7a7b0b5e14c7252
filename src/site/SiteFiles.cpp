#include "site/SiteFiles.h"

#include "platform/FileErrors.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>

namespace tw::site {

WebKind webKindOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || fileName.indexOf(QLatin1Char('/'), dot) >= 0)
        return WebKind::Other; // no ending, or a hidden file's bare name
    const QString ending = fileName.mid(dot + 1).toLower();
    static const struct {
        const char *ending;
        WebKind kind;
    } kinds[] = {
        {"htm", WebKind::Page},     {"html", WebKind::Page},       {"xhtml", WebKind::Page},
        {"shtml", WebKind::Page},   {"css", WebKind::StyleSheet},  {"js", WebKind::Script},
        {"mjs", WebKind::Script},   {"png", WebKind::Picture},     {"jpg", WebKind::Picture},
        {"jpeg", WebKind::Picture}, {"gif", WebKind::Picture},     {"bmp", WebKind::Picture},
        {"svg", WebKind::Picture},  {"webp", WebKind::Picture},    {"ico", WebKind::Picture},
        {"avif", WebKind::Picture},
    };
    for (const auto &k : kinds) {
        if (ending == QLatin1String(k.ending))
            return k.kind;
    }
    return WebKind::Other;
}

QString relativeAddress(const QString &pagePath, const QString &target)
{
    const QString folder = QFileInfo(QDir::cleanPath(pagePath)).absolutePath();
    const QString relative = QDir(folder).relativeFilePath(QDir::cleanPath(target));
    QString out;
    out.reserve(relative.size());
    for (const QChar c : relative) {
        switch (c.unicode()) {
        case u'%':
            out += QLatin1String("%25");
            break;
        case u'#':
            out += QLatin1String("%23");
            break;
        case u'?':
            out += QLatin1String("%3F");
            break;
        case u'\\': // a web server and every browser read it as '/'
            out += QLatin1String("%5C");
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool liesIn(const QString &path, const QString &folder)
{
    const QString p = QDir::cleanPath(path);
    const QString f = QDir::cleanPath(folder);
    if (f.isEmpty() || p.isEmpty())
        return false;
    if (p == f || f == QLatin1String("/"))
        return true;
    return p.startsWith(f) && p.at(f.size()) == QLatin1Char('/');
}

QString renamedPath(const QString &openPath, const QString &oldPath, const QString &newPath)
{
    const QString open = QDir::cleanPath(openPath);
    const QString old = QDir::cleanPath(oldPath);
    if (!liesIn(open, old) || oldPath.isEmpty() || newPath.isEmpty())
        return QString();
    return QDir::cleanPath(newPath) + open.mid(old.size());
}

QString nameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("the name is empty.");
    if (name.contains(QLatin1Char('/')))
        return QStringLiteral("a name cannot hold a \"/\".");
    if (name.contains(QChar(0)))
        return QStringLiteral("a name cannot hold a NUL character.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\".\" and \"..\" name folders that are there already.");
    if (QFile::encodeName(name).size() > 255)
        return fileErrorReason(ENAMETOOLONG);
    return QString();
}

QString folderProblem(const QString &folder)
{
    if (folder.isEmpty())
        return QStringLiteral("no folder is chosen.");
    // Opened as the file-system model will list it; a folder that exists but
    // cannot be listed shows nothing there, and says nothing itself.
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir) {
        ::closedir(dir);
        return QString();
    }
    const int error = errno;
    if (error == ENOENT)
        return QStringLiteral("it does not exist.");
    if (error == ENOTDIR)
        return QFileInfo(folder).exists() ? QStringLiteral("it is not a folder.") : fileErrorReason(error);
    return fileErrorReason(error);
}

} // namespace tw::site
