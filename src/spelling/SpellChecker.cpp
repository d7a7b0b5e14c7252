#include "spelling/SpellChecker.h"

#include "spelling/PageWords.h"
#include "spelling/PersonalWords.h"
#include "spelling/Speller.h"

#include "platform/ThreadPriority.h"

#include <QPointer>

namespace tw::spelling {

SpellChecker::SpellChecker(QObject *parent, const QStringList &folders, const QString &personalPath)
    : QObject(parent), m_installed(installedDictionaries(folders)),
      m_personalPath(personalPath.isEmpty() ? personalWordsPath() : personalPath), m_worker(new QObject)
{
    for (const Dictionary &d : std::as_const(m_installed))
        m_names << d.name;
    m_personal = readPersonalWords(m_personalPath);
    m_accepted = QSet<QString>(m_personal.cbegin(), m_personal.cend());
    m_thread.setObjectName(QStringLiteral("spelling"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    // Qt's thread priorities do nothing for ordinary threads here.
    connect(&m_thread, &QThread::started, m_worker, &runBehindTheWindow);
    m_thread.start();
}

SpellChecker::~SpellChecker()
{
    m_thread.quit();
    m_thread.wait();
}

QString SpellChecker::defaultDictionary() const
{
    if (m_names.contains(QStringLiteral("en_US")))
        return QStringLiteral("en_US");
    return m_names.value(0);
}

std::shared_ptr<Speller> SpellChecker::speller(const QString &name)
{
    QMutexLocker locker(&m_lock);
    if (const auto it = m_spellers.constFind(name); it != m_spellers.cend())
        return *it;
    std::shared_ptr<Speller> loaded;
    for (const Dictionary &d : std::as_const(m_installed))
        if (d.name == name)
            loaded = Speller::load(d);
    if (loaded)
        for (const QString &word : std::as_const(m_accepted))
            loaded->accept(word);
    // A dictionary that cannot be loaded is not tried again.
    m_spellers.insert(name, loaded);
    return loaded;
}

CheckResult SpellChecker::checkNow(const QByteArray &utf8, const QString &chosen)
{
    CheckResult result;
    result.lang = pageLanguage(utf8.constData(), utf8.size());
    result.dictionary = chooseDictionary(result.lang, m_names, chosen);
    const std::shared_ptr<Speller> dictionary = result.dictionary.isEmpty() ? nullptr : speller(result.dictionary);
    if (!dictionary) {
        result.dictionary.clear();
        return result;
    }
    forEachWord(utf8.constData(), utf8.size(), [&](qint64 start, qint64 end, std::string_view word) {
        if (!dictionary->isCorrect(word))
            result.misspelt.push_back({start, end});
    });
    return result;
}

void SpellChecker::check(const QByteArray &utf8, const QString &chosen, QObject *receiver,
                         std::function<bool()> wanted, Done done)
{
    QPointer<QObject> to(receiver);
    QMetaObject::invokeMethod(m_worker, [this, utf8, chosen, to, wanted = std::move(wanted), done = std::move(done)] {
        if (!to || !wanted())
            return;
        CheckResult result = checkNow(utf8, chosen);
        QMetaObject::invokeMethod(
            this,
            [to, wanted, done, result = std::move(result)] {
                if (to && wanted())
                    done(result);
            },
            Qt::QueuedConnection);
    });
}

QStringList SpellChecker::suggest(const QString &dictionary, const QString &word, int count)
{
    const std::shared_ptr<Speller> s = speller(dictionary);
    return s ? s->suggest(word, count) : QStringList();
}

void SpellChecker::acceptEverywhere(const QString &word)
{
    QMutexLocker locker(&m_lock);
    m_accepted.insert(word);
    for (const std::shared_ptr<Speller> &s : std::as_const(m_spellers))
        if (s)
            s->accept(word);
}

bool SpellChecker::addToDictionary(const QString &word, QString *error)
{
    acceptEverywhere(word);
    bool written = true;
    if (!m_personal.contains(word)) {
        // The file as it is now: another window of another run may have added to it.
        QStringList words = readPersonalWords(m_personalPath);
        if (!words.contains(word))
            words << word;
        written = writePersonalWords(m_personalPath, words, error);
        if (written)
            m_personal = words;
    }
    emit wordsChanged();
    return written;
}

void SpellChecker::ignore(const QString &word)
{
    acceptEverywhere(word);
    emit wordsChanged();
}

} // namespace tw::spelling
