#include "CommandHarness.h"
#include "platform/AppPaths.h"
#include "rollover/RolloverCommands.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace tw;
using namespace tw::test;

namespace {

const QString kCount = "Animation Number|How many ANIMATION do you want in your HTML ?";
QString over(int n) { return "Picture Name Mouse Over|MOUSE OVER : Input the PICTURE NAME " + QString::number(n); }
QString notOver(int n)
{
    return "Picture Name Mouse Not Over|MOUSE NOT OVER : Input the PICTURE NAME " + QString::number(n);
}
const QString kNumber = "Picture Number|Enter the NUMBER of the ANIMATION you want to insert :";
const QString kLink = "Links|Enter the URL of the picture's link :";
QString picture(const QString &number)
{
    return "Mouse Not Over Picture Name|Enter the MOUSE NOT OVER PICTURE NAME for the ANIMATION " + number;
}
QString tip(const QString &number) { return "Tip Text|Enter the TIP TEXT for the ANIMATION " + number; }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class RolloverTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void texts();
    void picFlipRuns_data();
    void picFlipRuns();
    void picFlipWithMissingFragmentsWritesAsTheNamesComeIn();
    void picFlipReadsFragmentsBesideTheProgram();
    void insertPicRuns_data();
    void insertPicRuns();
    void withoutEditorEveryPromptShowsAndNothingIsWritten();
    void oneUndoStepEach();
    void focus();

private:
    QTemporaryDir m_dir;
    QString m_f1, m_f2;
};

void RolloverTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_f1 = m_dir.filePath("one.txt");
    m_f2 = m_dir.filePath("two.txt");
    writeFile(m_f1, "<SCRIPT>\r\nF1"); // line breaks are kept as they are
    writeFile(m_f2, "F2\n</SCRIPT>\n");
}

void RolloverTest::texts()
{
    QCOMPARE(picFlipText("F1", "F2", {"a", "b"}, {"c", "d"}),
             QStringLiteral("\n\nF1\n"
                            "    Pic1on = new Image;\n    Pic1on.src =\"a\";\n"
                            "    Pic2on = new Image;\n    Pic2on.src =\"b\";\n"
                            "\n"
                            "    Pic1off = new Image;\n    Pic1off.src =\"c\";\n"
                            "    Pic2off = new Image;\n    Pic2off.src =\"d\";\n"
                            "\nF2\n"));

    QCOMPARE(animatedPictureText("Pic1", "next.htm", "b.gif", "Next"),
             QStringLiteral("\n<TR>\n<TD><A HREF=\"next.htm\" onMouseOver=\"img_act('Pic1')\" "
                            "onMouseOut=\"img_inact('Pic1')\" onClick=\"shut=false\">"
                            "<IMG SRC=\"b.gif\" NAME=\"Pic1\" ALT=\"Next\"  BORDER=0 ALIGN=TEXTTOP>"
                            "</A>&nbsp;</TD>\n</TR>\n"));
    const QList<std::pair<QString, QString>> names = {
        {" 2", "Pic2"}, {"03", "Pic3"}, {"-1", "Pic-1"}, {"2.5", "Pic2.5"}, {"-", "Pic0"}, {"70000", "Pic70000"}};
    for (const auto &[answer, name] : names)
        QCOMPARE(animatedPictureName(answer), name);
}

void RolloverTest::picFlipRuns_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QString>("after");

    const QString f1 = "<SCRIPT>\r\nF1";
    const QString f2 = "F2\n</SCRIPT>\n";
    QTest::newRow("two animations, selection replaced")
        << QStringList{"2", "a", "b", "c", "d"} << "x[sel]y"
        << QStringList{kCount, over(1), over(2), notOver(1), notOver(2)}
        << "x" + picFlipText(f1, f2, {"a", "b"}, {"c", "d"}) + "y";
    QTest::newRow("count cancelled") << QStringList{""} << "[s]" << QStringList{kCount} << "s";
    QTest::newRow("count with letters re-asked, then one")
        << QStringList{"two", "1", "", "", "on.gif", "", "off.gif"} << ""
        << QStringList{kCount, kCount, over(1), over(1), over(1), notOver(1), notOver(1)}
        << picFlipText(f1, f2, {"on.gif"}, {"off.gif"});
    QTest::newRow("half goes to even, names verbatim")
        << QStringList{"2.5", "my pic.gif", "\"q\".gif", "<c>", "d&e"} << ""
        << QStringList{kCount, over(1), over(2), notOver(1), notOver(2)}
        << picFlipText(f1, f2, {"my pic.gif", "\"q\".gif"}, {"<c>", "d&e"});
    // A count below 1 would never end its questions: nothing more is asked.
    for (const char *bad : {"0", ".", "0.5", "-1", "-32768", "32768", "99999"})
        QTest::addRow("count %s", bad) << QStringList{bad} << "[s]" << QStringList{kCount} << "s";
}

void RolloverTest::picFlipRuns()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, before);
    QFETCH(QStringList, prompts);
    QFETCH(QString, after);

    const auto command = [this](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, m_f1, m_f2); };
    const CommandRun run = runCommand(command, answers, before);
    QVERIFY(!run.ranOut);
    QCOMPARE(run.prompts, prompts);
    QCOMPARE(run.text, after);
}

void RolloverTest::picFlipWithMissingFragmentsWritesAsTheNamesComeIn()
{
    const QString missing = m_dir.filePath("missing.txt");
    const auto command = [&](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, missing, missing); };
    // The script runs out at the second name: the first one's lines are in.
    CommandRun run = runCommand(command, {"2", "a"});
    QVERIFY(run.ranOut);
    QCOMPARE(run.text, QStringLiteral("\n\n\n    Pic1on = new Image;\n    Pic1on.src =\"a\";\n"));
    run = runCommand(command, {"1", "x", "y"});
    QCOMPARE(run.text, QStringLiteral("\n\n\n    Pic1on = new Image;\n    Pic1on.src =\"x\";\n\n"
                                      "    Pic1off = new Image;\n    Pic1off.src =\"y\";\n\n\n"));
}

void RolloverTest::picFlipReadsFragmentsBesideTheProgram()
{
    QTemporaryDir start;
    writeFile(start.filePath("PicFlip1.txt"), "ONE");
    writeFile(start.filePath("PicFlip2.txt"), "TWO");
    setStartDir(start.path());
    const CommandRun run = runCommand(
        [](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e); }, {"1", "a", "b"});
    QCOMPARE(run.text, picFlipText("ONE", "TWO", {"a"}, {"b"}));
}

void RolloverTest::insertPicRuns_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QString>("after");

    QTest::newRow("worked example replaces selection")
        << QStringList{"1", "next.htm", "b.gif", "Next"} << "<TABLE>[x]</TABLE>"
        << QStringList{kNumber, kLink, picture("1"), tip("1")}
        << "<TABLE>" + animatedPictureText("Pic1", "next.htm", "b.gif", "Next") + "</TABLE>";
    QTest::newRow("number cancelled") << QStringList{""} << "[s]" << QStringList{kNumber} << "s";
    QTest::newRow("letters re-asked, leading blank kept in prompts, picture re-asked")
        << QStringList{"x", " 2", "", "", "", "p.gif", ""} << ""
        << QStringList{kNumber, kNumber, kLink, picture(" 2"), picture(" 2"), picture(" 2"), tip(" 2")}
        << animatedPictureText("Pic2", "", "p.gif", "");
    QTest::newRow("answers verbatim") << QStringList{"03", "a.htm?x=1&y=\"2\"", "<p>.gif", "It's"} << ""
                                      << QStringList{kNumber, kLink, picture("03"), tip("03")}
                                      << animatedPictureText("Pic3", "a.htm?x=1&y=\"2\"", "<p>.gif", "It's");
}

void RolloverTest::insertPicRuns()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, before);
    QFETCH(QStringList, prompts);
    QFETCH(QString, after);

    const CommandRun run = runCommand(CmdInsertPic_Click, answers, before);
    QVERIFY(!run.ranOut);
    QCOMPARE(run.prompts, prompts);
    QCOMPARE(run.text, after);
}

void RolloverTest::withoutEditorEveryPromptShowsAndNothingIsWritten()
{
    CommandRun run = runCommand([this](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, m_f1, m_f2); },
                                {"2", "a", "b", "c", "d"}, "[x]", nullptr, true);
    QVERIFY(!run.ranOut);
    QCOMPARE(run.prompts, QStringList({kCount, over(1), over(2), notOver(1), notOver(2)}));
    QCOMPARE(run.text, QStringLiteral("x"));
    run = runCommand(CmdInsertPic_Click, {"4", "", "p", ""}, "[x]", nullptr, true);
    QVERIFY(!run.ranOut);
    QCOMPARE(run.prompts, QStringList({kNumber, kLink, picture("4"), tip("4")}));
    QCOMPARE(run.text, QStringLiteral("x"));
}

void RolloverTest::oneUndoStepEach()
{
    SourceEditor editor;
    runCommand([this](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, m_f1, m_f2); },
               {"3", "a", "b", "c", "d", "e", "f"}, "<HEAD>[chosen]</HEAD>", &editor);
    QVERIFY(editor.textExact().contains("Pic3off.src =\"f\";"));
    editor.undo();
    QCOMPARE(editor.textExact(), QStringLiteral("<HEAD>chosen</HEAD>"));
    QVERIFY(!editor.isUndoAvailable());

    runCommand(CmdInsertPic_Click, {"1", "", "p", ""}, "<TABLE>[chosen]</TABLE>", &editor);
    editor.undo();
    QCOMPARE(editor.textExact(), QStringLiteral("<TABLE>chosen</TABLE>"));
    QVERIFY(!editor.isUndoAvailable());
}

void RolloverTest::focus()
{
    QWidget window;
    auto *other = new QLineEdit(&window);
    auto *editor = new SourceEditor(&window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(other);
    layout->addWidget(editor);

    other->setFocus();
    runCommand(CmdInsertPic_Click, {"1", "", "p", ""}, "", editor);
    QCOMPARE(window.focusWidget(), other);
    runCommand([this](Dialogs &d, ActiveEditor &e) { CmdPicFlip_Click(d, e, m_f1, m_f2); },
               {"1", "a", "b"}, "", editor);
    QCOMPARE(window.focusWidget(), editor);
}

QTEST_MAIN(RolloverTest)
#include "tst_rollover.moc"
