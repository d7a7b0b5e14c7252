#include "DataRows.h"
#include "TestFiles.h"
#include "CommandHarness.h"
#include "rollover/RolloverCommands.h"

#include <QLineEdit>

using namespace tw;
using namespace tw::test;

namespace {

// The script command, reading kF1 and kF2 beside the program; line breaks are kept as they are.
void picFlip(Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e); }
const QString kF1 = "<SCRIPT>\r\nF1";
const QString kF2 = "F2\n</SCRIPT>\n";

// The count prompt, then the mouse-over and mouse-not-over prompt of each animation.
QStringList flipPrompts(int count)
{
    QStringList out{"Animation Number|How many ANIMATION do you want in your HTML ?"};
    for (const char *state : {"Picture Name Mouse Over|MOUSE OVER", "Picture Name Mouse Not Over|MOUSE NOT OVER"})
        for (int n = 1; n <= count; ++n)
            out << QString::fromLatin1(state) + " : Input the PICTURE NAME " + QString::number(n);
    return out;
}

QStringList picPrompts(const QString &number)
{
    return {"Picture Number|Enter the NUMBER of the ANIMATION you want to insert :",
            "Links|Enter the URL of the picture's link :",
            "Mouse Not Over Picture Name|Enter the MOUSE NOT OVER PICTURE NAME for the ANIMATION " + number,
            "Tip Text|Enter the TIP TEXT for the ANIMATION " + number};
}

} // namespace

class RolloverTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const auto &[name, text] : {std::pair{"PicFlip1.txt", kF1}, {"PicFlip2.txt", kF2}}) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.size());
        }
        tw::test::startIn(m_dir.path());
    }

    void commandRuns_data()
    {
        QTest::addColumn<bool>("flip"); // the script command, else Insert Pic
        tw::test::columns<QStringList, QString, QStringList, QString>("answers", "before", "prompts", "after");

        QTest::newRow("flip: two animations, selection replaced")
            << true << QStringList{"2", "a", "b", "c", "d"} << "x[sel]y" << flipPrompts(2)
            << "x\n\n" + kF1 + "\n    Pic1on = new Image;\n    Pic1on.src =\"a\";\n    Pic2on = new Image;\n"
                   "    Pic2on.src =\"b\";\n\n    Pic1off = new Image;\n    Pic1off.src =\"c\";\n"
                   "    Pic2off = new Image;\n    Pic2off.src =\"d\";\n\n" + kF2 + "\ny";
        QTest::newRow("flip: count cancelled") << true << QStringList{""} << "[s]" << flipPrompts(0) << "s";
        QTest::newRow("flip: count with letters re-asked, empty names re-asked")
            << true << QStringList{"two", "1", "", "", "on.gif", "", "off.gif"} << ""
            << promptsOf(flipPrompts(1), "1122233") << "\n\n" + kF1 + "\n    Pic1on = new Image;\n    Pic1on.src =\"on.gif\";\n\n    Pic1off = new Image;\n"
                   "    Pic1off.src =\"off.gif\";\n\n" + kF2 + "\n";
        // A quote or backslash cannot end the script's string, nor a line break
        // split it; everything else is kept as typed.
        QTest::newRow("flip: half goes to even, names kept, strings whole")
            << true << QStringList{"2.5", "my pic.gif", "\"q\".gif", "<c>\\\r\n", "d&e"} << "" << flipPrompts(2)
            << "\n\n" + kF1 + "\n    Pic1on = new Image;\n    Pic1on.src =\"my pic.gif\";\n    Pic2on = new Image;\n"
                   "    Pic2on.src =\"\\\"q\\\".gif\";\n\n    Pic1off = new Image;\n    Pic1off.src =\"<c>\\\\%0D%0A\";\n"
                   "    Pic2off = new Image;\n    Pic2off.src =\"d&e\";\n\n" + kF2 + "\n";
        // A count below 1 would never end its questions: nothing more is asked.
        for (const char *bad : {"0", ".", "0.5", "-1", "-32768", "32768", "99999"})
            QTest::addRow("flip: count %s", bad) << true << QStringList{bad} << "[s]" << flipPrompts(0) << "s";

        QTest::newRow("pic: worked example replaces selection")
            << false << QStringList{"1", "next.htm", "b.gif", "Next"} << "<TABLE>[x]</TABLE>" << picPrompts("1")
            << "<TABLE>\n<TR>\n<TD><A HREF=\"next.htm\" onMouseOver=\"img_act('Pic1')\" "
               "onMouseOut=\"img_inact('Pic1')\" onClick=\"shut=false\"><IMG SRC=\"b.gif\" NAME=\"Pic1\" "
               "ALT=\"Next\"  BORDER=0 ALIGN=TEXTTOP></A>&nbsp;</TD>\n</TR>\n</TABLE>";
        QTest::newRow("pic: number cancelled") << false << QStringList{""} << "[s]" << picPrompts("").first(1) << "s";
        QTest::newRow("pic: letters re-asked, leading blank kept in prompts, picture re-asked")
            << false << QStringList{"x", " 2", "", "", "", "p.gif", ""} << ""
            << promptsOf(picPrompts(" 2"), "1123334") << "\n<TR>\n<TD><A HREF=\"\" onMouseOver=\"img_act('Pic2')\" onMouseOut=\"img_inact('Pic2')\" "
               "onClick=\"shut=false\"><IMG SRC=\"p.gif\" NAME=\"Pic2\" ALT=\"\"  BORDER=0 ALIGN=TEXTTOP></A>&nbsp;</TD>\n</TR>\n";
        QTest::newRow("pic: number read but neither rounded nor limited")
            << false << QStringList{"-70000.5", "", "p", ""} << "" << picPrompts("-70000.5")
            << "\n<TR>\n<TD><A HREF=\"\" onMouseOver=\"img_act('Pic-70000.5')\" onMouseOut=\"img_inact('Pic-70000.5')\" "
               "onClick=\"shut=false\"><IMG SRC=\"p\" NAME=\"Pic-70000.5\" ALT=\"\"  BORDER=0 ALIGN=TEXTTOP></A>&nbsp;</TD>\n</TR>\n";
        QTest::newRow("pic: picture name and link cannot break the tag")
            << false << QStringList{"1", "a\n.htm", "b\".gif\r", "t\"\n"} << "" << picPrompts("1")
            << "\n<TR>\n<TD><A HREF=\"a%0A.htm\" onMouseOver=\"img_act('Pic1')\" onMouseOut=\"img_inact('Pic1')\" "
               "onClick=\"shut=false\"><IMG SRC=\"b&quot;.gif%0D\" NAME=\"Pic1\" ALT=\"t&quot;\n\"  BORDER=0 ALIGN=TEXTTOP></A>&nbsp;</TD>\n</TR>\n";
        QTest::newRow("pic: answers kept but for quotes")
            << false << QStringList{"03", "a.htm?x=1&y=\"2\"", "<p>.gif", "It's"} << "" << picPrompts("03")
            << "\n<TR>\n<TD><A HREF=\"a.htm?x=1&y=&quot;2&quot;\" onMouseOver=\"img_act('Pic3')\" onMouseOut=\"img_inact('Pic3')\" "
               "onClick=\"shut=false\"><IMG SRC=\"<p>.gif\" NAME=\"Pic3\" ALT=\"It's\"  BORDER=0 ALIGN=TEXTTOP></A>&nbsp;</TD>\n</TR>\n";
    }
    void commandRuns()
    {
        auto [flip, answers, before, prompts, after] = tw::test::fetch<bool, QStringList, QString, QStringList, QString>(
            "flip", "answers", "before", "prompts", "after");

        const CommandRun run = runCommand(flip ? picFlip : CmdInsertPic_Click, answers, before);
        QVERIFY(!run.ranOut);
        QCOMPARE(run.prompts, prompts);
        QCOMPARE(run.text, after);
    }

    void picFlipWithMissingFragments()
    {
        // Missing fragments read as empty; the lines appear as the names come in,
        // so a script running out at the second name leaves the first one's lines.
        const QString missing = m_dir.filePath("missing.txt");
        const auto command = [&](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, missing, missing); };
        const CommandRun run = runCommand(command, {"2", "a"});
        QVERIFY(run.ranOut);
        QCOMPARE(run.text, QStringLiteral("\n\n\n    Pic1on = new Image;\n    Pic1on.src =\"a\";\n"));
        QCOMPARE(runCommand(command, {"1", "x", "y"}).text,
                 QStringLiteral("\n\n\n    Pic1on = new Image;\n    Pic1on.src =\"x\";\n\n"
                                "    Pic1off = new Image;\n    Pic1off.src =\"y\";\n\n\n"));

        // Once the script is in place, a warning names each fragment left out and why.
        SourceEditor editor;
        ActiveEditor active([&] { return static_cast<QWidget *>(&editor); });
        for (const QString &second : {m_dir.filePath("PicFlip2.txt"), missing}) {
            ScriptedDialogs dialogs;
            dialogs.answers({"1", "x", "y"}).acknowledge();
            CmdPicFlip_Click(dialogs, active, missing, second);
            QCOMPARE(dialogs.remaining(), 0);
            const Shown warning = dialogs.shown.last();
            QCOMPARE(warning.title, QStringLiteral("Pic Flip"));
            const QString reason = "Cannot open \"" + missing + "\": there is no such file.";
            QCOMPARE(warning.text, "The picture-flip script was inserted without its functions.\n\n" + reason
                                       + (second == missing ? "\n" + reason : QString()));
        }
        QVERIFY(editor.textExact().contains(QStringLiteral("Pic1off.src =\"y\";\n\nF2\n</SCRIPT>\n")));
    }

    void oneUndoStepAndNothingWrittenWithoutEditor()
    {
        checkUndoStepAndNoEditor(picFlip, {"3", "a", "b", "c", "d", "e", "f"});
        QVERIFY2(!QTest::currentTestFailed(), "pic flip");
        checkUndoStepAndNoEditor(CmdInsertPic_Click, {"4", "", "p", ""});
    }

    void focus()
    {
        // The script command gives the focus back to the editor; Insert Pic leaves it where it is.
        QWidget window;
        auto *other = new QLineEdit(&window);
        auto *editor = new SourceEditor(&window);
        other->setFocus();
        runCommand(CmdInsertPic_Click, {"1", "", "p", ""}, "", editor);
        QCOMPARE(window.focusWidget(), other);
        runCommand(picFlip, {"1", "a", "b"}, "", editor);
        QCOMPARE(window.focusWidget(), editor);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(RolloverTest)
#include "tst_rollover.moc"
