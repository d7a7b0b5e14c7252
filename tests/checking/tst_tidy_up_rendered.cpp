// Tidy Up never changes what a page shows: each test page and shipped page,
// tidied up, renders the same text and the same element tree in the engine.
#include "Ceiling.h"
#include "checking/TidyUp.h"

#include <QDir>
#include <QStringDecoder>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QtTest>

using namespace tw::checking;

namespace {

// The page's text as the engine renders it and its elements in order, with
// the page's own scripts off: what a reader sees, not what a script made.
QString rendered(QWebEngineProfile &profile, const QByteArray &utf8)
{
    QWebEnginePage page(&profile);
    page.settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    page.setContent(utf8, QStringLiteral("text/html;charset=UTF-8"), QUrl(QStringLiteral("file:///nowhere/page.htm")));
    if (!loaded.wait(tw::test::kCeiling))
        return QStringLiteral("(not loaded)");
    QString result;
    bool done = false;
    page.runJavaScript(QStringLiteral("(document.body ? document.body.innerText : '') + '\\n--\\n' + "
                                      "Array.from(document.querySelectorAll('*'), e => e.tagName).join(' ') + "
                                      "'\\n' + document.title"),
                       QWebEngineScript::ApplicationWorld, [&](const QVariant &v) {
                           result = v.toString();
                           done = true;
                       });
    if (!QTest::qWaitFor([&done] { return done; }, tw::test::kCeiling))
        return QStringLiteral("(no answer)");
    return result;
}

} // namespace

class TidyUpRenderedTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_profile = new QWebEngineProfile(this); }
    // Most pages are laid out anew, so the comparison proves something.
    void cleanupTestCase() { QVERIFY2(m_changed >= 15, qPrintable(QString::number(m_changed))); }
    void showsTheSame_data()
    {
        QTest::addColumn<QString>("path");
        QStringList paths;
        for (const QFileInfo &f : QDir(QStringLiteral(TW_CHECK_PAGES)).entryInfoList({"*.htm"}, QDir::Files, QDir::Name))
            paths << f.filePath();
        for (const char *name : {"help.htm", "sample.htm", "Template.html"})
            paths << QDir(QStringLiteral(TW_DATA_DIR)).filePath(QLatin1String(name));
        for (const QString &path : paths)
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }
    void showsTheSame()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray page = file.readAll();
        // The editor holds a page that is not UTF-8 as UTF-8 from Windows-1252.
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)utf8.decode(page);
        if (utf8.hasError())
            page = QStringDecoder("windows-1252").decode(page).operator QString().toUtf8();
        const Pretty pretty = tidyPretty(page);
        if (!pretty.ok)
            QSKIP("tidy finds errors here: Tidy Up leaves such a page as it is");
        const QByteArray tidied = tidiedUp(page, pretty.text, "\n");
        m_changed += tidied != page;
        QCOMPARE(rendered(*m_profile, tidied), rendered(*m_profile, page));
    }

private:
    QWebEngineProfile *m_profile = nullptr;
    int m_changed = 0;
};

QTEST_MAIN(TidyUpRenderedTest)
#include "tst_tidy_up_rendered.moc"
