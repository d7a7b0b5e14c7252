#pragma once

#include <QString>
#include <QStringList>

namespace tw::spelling {

// The words the user added to the dictionary: one a line, UTF-8, in the
// program's settings folder, for every language.
QString personalWordsPath();

// The words in the file, in its order, each once. A line that is not UTF-8,
// is blank, holds a control character or is longer than kLongestWord is
// skipped; only the first kLargestFile bytes are read. A missing file has none.
inline constexpr int kLongestWord = 100;
inline constexpr qint64 kLargestFile = 4 * 1024 * 1024;
QStringList readPersonalWords(const QString &path);

// Writes the words whole through a temporary file, so that the file holds the
// old list or the new one, never part of one. False with the reason when it
// could not be written; the old file is then as it was.
bool writePersonalWords(const QString &path, const QStringList &words, QString *error = nullptr);

} // namespace tw::spelling
