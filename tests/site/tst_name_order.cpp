// Names in the language's order: quick keys order names of printable ASCII
// as the collator's own keys do, and the languages where they cannot are
// left to the collator.
#include "site/NameOrder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace tw::site;

class NameOrderTest : public QObject {
    Q_OBJECT

    static QStringList sorted(QStringList names, const std::function<NameKey(const QString &)> &key)
    {
        std::stable_sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
            const int c = key(a).compare(key(b));
            return c ? c < 0 : a < b;
        });
        return names;
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Punctuation, then numbers by value (leading zeros aside), then
    // letters, case aside; a name before the longer names it begins.
    void bothKindsGiveThisOrder_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("C takes English") << QLocale::c();
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden);
    }
    void bothKindsGiveThisOrder()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        const NameOrder order;
        const QStringList expected{
            "_notes", "(copy) a.htm", "@home", "#top", "~a", "$x", "1.5", "1.10", "009", "9", "10",
            "a b", "a-b", "a.b", "a%20b", "a+b", "aB", "ab", "Page 2.htm", "page 2.htm", "page 02b.htm",
            "page 10.htm", "page_2.htm", "page-2.htm", "page.htm", "page2.htm", "pages.htm", "Z", "z1"};
        QStringList shuffled = expected;
        std::reverse(shuffled.begin(), shuffled.end());
        for (const QString &name : expected)
            QVERIFY2(order.hasQuickKey(name), qPrintable(name));
        QCOMPARE(sorted(shuffled, [&](const QString &n) { return order.quickKey(n); }), expected);
        QCOMPARE(sorted(shuffled, [&](const QString &n) { return order.fullKey(n); }), expected);
    }

    // Many random names of printable ASCII, heavy in digits, zeros, case
    // and punctuation: each pair compares the same both ways.
    void quickKeysAgreeWithTheCollator()
    {
        const NameOrder order;
        QRandomGenerator random(20261209);
        const QByteArray common = "aAbB0019 ._-zZ()~";
        QString previous;
        int disagree = 0;
        for (int i = 0; i < 20000; ++i) {
            QString name;
            for (int n = 1 + random.bounded(12); n > 0; --n)
                name += QLatin1Char(random.bounded(3) ? common.at(random.bounded(common.size()))
                                                      : char(0x20 + random.bounded(95)));
            const auto sign = [](int c) { return (c > 0) - (c < 0); };
            if (sign(order.quickKey(previous).compare(order.quickKey(name)))
                != sign(order.fullKey(previous).compare(order.fullKey(name)))) {
                if (++disagree < 5)
                    qWarning() << previous << name;
            }
            previous = name;
        }
        QCOMPARE(disagree, 0);
    }

    // Where a language joins letters into one (Czech "ch" after "h",
    // Danish "aa" after "z"), or a name holds more than printable ASCII or
    // a very long number, the collator makes the key.
    void namesTheCollatorMustOrder()
    {
        for (const QLocale &joins : {QLocale(QLocale::Czech, QLocale::CzechRepublic),
                                     QLocale(QLocale::Danish, QLocale::Denmark)}) {
            QLocale::setDefault(joins);
            const NameOrder order;
            QVERIFY(!order.hasQuickKey(u"index.htm"));
            QVERIFY(!order.key(QStringLiteral("chata.htm")).isQuick());
        }
        QLocale::setDefault(QLocale::c());
        const NameOrder order;
        for (const QString &name : {QStringLiteral("caf\u00e9.htm"), QStringLiteral("tab\there"),
                                    QStringLiteral("del\x7f"), QString(201, QLatin1Char('7'))})
            QVERIFY2(!order.key(name).isQuick(), qPrintable(name));
        QVERIFY(order.key(QString(200, QLatin1Char('7'))).isQuick());
    }
};

QTEST_GUILESS_MAIN(NameOrderTest)
#include "tst_name_order.moc"
