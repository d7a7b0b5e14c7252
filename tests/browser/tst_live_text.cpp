// What the live preview sends its page: texts written as script literals,
// and the change between two texts.
#include "browser/engine/LiveText.h"

#include <QtTest>

using namespace tw;

class LiveTextTest : public QObject {
    Q_OBJECT
private slots:
    // Anything a page holds stays inside the literal.
    void scriptStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("literal");
        QTest::newRow("plain") << QStringLiteral("<p>x</p>") << QStringLiteral("\"<p>x</p>\"");
        QTest::newRow("quote and backslash") << QStringLiteral("a\"b\\c") << QStringLiteral("\"a\\\"b\\\\c\"");
        QTest::newRow("line ends and tab") << QStringLiteral("a\nb\r\t") << QStringLiteral("\"a\\nb\\u000d\\u0009\"");
        QTest::newRow("line separators") << QStringLiteral("\u2028\u2029") << QStringLiteral("\"\\u2028\\u2029\"");
        QTest::newRow("nul") << QString(QChar(0)) << QStringLiteral("\"\\u0000\"");
        QTest::newRow("empty") << QString() << QStringLiteral("\"\"");
    }
    void scriptStrings()
    {
        QFETCH(QString, text);
        QFETCH(QString, literal);
        QCOMPARE(scriptString(text), literal);
    }

    // Only the middle that differs is sent; an emoji changed into one that
    // shares its first half sends the second half alone.
    void editsBetweenTexts_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("inserted");
        const auto row = [](const char *name, const char *before, const char *after, int at, int removed,
                            const char *inserted) {
            QTest::newRow(name) << QString::fromUtf8(before) << QString::fromUtf8(after) << at << removed
                                << QString::fromUtf8(inserted);
        };
        row("typed", "abcd", "abXcd", 2, 0, "X");
        row("deleted", "abcd", "ad", 1, 2, "");
        row("same", "abc", "abc", 3, 0, "");
        row("a letter more in a run", "aaa", "aaaa", 3, 0, "a");
        row("a letter less in a run", "aaaa", "aaa", 3, 1, "");
        row("from nothing", "", "xy", 0, 0, "xy");
        row("all replaced", "abc", "xyz", 0, 3, "xyz");
        QTest::newRow("half an emoji") << QStringLiteral("<b>\U0001F600</b>") << QStringLiteral("<b>\U0001F601</b>")
                                       << 4 << 1 << QStringLiteral("\U0001F601").mid(1);
    }
    void editsBetweenTexts()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, at);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        const TextEdit edit = editBetween(before, after);
        QCOMPARE(edit.at, qsizetype(at));
        QCOMPARE(edit.removed, qsizetype(removed));
        QCOMPARE(edit.inserted, inserted);
        // The edit applied to the old text gives the new one.
        QCOMPARE(QString(before).replace(edit.at, edit.removed, edit.inserted), after);
    }
};

QTEST_GUILESS_MAIN(LiveTextTest)
#include "tst_live_text.moc"
