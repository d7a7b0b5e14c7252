#include "Ceiling.h"
#include "DataRows.h"
#include "editor/ActiveEditor.h"
#include "editor/SourceEditor.h"
#include "markup/TagCommands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace tw;

namespace {

// The commands by their buttons' control names.
const TagCommand &command(const QString &name)
{
    static const QHash<QString, const TagCommand *> byName = {
        {"CmdBold", &tags::bold},           {"CmdItalic", &tags::italic},
        {"CmdUndeline", &tags::underline},  {"CmdBlockQuote", &tags::blockQuote},
        {"CmdCenter", &tags::center},       {"CmdLeft", &tags::left},
        {"CmdRight", &tags::right},         {"BreakLine", &tags::breakLine},
        {"CmdParagraphe", &tags::paragraph}, {"CmdLine", &tags::line},
        {"CmdOpenProcedure", &tags::openProcedure}, {"CmdCloseProcedure", &tags::closeProcedure},
    };
    Q_ASSERT(byName.contains(name));
    return *byName.value(name);
}

// Selects [from, to) in byte positions of the editor's UTF-8 text.
void select(SourceEditor &editor, long from, long to)
{
    editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(from), to);
}

} // namespace

class TagCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Edge cases of the wrap and replace rules; every command's plain text is
    // checked through its bar button in the frame tests.
    void textOfEveryCommand_data()
    {
        tw::test::columns<QString, QString, QString, bool>("control", "selection", "expected", "writes");
        const QString multi = QStringLiteral("line one\r\nline two\n");
        QTest::newRow("bold") << "CmdBold" << "hello" << "<B>hello</B>" << true;
        QTest::newRow("bold blank") << "CmdBold" << " " << "<B> </B>" << true;
        QTest::newRow("bold again") << "CmdBold" << "<B>x</B>" << "<B><B>x</B></B>" << true;
        QTest::newRow("center lines") << "CmdCenter" << multi << "<CENTER>" + multi + "</CENTER>" << true;
        QTest::newRow("bold nothing") << "CmdBold" << "" << "" << false;
        QTest::newRow("right nothing") << "CmdRight" << "" << "" << false;
    }
    void textOfEveryCommand()
    {
        auto [control, selection, expected, writes] = tw::test::fetch<QString, QString, QString, bool>(
            "control", "selection", "expected", "writes");
        const auto text = tagText(command(control), selection);
        QCOMPARE(text.has_value(), writes);
        if (writes)
            QCOMPARE(*text, expected);
    }

    void wrapsInTheEditorAsOneUndoStepAndKeepsEveryByte()
    {
        SourceEditor editor;
        // A NUL byte and a CR LF inside the selection must survive the wrap.
        const QByteArray original("before [a\0b\r\nc] after", 21);
        editor.loadBytes(original);
        ActiveEditor active([&] { return &editor; });
        select(editor, 8, 14);
        runTagCommand(command("CmdBold"), active);
        QCOMPARE(editor.documentBytes(), QByteArray("before [<B>a\0b\r\nc</B>] after", 28));
        QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 21L);
        QVERIFY(!editor.hasSelectedText());

        editor.undo();
        QCOMPARE(editor.documentBytes(), original);
    }

    void replaceCommandsInsertAtTheCaretOrOverTheSelection()
    {
        SourceEditor editor;
        editor.loadBytes("abc def");
        ActiveEditor active([&] { return &editor; });
        select(editor, 3, 3);
        runTagCommand(command("CmdLine"), active);
        QCOMPARE(editor.documentBytes(), QByteArray("abc<HR>\n def"));
        select(editor, 0, 3);
        runTagCommand(command("CmdParagraphe"), active);
        QCOMPARE(editor.documentBytes(), QByteArray("<P><HR>\n def"));
        // Non-ASCII text before the caret: positions are bytes, text is text.
        editor.loadBytes("\xc3\xa9t\xc3\xa9 ");
        select(editor, 2, 3);
        runTagCommand(command("CmdItalic"), active);
        QCOMPARE(editor.textExact(), QStringLiteral("\u00e9<I>t</I>\u00e9 "));
    }

    void focusGoesBackOnlyWhereTheCommandSaysSo()
    {
        QWidget window;
        auto *editor = new SourceEditor(&window);
        auto *button = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, test::kCeiling));
        ActiveEditor active([&] { return editor; });
        editor->loadBytes("word");

        select(*editor, 0, 4);
        button->setFocus();
        runTagCommand(command("CmdCenter"), active);
        QCOMPARE(editor->textExact(), QStringLiteral("<CENTER>word</CENTER>"));
        QTRY_VERIFY_WITH_TIMEOUT(button->hasFocus(), test::kCeiling);

        select(*editor, 0, 0);
        runTagCommand(command("CmdBold"), active); // nothing selected: nothing at all
        QVERIFY(button->hasFocus());
        QCOMPARE(editor->textExact(), QStringLiteral("<CENTER>word</CENTER>"));

        select(*editor, 8, 12);
        runTagCommand(command("CmdBold"), active);
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
    }

    void worksOnLineEditsAndComboBoxesAndDoesNothingWithoutAControl()
    {
        QLineEdit address(QStringLiteral("http://example.test/page"));
        address.setSelection(7, 12);
        ActiveEditor onLine([&] { return &address; });
        runTagCommand(command("CmdBold"), onLine);
        QCOMPARE(address.text(), QStringLiteral("http://<B>example.test</B>/page"));

        QComboBox box;
        box.setEditable(true);
        box.setEditText(QStringLiteral("abc"));
        box.lineEdit()->setSelection(1, 1);
        ActiveEditor onBox([&] { return &box; });
        runTagCommand(command("CmdItalic"), onBox);
        runTagCommand(command("CmdCloseProcedure"), onBox);
        QCOMPARE(box.currentText(), QStringLiteral("a<I>b</I>>c"));

        ActiveEditor none([] { return nullptr; });
        for (const char *name : {"CmdBold", "CmdLine", "CmdOpenProcedure", "CmdRight"})
            runTagCommand(command(name), none); // must neither crash nor write
        QVERIFY(!none.replaceSelection(QStringLiteral("x")));
        QCOMPARE(none.selectedText(), QString());
    }
};

QTEST_MAIN(TagCommandsTest)
#include "tst_tagcommands.moc"
