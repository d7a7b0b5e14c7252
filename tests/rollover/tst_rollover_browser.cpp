#include "Ceiling.h"
#include "GeneratedPage.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace tw::test;

// The generated pieces, placed in the page template where a user would put
// them, make a page that works in a real browser engine and that HTML Tidy
// reads without errors.
class RolloverBrowserTest : public QObject {
    Q_OBJECT
private slots:
    // Tidy's exit code 2 means errors; warnings (1) are allowed.
    void tidyFindsNoErrors()
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
    }

    // Each picture flips on mouse over and back on mouse out, and only that picture.
    void picturesFlipInABrowser()
    {
        const QString html = generatedPage();
        QVERIFY(!html.isEmpty());
        QTemporaryDir dir; // the pictures need not exist: only their names are compared
        QFile file(dir.filePath("page.html"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(html.toUtf8()) > 0);
        file.close();

        QWebEngineView view;
        view.resize(800, 600);
        view.show();
        QSignalSpy loaded(view.page(), &QWebEnginePage::loadFinished);
        view.load(QUrl::fromLocalFile(dir.filePath("page.html")));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, tw::test::kCeiling);
        QVERIFY(loaded.first().first().toBool());

        // Each step's picture names; a click leaves the pictures flipping.
        const QString script = QStringLiteral(R"(
            var log = [];
            function shown(n) { return document.images['Pic' + n].src.replace(/.*\//, ''); }
            function fire(n, type) {
                document.images['Pic' + n].dispatchEvent(new MouseEvent(type, {bubbles: true, cancelable: true}));
                log.push(type + n + ': ' + shown(1) + ' ' + shown(2));
            }
            log.push(shown(1) + ' ' + shown(2));
            fire(1, 'mouseover'); fire(1, 'mouseout'); fire(2, 'mouseover'); fire(2, 'mouseout');
            fire(1, 'click'); fire(1, 'mouseover');
            log.join('\n');)");
        QString result;
        view.page()->runJavaScript(script, [&](const QVariant &value) { result = value.toString(); });
        QTRY_VERIFY_WITH_TIMEOUT(!result.isEmpty(), tw::test::kCeiling);
        QCOMPARE(result, QStringLiteral("out1.gif out2.gif\n"
                                       "mouseover1: over1.gif out2.gif\nmouseout1: out1.gif out2.gif\n"
                                       "mouseover2: out1.gif over2.gif\nmouseout2: out1.gif out2.gif\n"
                                       "click1: out1.gif out2.gif\nmouseover1: over1.gif out2.gif"));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    RolloverBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rollover_browser.moc"
