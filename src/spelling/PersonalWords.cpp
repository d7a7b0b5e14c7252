#include "spelling/PersonalWords.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QStringDecoder>

namespace tw::spelling {

QString personalWordsPath()
{
    // Beside the settings file, wherever QSettings keeps it.
    const QSettings settings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    return QFileInfo(settings.fileName()).absolutePath() + QStringLiteral("/personal-words.txt");
}

QStringList readPersonalWords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kLargestFile);
    QStringList words;
    QSet<QString> seen;
    for (const QByteArray &line : bytes.split('\n')) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString word = QString(utf8.decode(line)).trimmed();
        if (utf8.hasError() || word.isEmpty() || word.size() > kLongestWord || seen.contains(word))
            continue;
        const bool control = std::any_of(word.cbegin(), word.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
        if (!control) {
            words << word;
            seen.insert(word);
        }
    }
    return words;
}

bool writePersonalWords(const QString &path, const QStringList &words, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    QByteArray bytes;
    for (const QString &word : words)
        bytes += word.toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tw::spelling
