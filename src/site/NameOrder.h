#pragma once

#include <QByteArray>
#include <QCollator>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

namespace tw::site {

// What orders a name among others: the user's language's order, numbers by
// value ("page 2" before "page 10") and letter case aside. A key comes in
// one of two kinds, and only keys of the same kind compare:
// - a quick one, made without the collator, for a name of printable ASCII
//   in a language whose order of such names is known to follow from the
//   order of their single characters;
// - the collator's own, for any name.
// Where both can be made, they order names the same way.
class NameKey {
public:
    bool isQuick() const { return !m_full.has_value(); }
    // Below, equal or above zero as this name comes before, with or after
    // the other one's.
    int compare(const NameKey &other) const;

private:
    friend class NameOrder;
    QByteArray m_quick;
    std::optional<QCollatorSortKey> m_full;
};

// Makes keys in the user's language (English where that is the C locale,
// which would order by character codes only). One object serves one thread.
class NameOrder {
public:
    NameOrder();

    // Whether `name` can have a quick key.
    bool hasQuickKey(QStringView name) const;
    // The quick key where the name can have one, the collator's otherwise.
    NameKey key(const QString &name) const;
    NameKey quickKey(QStringView name) const; // only where hasQuickKey
    NameKey fullKey(const QString &name) const;

private:
    struct Table;
    static std::unique_ptr<Table> placesOf(const QCollator &collator);
    static bool holdsFor(const Table &table, const QCollator &collator);
    static NameKey quickKeyOf(const Table &table, QStringView name);
    QCollator m_collator;
    const Table *m_table; // null where the language joins letters (as Czech "ch")
};

} // namespace tw::site
