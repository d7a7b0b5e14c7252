#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tw::spelling {

// A Hunspell dictionary: its name (such as "en_US") and its two files.
struct Dictionary {
    QString name;
    QString affPath;
    QString dicPath;
};

// Where Debian's hunspell-* packages put their dictionaries.
QStringList dictionaryFolders();
// The dictionaries in these folders, each a readable NAME.aff beside a
// readable NAME.dic, sorted by name; a name found twice is the first folder's.
QList<Dictionary> installedDictionaries(const QStringList &folders = dictionaryFolders());

// The dictionary to check a page in: the one for the page's `lang` (BCP 47,
// as "en-GB" or "en"; the region may be left out, and then the chosen
// dictionary is taken if it is of that language, else the first of it), else
// the chosen one, else none (empty). `names` are the installed dictionaries.
QString chooseDictionary(const QString &lang, const QStringList &names, const QString &chosen);

} // namespace tw::spelling
