#pragma once

#include "spelling/Dictionaries.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

namespace tw::spelling {

class Speller;

struct WordSpan {
    qint64 start;
    qint64 end;
    bool operator==(const WordSpan &o) const { return start == o.start && end == o.end; }
};

// The outcome of checking one snapshot of a page's text.
struct CheckResult {
    QString lang;       // the page's `lang`, as written
    QString dictionary; // the dictionary it was checked in; empty for none
    std::vector<WordSpan> misspelt; // in text order
};

// Checks pages' spelling on a thread of its own, one snapshot after another,
// with the dictionaries that are installed, the user's own words and the words
// ignored in this run. The dictionaries are loaded when first needed and kept.
class SpellChecker : public QObject {
    Q_OBJECT
public:
    explicit SpellChecker(QObject *parent = nullptr, const QStringList &folders = dictionaryFolders(),
                          const QString &personalPath = QString());
    ~SpellChecker() override;

    // The installed dictionaries' names, sorted.
    QStringList dictionaries() const { return m_names; }
    // The dictionary to offer when none was chosen: en_US, else the first.
    QString defaultDictionary() const;

    // Checks the snapshot unless `wanted` (called on the checking thread)
    // says no by the time its turn comes; then calls `done` on this object's
    // thread if `receiver` still exists and `wanted` still says yes. `chosen`
    // is the dictionary for pages whose `lang` has none.
    using Done = std::function<void(const CheckResult &)>;
    void check(const QByteArray &utf8, const QString &chosen, QObject *receiver, std::function<bool()> wanted,
               Done done);

    // The dictionary of that name, loaded when it is not yet; null when it
    // cannot be.
    std::shared_ptr<Speller> speller(const QString &name);
    // Up to `count` suggestions for the word in that dictionary.
    QStringList suggest(const QString &dictionary, const QString &word, int count = 6);
    // Adds the word to the user's list, written at once; false with the reason
    // when the list could not be written (the word then counts for this run).
    bool addToDictionary(const QString &word, QString *error = nullptr);
    // The word counts as correct for the rest of this run.
    void ignore(const QString &word);

    // Checks on the calling thread (what the thread does for each snapshot).
    CheckResult checkNow(const QByteArray &utf8, const QString &chosen);

signals:
    // A word was added or ignored: checks made before may mark it wrongly.
    void wordsChanged();

private:
    void acceptEverywhere(const QString &word);

    QList<Dictionary> m_installed;
    QStringList m_names;
    QString m_personalPath;
    QMutex m_lock; // guards what follows
    QHash<QString, std::shared_ptr<Speller>> m_spellers;
    QStringList m_personal;
    QSet<QString> m_accepted; // personal and ignored words
    QThread m_thread;
    QObject *m_worker;
};

} // namespace tw::spelling
