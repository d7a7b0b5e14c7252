#include "spelling/Speller.h"

#include "spelling/Dictionaries.h"

#include <hunspell.hxx>

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tw::spelling {

namespace {

// The SET line of an .aff file; Hunspell's default is ISO8859-1.
QString affEncoding(const QString &affPath)
{
    QFile aff(affPath);
    if (!aff.open(QIODevice::ReadOnly))
        return {};
    for (int line = 0; line < 2000 && !aff.atEnd(); ++line) {
        const QByteArray text = aff.readLine(4096).trimmed();
        if (text.startsWith("SET ") || text.startsWith("SET\t"))
            return QString::fromLatin1(text.mid(4).trimmed());
    }
    return QStringLiteral("ISO8859-1");
}

// Hunspell's names ("ISO8859-1", "microsoft-cp1251") as the converters know them.
QString converterName(QString name)
{
    if (name.startsWith(QLatin1String("ISO8859-"), Qt::CaseInsensitive))
        name.insert(3, QLatin1Char('-'));
    if (name.startsWith(QLatin1String("microsoft-"), Qt::CaseInsensitive))
        name = name.mid(10);
    return name;
}

bool isUtf8(const QString &name)
{
    return name.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::unique_ptr<Speller> Speller::load(const Dictionary &dictionary)
{
    if (!QFile::exists(dictionary.affPath) || !QFile::exists(dictionary.dicPath))
        return nullptr;
    const QString encoding = affEncoding(dictionary.affPath);
    if (encoding.isEmpty())
        return nullptr;
    std::unique_ptr<Speller> speller(new Speller);
    speller->m_name = dictionary.name;
    if (!isUtf8(encoding)) {
        speller->m_encoding = converterName(encoding);
        if (!QStringEncoder(speller->m_encoding.toLatin1().constData()).isValid())
            return nullptr;
    }
    speller->m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(dictionary.affPath).constData(),
                                                     QFile::encodeName(dictionary.dicPath).constData());
    return speller;
}

Speller::~Speller() = default;

bool Speller::encode(const QString &word, std::string &out) const
{
    if (m_encoding.isEmpty()) {
        out = word.toUtf8().toStdString();
        return true;
    }
    QStringEncoder encoder(m_encoding.toLatin1().constData());
    const QByteArray bytes = encoder.encode(word);
    if (encoder.hasError())
        return false;
    out = bytes.toStdString();
    return true;
}

bool Speller::isCorrect(std::string_view utf8)
{
    QMutexLocker locker(&m_lock);
    m_key.assign(utf8.data(), utf8.size());
    const auto known = m_known.find(m_key);
    if (known != m_known.end())
        return known->second;
    bool correct = false;
    if (m_encoding.isEmpty()) {
        correct = m_hunspell->spell(m_key);
    } else {
        std::string encoded;
        correct = encode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), encoded) && m_hunspell->spell(encoded);
    }
    m_known.emplace(m_key, correct);
    return correct;
}

QStringList Speller::suggest(const QString &word, int count)
{
    QMutexLocker locker(&m_lock);
    std::string encoded;
    if (!encode(word, encoded))
        return {};
    QStringList out;
    QStringDecoder decoder(m_encoding.isEmpty() ? "UTF-8" : m_encoding.toLatin1().constData());
    for (const std::string &s : m_hunspell->suggest(encoded)) {
        if (out.size() >= count)
            break;
        const QString text = m_encoding.isEmpty() ? QString::fromUtf8(s.data(), qsizetype(s.size()))
                                                  : decoder.decode(QByteArrayView(s.data(), qsizetype(s.size())));
        if (!text.isEmpty() && !out.contains(text))
            out << text;
    }
    return out;
}

void Speller::accept(const QString &word)
{
    QMutexLocker locker(&m_lock);
    std::string encoded;
    if (word.isEmpty() || !encode(word, encoded))
        return;
    m_hunspell->add(encoded);
    // A word added may make others right too (its other cases).
    m_known.clear();
}

} // namespace tw::spelling
