// Which words of a page are checked and where their marks go, the dictionary
// a page is checked in, suggestions, a dictionary in a single-byte encoding,
// and the user's own words across runs.
#include "DataRows.h"
#include "Niceness.h"
#include "spelling/Dictionaries.h"
#include "spelling/PersonalWords.h"
#include "spelling/SpellChecker.h"

#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace tw::spelling;
using tw::test::columns;
using tw::test::fetch;

namespace {

// The marked bytes of the page, in order, joined by '|'.
QString marked(SpellChecker &checker, const QByteArray &page, const QString &chosen = QStringLiteral("en_US"))
{
    QStringList words;
    for (const WordSpan &s : checker.checkNow(page, chosen).misspelt)
        words << QString::fromUtf8(page.mid(s.start, s.end - s.start));
    return words.join(QLatin1Char('|'));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

} // namespace

class SpellingTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString personal() const { return m_home.filePath(QStringLiteral("words.txt")); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_home.isValid());
        if (!installedDictionaries().size() || !QFile::exists(QStringLiteral("/usr/share/hunspell/en_US.dic")))
            QFAIL("hunspell-en-us is not installed (scripts/setup.sh installs it)");
    }

    void markedWords_data()
    {
        columns<QByteArray, QString>("page", "marked");
        QTest::newRow("text, decoded references") << QByteArray("<p>Teh cat &amp; dgo sat, caf&eacute; &#x63;at &#99;att.</p>")
                                                  << "Teh|dgo|caf&eacute;|&#99;att";
        QTest::newRow("apostrophes inside words") << QByteArray("<p>don't isn&rsquo;t isn’t 'cat' wouldn'tt</p>")
                                                  << "wouldn'tt";
        QTest::newRow("alt, title, placeholder only")
            << QByteArray("<img src=\"speling.png\" alt=\"a speling\" TITLE='mispeled' class=wrnog>"
                          "<input value=\"wrnog\" placeholder=wrnog>")
            << "speling|mispeled|wrnog";
        QTest::newRow("names, comments, script, style skipped")
            << QByteArray("<!DOCTYPE htmll><speling clas=\"x\">fine</speling><!-- speling --><?xmll x?>"
                          "<script>var speling = '</p>';</script ><STYLE>.speling{}</style>fine")
            << "";
        QTest::newRow("UTF-8 word, its bytes marked") << QByteArray("<p>caf\xC3\xA9s cat \xC3\xA9t\xC3\xA9x</p>")
                                                      << QString::fromUtf8("caf\xC3\xA9s|\xC3\xA9t\xC3\xA9x");
        QTest::newRow("numbers and addresses are not words")
            << QByteArray("<p>mp3 x_y www.exmaple.com me@exmaple.org v1.2 a/b exmaple.</p>") << "exmaple";
        QTest::newRow("stray bytes end a word") << QByteArray("<p>cat\xFF" "dgo \xE9</p>") << "dgo";
    }
    void markedWords()
    {
        auto [page, expected] = fetch<QByteArray, QString>("page", "marked");
        SpellChecker checker(nullptr, dictionaryFolders(), personal());
        QCOMPARE(marked(checker, page), expected);
    }

    void dictionaryChoice_data()
    {
        columns<QString, QStringList, QString, QString>("lang", "installed", "chosen", "used");
        const QStringList both{"en_GB", "en_US"};
        QTest::newRow("exact, any case") << "EN-gb" << both << "en_US" << "en_GB";
        QTest::newRow("language only: the chosen one of it") << "en" << both << "en_US" << "en_US";
        QTest::newRow("language only: the first of it") << "en" << both << "de_DE" << "en_GB";
        QTest::newRow("none for lang: the chosen one") << "fr-CA" << both << "en_US" << "en_US";
        QTest::newRow("no lang, chosen not installed") << "" << both << "de_DE" << "";
    }
    void dictionaryChoice()
    {
        auto [lang, installed, chosen, used] = fetch<QString, QStringList, QString, QString>("lang", "installed",
                                                                                            "chosen", "used");
        QCOMPARE(chooseDictionary(lang, installed, chosen), used);
    }

    // The page's lang picks the dictionary; suggestions come from it.
    void langAndSuggestions()
    {
        SpellChecker checker(nullptr, dictionaryFolders(), personal());
        const CheckResult result = checker.checkNow("<html lang=\"en-US\"><p>speling</p>", QStringLiteral("none"));
        QCOMPARE(result.lang, QStringLiteral("en-US"));
        QCOMPARE(result.dictionary, QStringLiteral("en_US"));
        QCOMPARE(result.misspelt.size(), size_t(1));
        const QStringList suggestions = checker.suggest(QStringLiteral("en_US"), QStringLiteral("speling"));
        QVERIFY2(suggestions.size() <= 6 && suggestions.contains(QStringLiteral("spelling")),
                 qPrintable(suggestions.join(QLatin1Char(','))));
    }

    // A dictionary kept in ISO8859-1: words and suggestions are converted.
    void singleByteDictionary()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("xx_XX.aff"), "SET ISO8859-1\nTRY abcdefghijklmnopqrstuvwxyz\xE9\n");
        writeFile(dir.filePath("xx_XX.dic"), "2\ncaf\xE9\nna\xEFve\n");
        writeFile(dir.filePath("yy_YY.aff"), "SET UTF-8\n"); // no .dic beside it
        SpellChecker checker(nullptr, {dir.path()}, personal());
        QCOMPARE(checker.dictionaries(), QStringList{"xx_XX"});
        QCOMPARE(marked(checker, "<p>caf&eacute; caf\xC3\xA9 cafe na\xC3\xAFve</p>", "xx_XX"), QStringLiteral("cafe"));
        QCOMPARE(checker.suggest(QStringLiteral("xx_XX"), QStringLiteral("cafe")).value(0), QString::fromUtf8("caf\xC3\xA9"));
    }

    // Added words are written at once, read by the next run's checker, and
    // the file is replaced whole; garbage in it is skipped.
    void personalWords()
    {
        const QString path = personal();
        writeFile(path, QByteArray("Zorgle\n\xFF\xFE garbage\n") + QByteArray(1, '\0') + "\x01\nspace d\n"
                            + QByteArray(300, 'x') + "\n\nZorgle\n");
        QCOMPARE(readPersonalWords(path), (QStringList{"Zorgle", "space d"}));
        const QString linked = m_home.filePath(QStringLiteral("before.txt"));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(linked).constData()), 0);
        {
            SpellChecker first(nullptr, dictionaryFolders(), path);
            QCOMPARE(marked(first, "<p>Zorgle Blorft</p>"), QStringLiteral("Blorft"));
            QSignalSpy changed(&first, &SpellChecker::wordsChanged);
            QVERIFY(first.addToDictionary(QStringLiteral("Blorft")));
            first.ignore(QStringLiteral("Quux"));
            QCOMPARE(changed.size(), 2);
            QCOMPARE(marked(first, "<p>Zorgle Blorft Quux</p>"), QString());
        }
        QCOMPARE(readFile(path), QByteArray("Zorgle\nspace d\nBlorft\n"));
        // The old file was replaced, not written over.
        QVERIFY(readFile(linked).contains("garbage"));
        QCOMPARE(QDir(m_home.path()).entryList(QDir::Files).size(), 2);
        SpellChecker next(nullptr, dictionaryFolders(), path);
        QCOMPARE(marked(next, "<p>Zorgle Blorft Quux</p>"), QStringLiteral("Quux"));
    }

    // The thread hands the result to the receiver unless it is outdated, and
    // runs behind the window's.
    void checksOnItsThread()
    {
        SpellChecker checker(nullptr, dictionaryFolders(), personal());
        QObject receiver;
        std::atomic<int> generation{1};
        CheckResult got;
        bool called = false;
        checker.check("<p>teh</p>", QStringLiteral("en_US"), &receiver, [&] { return generation == 0; },
                      [&](const CheckResult &) { called = true; });
        checker.check("<p>dgo</p>", QStringLiteral("en_US"), &receiver, [&] { return generation == 1; },
                      [&](const CheckResult &r) { got = r; });
        QTRY_COMPARE_WITH_TIMEOUT(got.misspelt.size(), size_t(1), 60000);
        QVERIFY(!called);
        // Behind the window's thread, so that typing never waits for it.
        QCOMPARE(tw::test::nicenessOfThread(QStringLiteral("spelling")), 5);
    }
};

QTEST_MAIN(SpellingTest)
#include "tst_spelling.moc"
