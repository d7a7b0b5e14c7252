#include "platform/Prompt.h"

#include <QLocale>
#include <QTest>

#include <limits>
#include <string>

using namespace tw;

class PromptTest : public QObject {
    Q_OBJECT
private slots:
    void letterCheck();
    void numericReadingAndCount_data();
    void numericReadingAndCount();
    void numberText();
};

void PromptTest::letterCheck()
{
    for (const char *none : {"", " -12.5 +3, 4/2 ", "<\"'&;>#%\n\t", "\u0663\u0664", "\uff11", "\u4e2d"})
        QVERIFY2(!containsLetter(QString::fromUtf8(none)), none);
    for (const char *some : {"12px", "1e5", "\u03b1", "\u0416", "\u00df", "\uff21"})
        QVERIFY2(containsLetter(QString::fromUtf8(some)), some);
}

void PromptTest::numericReadingAndCount_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<double>("reading");
    QTest::addColumn<int>("count");
    const double inf = std::numeric_limits<double>::infinity();
    const QString nines(1000000, QLatin1Char('9'));
    QTest::newRow("plain") << "12" << 12.0 << 12;
    QTest::newRow("blank inside") << " 1 2" << 12.0 << 12;
    QTest::newRow("negative") << "-3" << -3.0 << -3;
    QTest::newRow("fraction") << "7.5" << 7.5 << 8;
    QTest::newRow("comma stops") << "4,5" << 4.0 << 4;
    QTest::newRow("point alone") << "." << 0.0 << 0;
    QTest::newRow("empty") << "" << 0.0 << 0;
    QTest::newRow("tabs and line feeds inside") << "\t-\n1 0\n.\t2 5" << -10.25 << -10;
    QTest::newRow("plus sign") << "+7" << 7.0 << 7;
    QTest::newRow("two signs") << "--3" << 0.0 << 0;
    QTest::newRow("many signs") << QString(100000, QLatin1Char('-')) + "5" << 0.0 << 0;
    QTest::newRow("sign after digits stops") << "3-4" << 3.0 << 3;
    QTest::newRow("many points") << "1.2" + QString(100000, QLatin1Char('.')) << 1.2 << 1;
    QTest::newRow("no leading digit") << ".5" << 0.0 << 0;
    QTest::newRow("carriage return stops") << "1\r2" << 1.0 << 1;
    QTest::newRow("no-break space stops") << "1\u00a02" << 1.0 << 1;
    QTest::newRow("arabic-indic digit stops") << "1\u06632" << 1.0 << 1;
    QTest::newRow("fullwidth digit") << "\uff15" << 0.0 << 0;
    QTest::newRow("correctly rounded") << "0.1" << 0.1 << 0;
    QTest::newRow("half to even down") << "2.5" << 2.5 << 2;
    QTest::newRow("half to even up") << "3.5" << 3.5 << 4;
    QTest::newRow("negative half") << "-2.5" << -2.5 << -2;
    QTest::newRow("just above half") << "2.5000001" << 2.5000001 << 3;
    QTest::newRow("top") << "32767.4" << 32767.4 << 32767;
    QTest::newRow("rounds past top") << "32767.5" << 32767.5 << 0;
    QTest::newRow("bottom half goes even") << "-32768.5" << -32768.5 << -32768;
    QTest::newRow("below bottom") << "-32769" << -32769.0 << 0;
    QTest::newRow("five nines") << "99999" << 99999.0 << 0;
    QTest::newRow("million nines") << nines << inf << 0;
    QTest::newRow("minus million nines") << "-" + nines << -inf << 0;
    QTest::newRow("million nines after the point") << "2." + nines << 3.0 << 3;
    QTest::newRow("tiny") << "0." + QString(500000, QLatin1Char('0')) + "1" << 0.0 << 0;
    QTest::newRow("300 ones") << QString(300, QLatin1Char('1')) << std::stod(std::string(300, '1')) << 0;
}

void PromptTest::numericReadingAndCount()
{
    QFETCH(QString, answer);
    QFETCH(double, reading);
    QFETCH(int, count);
    const double got = tw::numericReading(answer);
    QVERIFY2(got == reading, qPrintable(QString::number(got, 'g', 17))); // exact, not fuzzy
    QCOMPARE(int(tw::countConversion(answer)), count);
}

void PromptTest::numberText()
{
    QLocale::setDefault(QLocale::c());
    QCOMPARE(tw::numberText(-0.0), QStringLiteral("0"));
    QCOMPARE(tw::numberText(1.2345678901234568e20), QStringLiteral("123456789012345683968"));
    QCOMPARE(tw::numberText(0.12345678901234568), QStringLiteral("0.123456789012346"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = tw::numberText(2.5) + ' ' + tw::numberText(1234567.0);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(german, QStringLiteral("2,5 1234567"));
}

QTEST_GUILESS_MAIN(PromptTest)
#include "tst_prompt.moc"
