#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class Hunspell;

namespace tw::spelling {

struct Dictionary;

// One Hunspell dictionary in use. Words come and go as UTF-8 or QString and
// are converted to the dictionary's own encoding (its .aff's SET). Safe to use
// from several threads: each call holds the speller for its own length only,
// so that a suggestion asked from the window waits for one word of a running
// check, not for the whole check. The answers are remembered per word.
class Speller {
public:
    // Null when the files cannot be read or their encoding is not known.
    static std::unique_ptr<Speller> load(const Dictionary &dictionary);
    ~Speller();

    QString name() const { return m_name; }
    bool isCorrect(std::string_view utf8);
    bool isCorrect(const QString &word)
    {
        const QByteArray utf8 = word.toUtf8();
        return isCorrect(std::string_view(utf8.constData(), size_t(utf8.size())));
    }
    // At most `count` suggestions, best first.
    QStringList suggest(const QString &word, int count);
    // The word counts as correct from now on (in this speller's lifetime).
    void accept(const QString &word);

private:
    Speller() = default;
    // The word in the dictionary's encoding; false when it has no such form.
    bool encode(const QString &word, std::string &out) const;

    QString m_name;
    QString m_encoding; // empty for UTF-8
    std::unique_ptr<Hunspell> m_hunspell;
    QMutex m_lock;
    std::unordered_map<std::string, bool> m_known;
    std::string m_key;
};

} // namespace tw::spelling
