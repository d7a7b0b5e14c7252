#include "GeneratedPage.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace tw::test;

// Loads a page built from the template, the shipped script fragments and the
// generated script and pictures in a real browser engine, and checks that
// each picture flips on mouse over and back on mouse out.
class RolloverBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void picturesFlipInABrowser();

private:
    QVariant evaluate(QWebEnginePage &page, const QString &script);
};

QVariant RolloverBrowserTest::evaluate(QWebEnginePage &page, const QString &script)
{
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        qWarning("script did not answer: %s", qPrintable(script));
    return result;
}

void RolloverBrowserTest::picturesFlipInABrowser()
{
    const QString data = dataDir();
    const QString html = generatedPage(readText(data + "/Template.html"), data + "/PicFlip1.txt",
                                       data + "/PicFlip2.txt");
    QVERIFY(!html.isEmpty());

    QTemporaryDir dir;
    const QByteArray gif = QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7");
    for (const char *name : {"over1.gif", "over2.gif", "out1.gif", "out2.gif"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gif);
    }
    QFile file(dir.filePath("page.html"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(html.toUtf8());
    file.close();

    QWebEngineView view;
    view.resize(800, 600);
    view.show();
    QSignalSpy loaded(view.page(), &QWebEnginePage::loadFinished);
    view.load(QUrl::fromLocalFile(file.fileName()));
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, 30000);
    QVERIFY(loaded.first().first().toBool());
    QWebEnginePage &page = *view.page();

    const auto src = [&](int n) {
        return evaluate(page, QStringLiteral("document.images['Pic%1'].src").arg(n)).toString();
    };
    const auto dispatch = [&](int n, const char *type) {
        evaluate(page, QStringLiteral("document.images['Pic%1'].dispatchEvent("
                                      "new MouseEvent('%2', {bubbles: true})); true")
                           .arg(n)
                           .arg(QLatin1String(type)));
    };

    for (int n = 1; n <= 2; ++n) {
        const QString out = QStringLiteral("/out%1.gif").arg(n);
        const QString over = QStringLiteral("/over%1.gif").arg(n);
        QVERIFY2(src(n).endsWith(out), qPrintable(src(n)));
        dispatch(n, "mouseover");
        QVERIFY2(src(n).endsWith(over), qPrintable(src(n)));
        QVERIFY2(src(3 - n).endsWith(QStringLiteral("/out%1.gif").arg(3 - n)), "only one picture flips");
        dispatch(n, "mouseout");
        QVERIFY2(src(n).endsWith(out), qPrintable(src(n)));
    }
    // A click leaves the pictures flipping.
    evaluate(page, QStringLiteral("document.images['Pic1'].dispatchEvent("
                                  "new MouseEvent('click', {bubbles: true, cancelable: true})); true"));
    dispatch(1, "mouseover");
    QVERIFY(src(1).endsWith("/over1.gif"));
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    RolloverBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_rollover_browser.moc"
