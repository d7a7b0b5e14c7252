#include "CommandHarness.h"
#include "generators/FormCommands.h"

#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {

using Command = void (*)(Dialogs &, ActiveEditor &);

struct FormCommand {
    Command run;
    QStringList prompts; // "title|text", in the order asked; key '1' is the first
};

const QHash<QString, FormCommand> &commands()
{
    static const QHash<QString, FormCommand> table = {
        {"form", {CmdForm_Click,
                  {"Form Action|Enter the ACTION for the form :",
                   "Form Method|Enter the METHOD for the form (POST or GET):"}}},
        {"checkbox", {CmdCheckBox_Click,
                      {"CheckBox Name|Enter the NAME for the checkbox :",
                       "CheckBox Value|Enter the VALUE for the checkbox :",
                       "CheckBox Caption|Enter the CAPTION for the checkbox :"}}},
        {"radio", {CmdRadio_Click,
                   {"Radio Name|Enter the NAME for the radio :",
                    "Radio Value|Enter the VALUE for the radio :",
                    "Radio Caption|Enter the CAPTION for the radio :"}}},
        {"reset", {CmdReset_Click,
                   {"Reset Button Name|Enter the NAME for the reset button :",
                    "Reset Button Value|Enter the VALUE for the reset button :"}}},
        {"submit", {CmdSubmit_Click,
                    {"Submit Button Name|Enter the NAME for the submit button :",
                     "Submit Button Value|Enter the VALUE for the submit button :"}}},
        {"text", {CmdText_Click,
                  {"Text Name|Enter the NAME for the text:",
                   "Text Value|Enter the VALUE for the text :",
                   "Text Max Length|Enter the MAX LENGTH for the text :",
                   "Text Size|Enter the SIZE for the text :"}}},
        {"textarea", {TextArea_Click,
                      {"Text Area Name|Enter the NAME for the text area :",
                       "Text Area Cols|Enter the COLS NUMBER for the text area :",
                       "Text Area Rows|Enter the ROWS NUMBER for the text area :"}}},
    };
    return table;
}

QStringList promptsOf(const QString &command, const QString &keys)
{
    QStringList out;
    for (const QChar k : keys)
        out << commands().value(command).prompts.value(k.digitValue() - 1);
    return out;
}

} // namespace

class FormCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commandRuns_data();
    void commandRuns();
    void withoutEditorEveryPromptShowsAndNothingIsWritten();
    void oneUndoStepRestoresTheSelection();
};

void FormCommandsTest::commandRuns_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("before"); // [..] marks the selection
    QTest::addColumn<QString>("prompts"); // keys into the command's prompt list
    QTest::addColumn<QString>("after");

    const QString form = "\n<FORM ACTION=\"go.cgi\" METHOD=\"GET\">\n\n</FORM>\n";
    QTest::newRow("form cancelled at action") << "form" << QStringList{""} << "x[y]" << "1" << "xy";
    QTest::newRow("form method asked until valid, case kept")
        << "form" << QStringList{"go.cgi", "", "GET ", "put", "GET"} << "a[sel]b" << "12222"
        << "a" + form + "b";
    QTest::newRow("form method cancelled for good keeps asking")
        << "form" << QStringList{"go.cgi", "", ""} << "" << "1222" << "";

    QTest::newRow("checkbox cancelled at name") << "checkbox" << QStringList{""} << "[w]" << "1" << "w";
    QTest::newRow("checkbox keeps selection as caption")
        << "checkbox" << QStringList{"c", "1"} << "<P>[word]</P>" << "12"
        << "<P><INPUT TYPE=\"CHECKBOX\" NAME=\"c\" VALUE=\"1\">word</P>";
    QTest::newRow("checkbox caption cancelled, value empty")
        << "checkbox" << QStringList{"c", "", ""} << "" << "123"
        << "<INPUT TYPE=\"CHECKBOX\" NAME=\"c\" VALUE=\"\">";
    QTest::newRow("radio asks caption, markup verbatim")
        << "radio" << QStringList{"r\"q", "<v>", "Yes & no"} << "" << "123"
        << "<INPUT TYPE=\"RADIO\" NAME=\"r\"q\" VALUE=\"<v>\">Yes & no";

    QTest::newRow("reset cancelled at name") << "reset" << QStringList{""} << "" << "1" << "";
    QTest::newRow("reset replaces selection") << "reset" << QStringList{"r", ""} << "[old]" << "12"
                                               << "<INPUT TYPE=\"RESET\" NAME=\"r\" VALUE=\"\">";
    QTest::newRow("submit") << "submit" << QStringList{"s", "Send"} << "" << "12"
                            << "<INPUT TYPE=\"SUBMIT\" NAME=\"s\" VALUE=\"Send\">";

    QTest::newRow("text cancelled at name") << "text" << QStringList{""} << "" << "1" << "";
    QTest::newRow("text numbers re-asked while holding letters")
        << "text" << QStringList{"t", "v", "ten", "10", "\u03b1", "-5"} << "[s]" << "123344"
        << "<INPUT TYPE=\"TEXT\" NAME=\"t\" VALUE=\"v\" SIZE=-5 MAXLENGTH=10>";
    QTest::newRow("text all but the name cancelled")
        << "text" << QStringList{"t", "", "", ""} << "" << "1234"
        << "<INPUT TYPE=\"TEXT\" NAME=\"t\" VALUE=\"\" SIZE= MAXLENGTH=>";

    QTest::newRow("textarea cancelled at name") << "textarea" << QStringList{""} << "" << "1" << "";
    QTest::newRow("textarea rows with a word re-asked, negative passes")
        << "textarea" << QStringList{"memo", "40", "5 rows", "-5"} << "" << "1233"
        << "<TEXTAREA NAME=memo ROWS=-5 COLS=40>\n edit here...\n</TEXTAREA>\n";
    QTest::newRow("textarea counts cancelled") << "textarea" << QStringList{"m", "", ""} << "" << "123"
                                                << "<TEXTAREA NAME=m ROWS= COLS=>\n edit here...\n</TEXTAREA>\n";
}

void FormCommandsTest::commandRuns()
{
    QFETCH(QString, command);
    QFETCH(QStringList, answers);
    QFETCH(QString, before);
    QFETCH(QString, prompts);
    QFETCH(QString, after);

    const CommandRun run = runCommand(commands().value(command).run, answers, before);
    QCOMPARE(run.prompts, promptsOf(command, prompts));
    QCOMPARE(run.text, after);
    QCOMPARE(run.ranOut, prompts.size() > answers.size());
}

void FormCommandsTest::withoutEditorEveryPromptShowsAndNothingIsWritten()
{
    // Nothing can be selected, so check box and radio ask for the caption.
    const QList<std::pair<QString, QStringList>> cases = {
        {"form", {"a", "post"}},   {"checkbox", {"n", "v", "c"}}, {"radio", {"n", "v", "c"}},
        {"reset", {"n", "v"}},     {"submit", {"n", "v"}},        {"text", {"n", "v", "1", "2"}},
        {"textarea", {"n", "1", "2"}},
    };
    for (const auto &[command, answers] : cases) {
        const CommandRun run = runCommand(commands().value(command).run, answers, "[x]", nullptr, true);
        QVERIFY2(!run.ranOut, qPrintable(command));
        QCOMPARE(run.prompts, commands().value(command).prompts);
        QCOMPARE(run.text, QStringLiteral("x"));
    }
}

void FormCommandsTest::oneUndoStepRestoresTheSelection()
{
    SourceEditor editor;
    runCommand(CmdForm_Click, {"a", "post"}, "<BODY>[chosen]</BODY>", &editor);
    QVERIFY(editor.textExact().contains("</FORM>"));
    editor.undo();
    QCOMPARE(editor.textExact(), QStringLiteral("<BODY>chosen</BODY>"));
    QVERIFY(!editor.isUndoAvailable());
}

QTEST_MAIN(FormCommandsTest)
#include "tst_formcommands.moc"
