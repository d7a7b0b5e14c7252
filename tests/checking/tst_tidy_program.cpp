#include "Ceiling.h"
#include "DataRows.h"
#include "GeneratedPage.h"
#include "checking/TidyCheck.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace tw::checking;

// The messages of a check are the tidy program's: for the same bytes and
// options, `tidy -q -e` prints exactly the errors and warnings in the same
// order, and `tidy -e` prints the notes among them too.
class TidyProgramTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameAsProgram_data();
    void sameAsProgram();
    void helpListsTheOptions();

private:
    QStringList runTidy(const QByteArray &bytes, Input input, bool quiet);
    QString m_tidy;
    QTemporaryDir m_dir;
};

namespace {

QString line(const CheckMessage &m)
{
    const QString text = kindName(m.kind) + QStringLiteral(": ") + m.text;
    return m.line > 0 ? QStringLiteral("line %1 column %2 - ").arg(m.line).arg(m.column) + text : text;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

void TidyProgramTest::initTestCase()
{
    m_tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (m_tidy.isEmpty())
        QSKIP("the tidy program is not installed");
    QFile config(m_dir.filePath(QStringLiteral("check.cfg")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    for (const auto &[name, value] : checkOptions())
        config.write(QByteArray(name) + ": " + value + "\n");
}

QStringList TidyProgramTest::runTidy(const QByteArray &bytes, Input input, bool quiet)
{
    const QString page = m_dir.filePath(QStringLiteral("page.htm"));
    QFile f(page);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return {QStringLiteral("cannot write the page")};
    f.close();
    QStringList args{QStringLiteral("-e"), QStringLiteral("-config"), m_dir.filePath(QStringLiteral("check.cfg")),
                     QStringLiteral("--input-encoding"),
                     input == Input::Windows1252 ? QStringLiteral("win1252") : QStringLiteral("utf8")};
    if (quiet)
        args.prepend(QStringLiteral("-q"));
    QProcess tidy;
    tidy.start(m_tidy, args << page);
    if (!tidy.waitForFinished(tw::test::kCeiling))
        return {QStringLiteral("tidy did not finish")};
    QStringList lines = QString::fromUtf8(tidy.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Even with -q a page with errors ends with this advice about tidy's own
    // output, which a check never makes.
    lines.removeAll(QStringLiteral("This document has errors that must be fixed before"));
    lines.removeAll(QStringLiteral("using HTML Tidy to generate a tidied up version."));
    if (!quiet) {
        // Without -q tidy adds a summary and notes; its messages are the lines
        // that look like messages.
        static const QRegularExpression message(
            QStringLiteral("^(line \\d+ column \\d+ - )?(Info|Warning|Error|Access|Config|Document|Panic): "));
        lines = lines.filter(message);
    }
    return lines;
}

void TidyProgramTest::sameAsProgram_data()
{
    tw::test::columns<QByteArray, bool>("bytes", "legacy");
    const QString data = qEnvironmentVariable("TW_TEST_DATA_DIR");
    for (const char *name : {"sample.htm", "help.htm", "Template.html"})
        QTest::newRow(name) << readFile(data + QLatin1Char('/') + QLatin1String(name)) << false;
    QTest::newRow("generated page") << tw::test::generatedPage().toUtf8() << false;
    const QDir pages(QStringLiteral(TW_CHECK_PAGES));
    for (const QString &name : pages.entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << readFile(pages.filePath(name)) << false;
    // Windows-1252 bytes: curly quotes, an e acute, an undefined byte, a tab.
    QTest::newRow("windows-1252") << QByteArray("<html><head><title>Caf\xe9</title></head><body>\n"
                                                "<p>\x93quoted\x94 \x81 caf\xe9\t<img src=a.gif>\n"
                                                "<p>\x80 5 <b>bold\r\n</body></html>\n")
                                  << true;
    QTest::newRow("windows-1252 as UTF-8") << QByteArray("<title>x</title><p>\x93quoted\x94 <img src=a>\n") << false;
}

void TidyProgramTest::sameAsProgram()
{
    auto [bytes, legacy] = tw::test::fetch<QByteArray, bool>("bytes", "legacy");
    const Input input = legacy ? Input::Windows1252 : Input::Utf8;
    const QList<CheckMessage> messages = tidyMessages(bytes.constData(), bytes.size(), input);
    QStringList all;
    QStringList reported;
    for (const CheckMessage &m : messages) {
        all << line(m);
        if (m.kind != Kind::Info)
            reported << line(m);
    }
    QCOMPARE(reported, runTidy(bytes, input, true));
    QCOMPARE(all, runTidy(bytes, input, false));
}

// A person can see the options of a check on the help page.
void TidyProgramTest::helpListsTheOptions()
{
    const QString help = QString::fromUtf8(readFile(qEnvironmentVariable("TW_TEST_DATA_DIR") + "/help.htm"));
    int rows = 0;
    for (const auto &[name, value] : checkOptions()) {
        const QString row = QStringLiteral("<TR><TD>%1</TD><TD>%2</TD>").arg(QLatin1String(name), QLatin1String(value));
        QVERIFY2(help.contains(row), qPrintable(row));
        ++rows;
    }
    QCOMPARE(help.count(QStringLiteral("<TR><TD>")) >= rows, true);
}

QTEST_MAIN(TidyProgramTest)
#include "tst_tidy_program.moc"
