#include "spelling/Dictionaries.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tw::spelling {

QStringList dictionaryFolders()
{
    return {QStringLiteral("/usr/share/hunspell")};
}

QList<Dictionary> installedDictionaries(const QStringList &folders)
{
    QList<Dictionary> found;
    QStringList names;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo &aff : dir.entryInfoList({QStringLiteral("*.aff")}, QDir::Files | QDir::Readable)) {
            const QString name = aff.completeBaseName();
            const QFileInfo dic(dir.filePath(name + QStringLiteral(".dic")));
            if (names.contains(name) || !dic.isFile() || !dic.isReadable())
                continue;
            names << name;
            found.append({name, aff.absoluteFilePath(), dic.absoluteFilePath()});
        }
    }
    std::sort(found.begin(), found.end(), [](const Dictionary &a, const Dictionary &b) { return a.name < b.name; });
    return found;
}

namespace {

// "en-gb" as "en_GB"'s form for comparing: lower case, '_' for '-'.
QString key(QString tag)
{
    return tag.trimmed().replace(QLatin1Char('-'), QLatin1Char('_')).toLower();
}

QString language(const QString &keyed)
{
    return keyed.section(QLatin1Char('_'), 0, 0);
}

} // namespace

QString chooseDictionary(const QString &lang, const QStringList &names, const QString &chosen)
{
    const QString wanted = key(lang);
    if (!wanted.isEmpty()) {
        for (const QString &name : names)
            if (key(name) == wanted)
                return name;
        const QString primary = language(wanted);
        if (names.contains(chosen) && language(key(chosen)) == primary)
            return chosen;
        for (const QString &name : names)
            if (language(key(name)) == primary)
                return name;
    }
    return names.contains(chosen) ? chosen : QString();
}

} // namespace tw::spelling
