#include "Ceiling.h"
#include "DataRows.h"
#include "editor/ActiveEditor.h"
#include "editor/EditorLook.h"
#include "editor/EditorOperations.h"
#include "editor/SourceEditor.h"
#include "editor/TypingHelp.h"

#include <QtTest>

#include <memory>

using namespace tw;
using Sci = QsciScintillaBase;

namespace {

// A shown editor with its typing help; `plain` leaves out highlighting, as
// for a page over the highlighting limit, so that the help has the text
// alone to go by.
struct Editor {
    explicit Editor(bool plain, TypingHelp::Choices choices = {})
    {
        if (!plain)
            EditorLook::attach(&editor, true, true);
        help = TypingHelp::attach(&editor, choices);
        editor.resize(600, 400);
        editor.show();
        if (!QTest::qWaitForWindowExposed(&editor, test::kCeiling))
            qWarning("the editor was not shown");
    }
    void load(const QByteArray &text)
    {
        editor.loadBytes(text);
        editor.SendScintilla(Sci::SCI_DOCUMENTEND);
    }
    qint64 caret() { return editor.SendScintilla(Sci::SCI_GETCURRENTPOS); }
    bool listShown() { return editor.SendScintilla(Sci::SCI_AUTOCACTIVE) != 0; }
    SourceEditor editor;
    TypingHelp *help;
};

} // namespace

// Help while typing, with keys typed into a real editor.
class TypingHelpTest : public QObject {
    Q_OBJECT
private slots:
    void keys_data()
    {
        // '|' is the caret; at the end of "before" when left out there
        tw::test::columns<bool, QByteArray, QString, QByteArray>("plain", "before", "typed", "after");
        for (const bool plain : {false, true}) {
            const char *look = plain ? "plain: " : "highlighted: ";
            const auto row = [&](const char *name, const char *before, const char *typed, const char *after) {
                QTest::newRow(qPrintable(look + QString::fromLatin1(name)))
                    << plain << QByteArray(before) << QString::fromUtf8(typed) << QByteArray(after);
            };
            row("closes a tag", "", "<p>", "<p>|</p>");
            row("nested", "", "<ul><li>", "<ul><li>|</li></ul>");
            row("void", "<p>", "<br>", "<p><br>|");
            row("quoted >", "", "<a title=\"x>", "<a title=\"x>|");
            row("in a comment", "<!-- ", "<b>", "<!-- <b>|");
            row("in script", "<script>if (a", "<b>", "<script>if (a<b>|");
            row("closing name", "<div><b>x</b>", "</", "<div><b>x</b></div>|");
            row("closing name in script", "<script>x", "</", "<script>x</script>|");
            // "</" where the element is closed right after the caret adds nothing.
            row("</ closed already", "<li>|</li>", "</", "<li></|</li>");
            row("</ closed already, nested", "<ul><li>|</li></ul>", "</", "<ul><li></|</li></ul>");
            row("</ closed already, upper case", "<LI>|</LI>", "</", "<LI></|</LI>");
            row("</ closed after blanks", "<p>\n|\n</p>", "</", "<p>\n</|\n</p>");
            row("</ closed already in script", "<script>x|</script>", "</", "<script>x</|</script>");
            row("</ open, nothing after", "<p>|", "</", "<p></p>|");
            row("</ next closing tag is the outer one's", "<div><p>|</div>", "</", "<div><p></p>|</div>");
            row("</ next closing tag only starts alike", "<b>|</bdi>", "</", "<b></b>|</bdi>");
        }
    }
    void keys()
    {
        auto [plain, before, typed, after] = tw::test::fetch<bool, QByteArray, QString, QByteArray>(
            "plain", "before", "typed", "after");
        Editor e(plain);
        e.load(QByteArray(before).replace('|', ""));
        if (before.contains('|'))
            e.editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(before.indexOf('|')));
        QTest::keyClicks(&e.editor, typed);
        QByteArray seen = e.editor.documentBytes();
        seen.insert(e.caret(), '|');
        QCOMPARE(seen, after);
    }

    // The key and what it brought are taken back together, and only they.
    void oneUndoStep()
    {
        Editor e(false);
        e.load("<b>x");
        QTest::keyClicks(&e.editor, QStringLiteral("</"));
        QCOMPARE(e.editor.documentBytes(), QByteArray("<b>x</b>"));
        e.editor.undo();
        QCOMPARE(e.editor.documentBytes(), QByteArray("<b>x<"));
        e.editor.redo();
        QCOMPARE(e.editor.documentBytes(), QByteArray("<b>x</b>"));

        e.load("x");
        QTest::keyClicks(&e.editor, QStringLiteral(" <p"));
        QTest::keyClick(&e.editor, Qt::Key_Greater, Qt::NoModifier);
        QCOMPARE(e.editor.documentBytes(), QByteArray("x <p></p>"));
        e.editor.undo();
        QCOMPARE(e.editor.documentBytes(), QByteArray("x <p"));
    }

    // The tag buttons of the bars insert their own closing tags: no help adds
    // to what a command writes.
    void commandsAreLeftAlone()
    {
        Editor e(false);
        e.load("");
        e.editor.setFocus();
        ActiveEditor active([&e] { return static_cast<QWidget *>(&e.editor); });
        insertAsOneStep(active, QStringLiteral("<b>"));
        e.editor.flushEdits(); // followers of edits are told,
        QCoreApplication::processEvents(); // and whatever they started has run
        QCOMPARE(e.editor.documentBytes(), QByteArray("<b>"));
        QVERIFY(!e.listShown());
    }

    // With every help off, typing inserts exactly the keys typed.
    void allOff()
    {
        Editor e(false, {false, false, false});
        e.load("<div>");
        QTest::keyClicks(&e.editor, QStringLiteral("<"));
        QVERIFY(!e.listShown());
        QTest::keyClicks(&e.editor, QStringLiteral("p class=x>a</"));
        QVERIFY(!e.listShown());
        QCOMPARE(e.editor.documentBytes(), QByteArray("<div><p class=x>a</"));
        e.editor.undo();
        QCOMPARE(e.editor.documentBytes(), QByteArray("<div>"));
    }

    // The list after '<' and after a blank in a tag: it narrows as the user
    // types, Enter or Tab takes the choice, Escape closes it.
    void completion_data()
    {
        tw::test::columns<QByteArray, QString, int, QByteArray>("before", "typed", "key", "after");
        const auto row = [](const char *name, const char *before, const char *typed, int key, const char *after) {
            QTest::newRow(name) << QByteArray(before) << QString::fromUtf8(typed) << key << QByteArray(after);
        };
        row("element, Enter", "", "<tex", Qt::Key_Return, "<textarea");
        row("element, Tab", "", "<bl", Qt::Key_Tab, "<blockquote");
        row("upper case", "", "<Bl", Qt::Key_Tab, "<BLOCKQUOTE");
        row("attribute", "<p>", "<img a", Qt::Key_Return, "<p><img accesskey");
        row("attribute narrowed", "", "<a hrefl", Qt::Key_Tab, "<a hreflang");
        row("Escape", "", "<tex", Qt::Key_Escape, "<tex");
        row("after Escape, stays closed", "<tex", "t", Qt::Key_Return, "<text\n");
    }
    void completion()
    {
        auto [before, typed, key, after] = tw::test::fetch<QByteArray, QString, int, QByteArray>(
            "before", "typed", "key", "after");
        Editor e(false);
        e.load(before);
        QTest::keyClicks(&e.editor, typed);
        QCOMPARE(e.listShown(), !before.endsWith("<tex"));
        // Narrowed: the list holds only the names that fit, the first chosen.
        if (e.listShown())
            QCOMPARE(e.editor.SendScintilla(Sci::SCI_AUTOCGETCURRENT), 0L);
        QTest::keyClick(&e.editor, Qt::Key(key));
        QCOMPARE(e.editor.documentBytes(), after);
        QVERIFY(!e.listShown());
    }

    // The list is there only where names may be typed, and goes when none fits.
    void noListWhereNoNameFits()
    {
        Editor e(true);
        e.load("<p>");
        QTest::keyClicks(&e.editor, QStringLiteral("a <"));
        QVERIFY(e.listShown());
        QTest::keyClicks(&e.editor, QStringLiteral("x"));
        QVERIFY(!e.listShown());
        QTest::keyClicks(&e.editor, QStringLiteral("y> b "));
        QVERIFY(!e.listShown());
        QTest::keyClicks(&e.editor, QStringLiteral("<a title=\"x "));
        QVERIFY(!e.listShown());
        e.help->setCompletion(false);
        QTest::keyClicks(&e.editor, QStringLiteral("\" <"));
        QVERIFY(!e.listShown());
    }

    // With the caret in a tag's name, the tag and its partner are marked.
    void matchingTags()
    {
        for (const bool plain : {false, true}) {
            Editor e(plain);
            e.load("<div><p>x</p></div>");
            const auto marked = [&](qint64 at) {
                return e.editor.SendScintilla(Sci::SCI_INDICATORVALUEAT, TypingHelp::kMatchIndicator,
                                              static_cast<long>(at)) != 0;
            };
            e.editor.SendScintilla(Sci::SCI_GOTOPOS, 2UL);
            QTRY_COMPARE_WITH_TIMEOUT(e.help->matchedRanges(), (QList<qint64>{0, 5, 13, 19}), test::kCeiling);
            QVERIFY(marked(0) && marked(4) && !marked(5) && marked(13) && marked(18) && !marked(8));
            e.editor.SendScintilla(Sci::SCI_GOTOPOS, 11UL); // in </p>
            QTRY_COMPARE_WITH_TIMEOUT(e.help->matchedRanges(), (QList<qint64>{5, 8, 9, 13}), test::kCeiling);
            QVERIFY(!marked(0) && marked(5) && marked(12));
            e.editor.SendScintilla(Sci::SCI_GOTOPOS, 8UL); // in the text
            QTRY_VERIFY_WITH_TIMEOUT(e.help->matchedRanges().isEmpty(), test::kCeiling);
            QVERIFY(!marked(5) && !marked(12));
            e.editor.SendScintilla(Sci::SCI_GOTOPOS, 2UL);
            QTRY_VERIFY_WITH_TIMEOUT(!e.help->matchedRanges().isEmpty(), test::kCeiling);
            e.editor.loadBytes("<div><p>x</p></div>"); // the same places in a new text
            e.editor.SendScintilla(Sci::SCI_GOTOPOS, 2UL);
            QTRY_VERIFY_WITH_TIMEOUT(marked(0) && marked(13), test::kCeiling);
            e.help->setMatchingTags(false);
            QVERIFY(e.help->matchedRanges().isEmpty());
            QVERIFY(!marked(0));
        }
    }
};

QTEST_MAIN(TypingHelpTest)
#include "tst_typing_help.moc"
