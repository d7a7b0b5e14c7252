#include "CommandHarness.h"
#include "generators/TableCommand.h"

#include <QTest>

using namespace tw;
using namespace tw::test;

namespace {

const QStringList kPrompts = {
    "Table Cols|Enter the COLS NUMBER for the table:",
    "Table Rows|Enter the ROWS NUMBER for the table:",
    "Table Border Size|Enter the BORDER SIZE for the table:",
};

QStringList promptsOf(const QString &keys)
{
    QStringList out;
    for (const QChar k : keys)
        out << kPrompts.value(k.digitValue() - 1);
    return out;
}

const QString kTwoByOne = "\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER=1>\n"
                          "<TR>\n<TD> edit here... </TD>\n<TD> edit here... </TD>\n</TR>\n"
                          "</TABLE>\n";

} // namespace

class TableCommandTest : public QObject {
    Q_OBJECT
private slots:
    void tableTextLength();
    void commandRuns_data();
    void commandRuns();
    void withoutEditorEveryPromptShowsAndNothingIsWritten();
    void oneUndoStepRestoresTheSelection();
};

void TableCommandTest::tableTextLength()
{
    for (const auto &[c, r] : {std::pair{2, 1}, {3, 2}, {1, 300}, {0, 0}})
        QCOMPARE(tw::tableTextLength(c, r, "12"), qint64(tableText(c, r, "12").size()));
    QVERIFY(tw::tableTextLength(32767, 32767, "") > kMaxTableTextLength);
}

void TableCommandTest::commandRuns_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("prompts");
    QTest::addColumn<QString>("after");

    QTest::newRow("worked example replaces selection")
        << QStringList{"2", "1", "1"} << "a[old]b" << "123" << "a" + kTwoByOne + "b";
    QTest::newRow("cols cancelled") << QStringList{""} << "[x]" << "1" << "x";
    QTest::newRow("rows cancelled") << QStringList{"2", ""} << "" << "12" << "";
    QTest::newRow("letters re-asked, empty on a re-ask ends")
        << QStringList{"two", "\u0434\u0432\u0430", ""} << "" << "111" << "";
    QTest::newRow("letters re-asked then digits")
        << QStringList{"2x", "2", "1", "b", "1"} << "" << "11233" << kTwoByOne;
    const QString row = "<TR>\n" + QString("<TD> edit here... </TD>\n").repeated(3) + "</TR>\n";
    QTest::newRow("three by two, empty border")
        << QStringList{"3", "2", ""} << "" << "123"
        << "\n<TABLE  CELLSPACING=1  CELLPADDING=2 BORDER=>\n" + row + row + "</TABLE>\n";
    QTest::newRow("half goes to even") << QStringList{"2.5", "0.6", "1"} << "" << "123" << kTwoByOne;
    QTest::newRow("three point five gives four")
        << QStringList{"3.5", "1", ""} << "" << "123" << tableText(4, 1, "");
    QTest::newRow("border taken as typed") << QStringList{"1", "1", " -2.5 "} << "" << "123"
                                           << tableText(1, 1, " -2.5 ");
    // Counts that name no table end the command after the three prompts.
    for (const char *bad : {"0", ".", "0.4", "-1", "-32768", "99999", "32767.5"}) {
        QTest::addRow("cols %s", bad) << QStringList{bad, "2", "1"} << "[s]" << "123" << "s";
        QTest::addRow("rows %s", bad) << QStringList{"2", bad, "1"} << "[s]" << "123" << "s";
    }
    QTest::newRow("too large to hold") << QStringList{"32767", "32767", "1"} << "[s]" << "123" << "s";
}

void TableCommandTest::commandRuns()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, before);
    QFETCH(QString, prompts);
    QFETCH(QString, after);

    const CommandRun run = runCommand(CmdTable_Click, answers, before);
    QVERIFY(!run.ranOut);
    QCOMPARE(run.prompts, promptsOf(prompts));
    QCOMPARE(run.text, after);
}

void TableCommandTest::withoutEditorEveryPromptShowsAndNothingIsWritten()
{
    const CommandRun run = runCommand(CmdTable_Click, {"3", "2", "1"}, "[x]", nullptr, true);
    QVERIFY(!run.ranOut);
    QCOMPARE(run.prompts, kPrompts);
    QCOMPARE(run.text, QStringLiteral("x"));
}

void TableCommandTest::oneUndoStepRestoresTheSelection()
{
    SourceEditor editor;
    runCommand(CmdTable_Click, {"3", "4", "0"}, "<BODY>[chosen]</BODY>", &editor);
    QCOMPARE(editor.textExact(), "<BODY>" + tableText(3, 4, "0") + "</BODY>");
    editor.undo();
    QCOMPARE(editor.textExact(), QStringLiteral("<BODY>chosen</BODY>"));
    QVERIFY(!editor.isUndoAvailable());
}

QTEST_MAIN(TableCommandTest)
#include "tst_tablecommand.moc"
