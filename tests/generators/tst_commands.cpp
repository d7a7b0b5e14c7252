#include "CommandHarness.h"
#include "DataRows.h"
#include "generators/FormCommands.h"
#include "generators/TableCommand.h"

using namespace tw;
using namespace tw::test;

namespace {

struct Command {
    void (*run)(Dialogs &, ActiveEditor &);
    QStringList answers; // a full set that writes something
    QStringList prompts; // "title|text", in the order asked
};

const QMap<QString, Command> kCommands = {
    {"form", {CmdForm_Click, {"a", "post"}, {"Form Action|Enter the ACTION for the form :",
                                              "Form Method|Enter the METHOD for the form (POST or GET):"}}},
    {"checkbox", {CmdCheckBox_Click, {"n", "v", "c"},
                  {"CheckBox Name|Enter the NAME for the checkbox :",
                   "CheckBox Value|Enter the VALUE for the checkbox :",
                   "CheckBox Caption|Enter the CAPTION for the checkbox :"}}},
    {"radio", {CmdRadio_Click, {"n", "v", "c"},
               {"Radio Name|Enter the NAME for the radio :", "Radio Value|Enter the VALUE for the radio :",
                "Radio Caption|Enter the CAPTION for the radio :"}}},
    {"reset", {CmdReset_Click, {"n", "v"}, {"Reset Button Name|Enter the NAME for the reset button :",
                                            "Reset Button Value|Enter the VALUE for the reset button :"}}},
    {"submit", {CmdSubmit_Click, {"n", "v"}, {"Submit Button Name|Enter the NAME for the submit button :",
                                              "Submit Button Value|Enter the VALUE for the submit button :"}}},
    {"text", {CmdText_Click, {"n", "v", "1", "2"},
              {"Text Name|Enter the NAME for the text:", "Text Value|Enter the VALUE for the text :",
               "Text Max Length|Enter the MAX LENGTH for the text :", "Text Size|Enter the SIZE for the text :"}}},
    {"textarea", {TextArea_Click, {"n", "1", "2"},
                  {"Text Area Name|Enter the NAME for the text area :",
                   "Text Area Cols|Enter the COLS NUMBER for the text area :",
                   "Text Area Rows|Enter the ROWS NUMBER for the text area :"}}},
    {"table", {CmdTable_Click, {"3", "4", "0"},
               {"Table Cols|Enter the COLS NUMBER for the table:", "Table Rows|Enter the ROWS NUMBER for the table:",
                "Table Border Size|Enter the BORDER SIZE for the table:"}}},
};

const QString kTwoByOne = "\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER=1>\n"
                          "<TR>\n<TD> edit here... </TD>\n<TD> edit here... </TD>\n</TR>\n</TABLE>\n";

} // namespace

class GeneratorCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commandRuns_data()
    {
        tw::test::columns<QString, QStringList>("command", "answers");
        QTest::addColumn<QString>("before"); // [..] marks the selection
        QTest::addColumn<QString>("prompts"); // keys into the command's prompt list
        QTest::addColumn<QString>("after");

        for (const QString &command : kCommands.keys())
            QTest::addRow("%s cancelled at the first prompt", qPrintable(command))
                << command << QStringList{""} << "x[y]" << "1" << "xy";
        QTest::newRow("form method asked until valid, case kept")
            << "form" << QStringList{"go.cgi", "", "GET ", "put", "GET"} << "a[sel]b" << "12222"
            << "a\n<FORM ACTION=\"go.cgi\" METHOD=\"GET\">\n\n</FORM>\nb";
        QTest::newRow("form method cancelled for good keeps asking")
            << "form" << QStringList{"go.cgi", "", ""} << "" << "1222" << "";
        QTest::newRow("checkbox keeps selection as caption")
            << "checkbox" << QStringList{"c", "1"} << "<P>[word]</P>" << "12"
            << "<P><INPUT TYPE=\"CHECKBOX\" NAME=\"c\" VALUE=\"1\">word</P>";
        QTest::newRow("checkbox caption cancelled, value empty")
            << "checkbox" << QStringList{"c", "", ""} << "" << "123" << "<INPUT TYPE=\"CHECKBOX\" NAME=\"c\" VALUE=\"\">";
        QTest::newRow("radio asks caption, markup kept but for quotes")
            << "radio" << QStringList{"r\"q", "<v>", "Yes & no"} << "" << "123"
            << "<INPUT TYPE=\"RADIO\" NAME=\"r&quot;q\" VALUE=\"<v>\">Yes & no";
        QTest::newRow("reset replaces selection")
            << "reset" << QStringList{"r", ""} << "[old]" << "12" << "<INPUT TYPE=\"RESET\" NAME=\"r\" VALUE=\"\">";
        QTest::newRow("submit") << "submit" << QStringList{"s", "Send"} << "" << "12"
                                << "<INPUT TYPE=\"SUBMIT\" NAME=\"s\" VALUE=\"Send\">";
        QTest::newRow("text numbers re-asked while holding letters")
            << "text" << QStringList{"t", "v", "ten", "10", "\u03b1", "-5"} << "[s]" << "123344"
            << "<INPUT TYPE=\"TEXT\" NAME=\"t\" VALUE=\"v\" SIZE=-5 MAXLENGTH=10>";
        QTest::newRow("text all but the name cancelled")
            << "text" << QStringList{"t", "", "", ""} << "" << "1234"
            << "<INPUT TYPE=\"TEXT\" NAME=\"t\" VALUE=\"\" SIZE= MAXLENGTH=>";
        QTest::newRow("form action cannot break the tag")
            << "form" << QStringList{"go.cgi?a=\"1\"\n", "post"} << "" << "12"
            << "\n<FORM ACTION=\"go.cgi?a=&quot;1&quot;%0A\" METHOD=\"post\">\n\n</FORM>\n";
        QTest::newRow("text numbers cannot end early")
            << "text" << QStringList{"t", "\"", "1 2", "\">"} << "" << "1234"
            << "<INPUT TYPE=\"TEXT\" NAME=\"t\" VALUE=\"&quot;\" SIZE=\"&quot;>\" MAXLENGTH=\"1 2\">";
        QTest::newRow("textarea name and numbers cannot end early")
            << "textarea" << QStringList{"my memo", "4>", " 5 "} << "" << "123"
            << "<TEXTAREA NAME=\"my memo\" ROWS= 5  COLS=\"4>\">\n edit here...\n</TEXTAREA>\n";
        QTest::newRow("table border cannot end early")
            << "table" << QStringList{"1", "1", "\">"} << "" << "123"
            << "\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER=\"&quot;>\">\n<TR>\n<TD> edit here... </TD>\n</TR>\n</TABLE>\n";
        QTest::newRow("textarea rows with a word re-asked, negative passes")
            << "textarea" << QStringList{"memo", "40", "5 rows", "-5"} << "" << "1233"
            << "<TEXTAREA NAME=memo ROWS=-5 COLS=40>\n edit here...\n</TEXTAREA>\n";

        QTest::newRow("table worked example replaces selection")
            << "table" << QStringList{"2", "1", "1"} << "a[old]b" << "123" << "a" + kTwoByOne + "b";
        QTest::newRow("table rows cancelled") << "table" << QStringList{"2", ""} << "" << "12" << "";
        QTest::newRow("table letters re-asked, empty on a re-ask ends")
            << "table" << QStringList{"two", "\u0434\u0432\u0430", ""} << "" << "111" << "";
        QTest::newRow("table letters re-asked then digits, half goes to even")
            << "table" << QStringList{"2x", "2.5", "0.6", "b", "1"} << "" << "11233" << kTwoByOne;
        const QString row = "<TR>\n" + QString("<TD> edit here... </TD>\n").repeated(3) + "</TR>\n";
        QTest::newRow("table three by two, empty border")
            << "table" << QStringList{"3", "2", ""} << "" << "123"
            << "\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER=>\n" + row + row + "</TABLE>\n";
        QTest::newRow("table border taken as typed")
            << "table" << QStringList{"1", "1", " -2.5 "} << "" << "123"
            << "\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER= -2.5 >\n<TR>\n<TD> edit here... </TD>\n</TR>\n</TABLE>\n";
        // Counts that name no table end the command after the three prompts.
        for (const char *bad : {"0", ".", "0.4", "-1", "-32768", "99999", "32767.5"}) {
            QTest::addRow("table cols %s", bad) << "table" << QStringList{bad, "2", "1"} << "[s]" << "123" << "s";
            QTest::addRow("table rows %s", bad) << "table" << QStringList{"2", bad, "1"} << "[s]" << "123" << "s";
        }
        QTest::newRow("table too large") << "table" << QStringList{"32767", "32767", "1"} << "[s]" << "123" << "s";
    }
    void commandRuns()
    {
        auto [command, answers, before, prompts, after] = tw::test::fetch<QString, QStringList, QString, QString, QString>(
            "command", "answers", "before", "prompts", "after");

        const CommandRun run = runCommand(kCommands[command].run, answers, before);
        QCOMPARE(run.prompts, promptsOf(kCommands[command].prompts, prompts));
        QCOMPARE(run.text, after);
        QCOMPARE(run.ranOut, prompts.size() > answers.size());
    }

    void oneUndoStepAndNothingWrittenWithoutEditor()
    {
        for (const QString &command : kCommands.keys()) {
            checkUndoStepAndNoEditor(kCommands[command].run, kCommands[command].answers);
            QVERIFY2(!QTest::currentTestFailed(), qPrintable(command));
        }
    }
};

QTEST_MAIN(GeneratorCommandsTest)
#include "tst_commands.moc"
