#include "DataRows.h"
#include "ScriptedDialogs.h"
#include "editor/FindReplace.h"
#include "editor/SourceEditor.h"
#include "editor/TextSearch.h"

#include <QtTest>

using namespace tw;

namespace {

FindOptions opts(const char *flags)
{
    FindOptions o;
    o.matchCase = strchr(flags, 'c') != nullptr;
    o.wholeWord = strchr(flags, 'w') != nullptr;
    o.regularExpression = strchr(flags, 'r') != nullptr;
    return o;
}

QByteArray replaced(const QByteArray &text, const QByteArray &find, const char *flags, const QByteArray &with)
{
    TextSearch search(find, opts(flags));
    const ReplaceAllResult r = replaceAllMatches(search, text.constData(), text.size(), with);
    if (!r.ok)
        return "<error: " + r.error.toUtf8() + ">";
    return text.left(r.start) + r.text + text.mid(r.end);
}

} // namespace

class TextSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replaceAll_data()
    {
        tw::test::columns<QByteArray, QByteArray, QString, QByteArray, QByteArray>(
            "text", "find", "flags", "with", "expected");
        auto row = [](const char *name, QByteArray text, QByteArray find, const char *flags, QByteArray with,
                      QByteArray expected) {
            QTest::newRow(name) << text << find << QString::fromLatin1(flags) << with << expected;
        };
        row("ignore case", "aXbxc", "x", "", "-", "a-b-c");
        row("match case", "aXbxc", "x", "c", "-", "aXb-c");
        row("whole word", "cat catalog cat. bobcat", "cat", "w", "dog", "dog catalog dog. bobcat");
        row("unicode case", "\xC3\x89" "cole \xC3\xA9" "cole", "\xC3\xA9" "cole", "", "X", "X X");
        row("unicode word", "\xC3\xA9t\xC3\xA9 t\xC3\xA9", "t\xC3\xA9", "w", "X", "\xC3\xA9t\xC3\xA9 X");
        row("plain takes specials literally", "a.b a+b a\\Eb", "a\\Eb", "", "$1\\n", "a.b a+b $1\\n");
        row("plain NUL", QByteArray("a\0b", 3), QByteArray("\0", 1), "", "0", "a0b");
        row("groups", "<B>x</B>", "<(/?)B>", "r", "<$1strong>", "<strong>x</strong>");
        row("braced group, dollar, escapes", "ab", "(a)(b)", "r", "${2}$$\\t\\n\\\\$0", "b$\t\n\\ab");
        row("NUL bytes kept", QByteArray("a\0b\0a", 5), "a", "", "z", QByteArray("z\0b\0z", 5));
        row("NUL matched", QByteArray("a\0b", 3), "\\x00", "r", "0", "a0b");
        row("Windows-1252 bytes kept", "\x93" "caf\xE9\x94 x \xE9", "x", "", "y", "\x93" "caf\xE9\x94 y \xE9");
        row("stray bytes match nothing", "\xE9\xE9 \xE9", ".", "r", "-", "\xE9\xE9-\xE9");
        row("mixed line ends kept", "a\r\nb\nc\rd", "[bc]", "r", "X", "a\r\nX\nX\rd");
        row("line starts, any line end", "a\r\nb\rc\nd", "^", "r", "> ", "> a\r\n> b\r> c\n> d");
        row("line ends before CR LF", "a\r\nb", "$", "r", ";", "a;\r\nb;");
        row("empty matches between characters", "ab", "x*", "r", "-", "-a-b-");
        row("empty match never splits a character", "\xC3\xA9", "x*", "r", "-", "-\xC3\xA9-");
        row("empty match after a match", "baa", "a*", "r", "-", "-b--");
        row("lookahead only", "ab", "(?=b)", "r", "|", "a|b");
        row("no match leaves text", "abc", "z", "", "y", "abc");
        row("empty text", "", "x*", "r", "-", "-");
        row("bad expression", "abc", "a(", "r", "x",
            "<error: The regular expression is not valid at character 3: missing closing parenthesis.>");
        row("missing group", "abc", "(a)", "r", "$2",
            "<error: The replacement names group 2, but the regular expression has only one group.>");
        row("empty pattern", "abc", "", "", "x", "<error: Type the text to find.>");
    }
    void replaceAll()
    {
        auto [text, find, flags, with, expected] = tw::test::fetch<QByteArray, QByteArray, QString, QByteArray, QByteArray>(
            "text", "find", "flags", "with", "expected");
        QCOMPARE(replaced(text, find, flags.toLatin1().constData(), with), expected);
    }

    // Searches that would backtrack for hours stop with a message instead.
    void hostileExpressionsStop_data()
    {
        tw::test::columns<QByteArray, QByteArray>("pattern", "text");
        QTest::newRow("nested plus") << QByteArray("(a+)+$") << QByteArray(30000, 'a') + "b";
        QTest::newRow("overlapping") << QByteArray("(x+x+)+y") << QByteArray(5000, 'x') + "zy";
        QTest::newRow("nested words") << QByteArray("^(\\w+\\s?)*$") << QByteArray(20000, 'a') + "!";
    }
    void hostileExpressionsStop()
    {
        auto [pattern, text] = tw::test::fetch<QByteArray, QByteArray>("pattern", "text");
        TextSearch search(pattern, opts("r"));
        QVERIFY(search.isValid());
        const ReplaceAllResult r = replaceAllMatches(search, text.constData(), text.size(), "z");
        QVERIFY(!r.ok);
        QCOMPARE(r.error, QStringLiteral("The regular expression backtracks too much to search this page; "
                                         "make it more specific."));
        QCOMPARE(r.count, 0);
        QVERIFY(r.text.isEmpty());
        const TextMatch m = search.findPrevious(text.constData(), text.size(), text.size(), true);
        QVERIFY(!m.found());
        QVERIFY(!search.error().isEmpty());
    }

    void findNextAndPrevious_data()
    {
        tw::test::columns<QByteArray, QByteArray, QString, bool, int, bool, int, int>(
            "text", "find", "flags", "backward", "from", "wrap", "start", "length");
        auto row = [](const char *name, QByteArray text, QByteArray find, const char *flags, bool backward,
                      int from, bool wrap, int start, int length) {
            QTest::newRow(name) << text << find << QString::fromLatin1(flags) << backward << from << wrap
                                << start << length;
        };
        row("next", "abcabc", "b", "", false, 0, true, 1, 1);
        row("next after the first", "abcabc", "b", "", false, 2, true, 4, 1);
        row("next wraps", "abcabc", "bc", "", false, 5, true, 1, 2);
        row("next without wrap", "abcabc", "b", "", false, 5, false, -1, 0);
        row("previous", "abcabc", "b", "", true, 4, true, 1, 1);
        row("previous wraps", "abcabc", "b", "", true, 1, true, 4, 1);
        row("previous without wrap", "abcabc", "b", "", true, 1, false, -1, 0);
        row("empty match moves on", "a\nb", "^", "r", false, 0, true, 2, 0);
        row("empty match wraps", "a\nb", "^", "r", false, 2, true, 0, 0);
        row("empty match backward", "a\nb", "^", "r", true, 2, true, 0, 0);
        row("nothing", "abc", "z", "", false, 0, true, -1, 0);
        row("previous far back", "x" + QByteArray(100000, '.'), "x", "", true, 100001, false, 0, 1);
    }
    void findNextAndPrevious()
    {
        auto [text, find, flags, backward, from, wrap, start, length] = tw::test::fetch<QByteArray, QByteArray, QString, bool, int, bool, int, int>(
            "text", "find", "flags", "backward", "from", "wrap", "start", "length");
        TextSearch search(find, opts(flags.toLatin1().constData()));
        const TextMatch m = backward ? search.findPrevious(text.constData(), text.size(), from, wrap)
                                     : search.findNext(text.constData(), text.size(), from, wrap);
        QCOMPARE(m.start, start);
        QCOMPARE(m.length, length);
    }

    // Replace All in the editor: one edit, one undo step, bytes kept.
    void replaceAllInTheEditorIsOneUndoStep()
    {
        SourceEditor editor;
        const QByteArray page("<p>one</p>\r\n<p>two</p>\0\xE9<p>x</p>", 32);
        editor.loadBytes(page);
        FindRequest request{QStringLiteral("<(/?)p>"), QStringLiteral("<$1div>"), opts("r")};
        const FindOutcome out = replaceAllInEditor(editor, request);
        QCOMPARE(out.message, QStringLiteral("Replaced 6 matches."));
        QCOMPARE(editor.documentBytes(),
                 QByteArray("<div>one</div>\r\n<div>two</div>\0\xE9<div>x</div>", 44));
        QVERIFY(editor.isModified());
        editor.undo();
        QCOMPARE(editor.documentBytes(), page);
        QVERIFY(!editor.isModified());
    }

    void badExpressionChangesNothing()
    {
        SourceEditor editor;
        editor.loadBytes("a(b");
        for (auto run : {&replaceAllInEditor, &replaceInEditor}) {
            const FindOutcome out = run(editor, {QStringLiteral("("), QStringLiteral("x"), opts("r")});
            QVERIFY2(out.message.startsWith(QLatin1String("The regular expression is not valid")),
                     qPrintable(out.message));
            QCOMPARE(editor.documentBytes(), QByteArray("a(b"));
            QVERIFY(!editor.isModified());
        }
    }

    // Replace acts only on a selection that is a match, then selects the next.
    void replaceOneThenNext()
    {
        SourceEditor editor;
        editor.loadBytes("ab ab ab");
        FindRequest request{QStringLiteral("ab"), QStringLiteral("X"), opts("")};
        replaceInEditor(editor, request); // nothing selected: only finds
        QCOMPARE(editor.selectedBytes(), QByteArray("ab"));
        QCOMPARE(editor.documentBytes(), QByteArray("ab ab ab"));
        replaceInEditor(editor, request);
        QCOMPARE(editor.documentBytes(), QByteArray("X ab ab"));
        QCOMPARE(editor.SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), 2L);
        QCOMPARE(editor.selectedBytes(), QByteArray("ab"));
    }
};

QTEST_MAIN(TextSearchTest)
#include "tst_textsearch.moc"
