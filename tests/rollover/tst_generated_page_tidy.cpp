#include "Ceiling.h"
#include "GeneratedPage.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace tw::test;

// The generated pieces, placed in the page template where a user would put
// them, must make a page that HTML Tidy reads without errors (exit code 2);
// warnings (exit code 1) are allowed.
class GeneratedPageTidyTest : public QObject {
    Q_OBJECT
private slots:
    void tidyFindsNoErrors();
};

void GeneratedPageTidyTest::tidyFindsNoErrors()
{
    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty())
        QSKIP("tidy is not installed");
    const QString page = generatedPage();
    QVERIFY2(!page.isEmpty(), "Template.html needs HEAD and BODY tags");
    QVERIFY(page.contains("<TEXTAREA NAME=memo") && page.contains("onMouseOver=\"img_act('Pic2')\""));

    QProcess process;
    process.start(tidy, {"-q", "-e"}); // reads the page from standard input
    process.write(page.toUtf8());
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(tw::test::kCeiling));
    const QString report = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(process.exitCode() < 2, qPrintable(report + "\n" + page));
    if (!report.isEmpty())
        qInfo().noquote() << "tidy warnings:\n" << report;
}

QTEST_MAIN(GeneratedPageTidyTest)
#include "tst_generated_page_tidy.moc"
