#include "site/NameOrder.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tw::site {

namespace {

constexpr char16_t kFirstPlain = 0x20;
constexpr char16_t kLastPlain = 0x7e;
// A longer run of digits makes the name take the collator's key.
constexpr qsizetype kLongestNumber = 200;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

QString text(char16_t c)
{
    return QString(QChar(c));
}

} // namespace

// A quick key is one byte a character, the character's place in the
// language's order of single characters (letters that differ only in case
// share a place). A run of digits is one place for all numbers, then the
// count of its digits without leading zeros, then those digits, so that a
// longer number comes after a shorter one.
struct NameOrder::Table {
    std::array<quint8, 128> place{};
    quint8 number = 0;
};

int NameKey::compare(const NameKey &other) const
{
    if (isQuick() != other.isQuick())
        return isQuick() ? -1 : 1; // never asked: a folder's names share a kind
    if (m_full)
        return m_full->compare(*other.m_full);
    const qsizetype n = std::min(m_quick.size(), other.m_quick.size());
    if (const int c = n ? std::memcmp(m_quick.constData(), other.m_quick.constData(), size_t(n)) : 0)
        return c;
    return int(m_quick.size() - other.m_quick.size());
}

namespace {

QCollator makeCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

// The single characters' places in the collator's order; "0" stands for
// every number. Null where a character ties with the numbers.
std::unique_ptr<NameOrder::Table> NameOrder::placesOf(const QCollator &collator)
{
    std::vector<char16_t> chars;
    for (char16_t c = kFirstPlain; c <= kLastPlain; ++c)
        if (!isDigit(c) || c == u'0')
            chars.push_back(c);
    std::stable_sort(chars.begin(), chars.end(),
                     [&](char16_t a, char16_t b) { return collator.compare(text(a), text(b)) < 0; });
    auto table = std::make_unique<Table>();
    quint8 place = 1;
    for (size_t i = 0; i < chars.size(); ++i) {
        const bool tied = i > 0 && collator.compare(text(chars[i - 1]), text(chars[i])) == 0;
        if (tied && (chars[i] == u'0' || chars[i - 1] == u'0'))
            return nullptr;
        if (i > 0 && !tied)
            ++place;
        (chars[i] == u'0' ? table->number : table->place[chars[i]]) = place;
    }
    return table;
}

// Whether the places order every name of one or two characters as the
// collator does. Where the language joins two letters into one (Czech
// "ch", Danish "aa") or weighs a letter apart from its place alone, they
// do not, and every name takes the collator's key.
bool NameOrder::holdsFor(const Table &table, const QCollator &collator)
{
    std::vector<std::pair<QCollatorSortKey, QString>> names;
    for (char16_t a = kFirstPlain; a <= kLastPlain; ++a) {
        names.emplace_back(collator.sortKey(text(a)), text(a));
        for (char16_t b = kFirstPlain; b <= kLastPlain; ++b) {
            const QString two = text(a) + QChar(b);
            names.emplace_back(collator.sortKey(two), two);
        }
    }
    std::sort(names.begin(), names.end(), [](const auto &x, const auto &y) { return x.first.compare(y.first) < 0; });
    // Both orders agree everywhere when they agree on each neighbour.
    for (size_t i = 1; i < names.size(); ++i) {
        const int full = names[i - 1].first.compare(names[i].first);
        const int quick = quickKeyOf(table, names[i - 1].second).compare(quickKeyOf(table, names[i].second));
        if (full == 0 ? quick != 0 : quick >= 0)
            return false;
    }
    return true;
}

NameOrder::NameOrder() : m_collator(makeCollator())
{
    // Tables live as long as the program, one for each language met (null
    // where quick keys cannot be had); each is made once, by the first
    // thread that needs it.
    static std::mutex lock;
    static std::map<QString, std::unique_ptr<Table>> tables;
    const QString language = m_collator.locale().bcp47Name();
    const std::lock_guard<std::mutex> held(lock);
    auto found = tables.find(language);
    if (found == tables.end()) {
        std::unique_ptr<Table> table = placesOf(m_collator);
        if (table && !holdsFor(*table, m_collator))
            table.reset();
        found = tables.emplace(language, std::move(table)).first;
    }
    m_table = found->second.get();
}

bool NameOrder::hasQuickKey(QStringView name) const
{
    if (!m_table)
        return false;
    qsizetype run = 0;
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        if (c < kFirstPlain || c > kLastPlain)
            return false;
        run = isDigit(c) ? run + 1 : 0;
        if (run > kLongestNumber)
            return false;
    }
    return true;
}

NameKey NameOrder::key(const QString &name) const
{
    return hasQuickKey(name) ? quickKey(name) : fullKey(name);
}

NameKey NameOrder::quickKey(QStringView name) const
{
    return quickKeyOf(*m_table, name);
}

NameKey NameOrder::quickKeyOf(const Table &table, QStringView name)
{
    NameKey key;
    // At most three bytes a character: a single digit.
    key.m_quick = QByteArray(name.size() * 3, Qt::Uninitialized);
    char *out = key.m_quick.data();
    const char16_t *c = name.utf16();
    const char16_t *end = c + name.size();
    while (c < end) {
        if (!isDigit(*c)) {
            *out++ = char(table.place[*c++]);
            continue;
        }
        const char16_t *last = c;
        while (last + 1 < end && isDigit(last[1]))
            ++last;
        while (c < last && *c == u'0')
            ++c;
        *out++ = char(table.number);
        *out++ = char(last - c + 1);
        while (c <= last)
            *out++ = char(*c++);
    }
    key.m_quick.truncate(out - key.m_quick.constData());
    return key;
}

NameKey NameOrder::fullKey(const QString &name) const
{
    NameKey key;
    key.m_full = m_collator.sortKey(name);
    return key;
}

} // namespace tw::site
