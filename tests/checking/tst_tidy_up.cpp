// Tidy Up: the bytes it makes of pages, and the command on a document window
// with the real checker process.
#include "Ceiling.h"
#include "checking/CheckerRun.h"
#include "checking/TidyUp.h"
#include "documents/TidyUpPage.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"
#include "platform/NoticeBar.h"

#include <QtTest>

using namespace tw;
using namespace tw::checking;

class TidyUpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setCheckerPath(QStringLiteral(TW_CHECKER)); }

    void layoutChangesOnlyWhereItCannotShow_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("eol");
        QTest::addColumn<QByteArray>("tidied");
        QTest::newRow("whole page: case, entities, kept elements, no added tags")
            << QByteArray("<HTML><HEAD><TITLE>Caf&eacute; page</TITLE></HEAD>\n"
                          "<BODY BGCOLOR=white><H1>Hello   <B>world</B></H1><UL><LI>one<LI>two &amp; three</UL>\n"
                          "<pre>\n  keep   this\n    as is</pre><script>if (a<b) { x(); }</script>\n"
                          "<div><p></p><span></span></div>\n<!-- a comment --><textarea>  t  </textarea>\n"
                          "</BODY></HTML>")
            << QByteArray("\n")
            << QByteArray("<HTML>\n<HEAD>\n  <TITLE>Caf&eacute; page</TITLE>\n</HEAD>\n"
                          "<BODY BGCOLOR=white>\n  <H1>Hello <B>world</B></H1>\n  <UL>\n    <LI>one\n"
                          "    <LI>two &amp; three\n  </UL>\n"
                          "  <pre>\n  keep   this\n    as is</pre>\n  <script>if (a<b) { x(); }</script>\n"
                          "  <div>\n    <p></p><span></span>\n  </div><!-- a comment --><textarea>  t  </textarea>\n"
                          "</BODY>\n</HTML>");
        QTest::newRow("fragment, new line ends CR LF, last line end kept")
            << QByteArray("<div><p>One</p><p>Two<br>three</p></div>\r\n<ul><li><a href=\"a.htm\">A</a></li></ul>\r\n")
            << QByteArray("\r\n")
            << QByteArray("<div>\r\n  <p>One</p>\r\n  <p>Two<br>three</p>\r\n</div>\r\n<ul>\r\n  <li>\r\n"
                          "    <a href=\"a.htm\">A</a>\r\n  </li>\r\n</ul>\r\n");
        QTest::newRow("inline white space: a run becomes one, none stays none")
            << QByteArray("<p>a <b>b</b><i>c</i>  d\n</p><p   title=\"x>y\">e</p>\n")
            << QByteArray("\n")
            << QByteArray("<p>a <b>b</b><i>c</i> d</p>\n<p   title=\"x>y\">e</p>\n");
        QTest::newRow("laid out already")
            << QByteArray("<ul>\n  <li>x</li>\n</ul>\n") << QByteArray("\n") << QByteArray("<ul>\n  <li>x</li>\n</ul>\n");
    }
    void layoutChangesOnlyWhereItCannotShow()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, eol);
        QFETCH(QByteArray, tidied);
        const Pretty pretty = tidyPretty(page);
        QVERIFY(pretty.ok);
        QCOMPARE(tidiedUp(page, pretty.text, eol), tidied);
    }

    // The command in a window, with tidy in the checker process.
    void commandInAWindow_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("typeMeanwhile");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("notice");
        QTest::newRow("tidied, one undo step") << QByteArray("<div><p>x</p></div>") << false
                                               << QByteArray("<div>\n  <p>x</p>\n</div>") << QString();
        QTest::newRow("errors leave it") << QByteArray("<p>x<foo>y</foo></p>") << false
                                         << QByteArray("<p>x<foo>y</foo></p>") << tidyUpRefusal(1);
        QTest::newRow("typed meanwhile") << QByteArray("<div><p>x</p></div>") << true
                                         << QByteArray("!<div><p>x</p></div>") << QString(kTidyUpChanged);
        QTest::newRow("nothing to do") << QByteArray("<p>x</p>") << false << QByteArray("<p>x</p>")
                                       << QString(kTidyUpNothing);
    }
    void commandInAWindow()
    {
        QFETCH(QByteArray, page);
        QFETCH(bool, typeMeanwhile);
        QFETCH(QByteArray, after);
        QFETCH(QString, notice);
        frmDocument document;
        document.textEdit->loadBytes(page);
        int refusals = 0;
        tidyUpPage(&document, [&refusals](frmDocument *) { ++refusals; });
        if (typeMeanwhile)
            document.textEdit->replaceSelectedBytes("!");
        const QByteArray typed = document.textEdit->documentBytes();
        if (notice.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(document.textEdit->documentBytes(), after, test::kCeiling);
            document.textEdit->undo();
            QCOMPARE(document.textEdit->documentBytes(), page);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(document.notices->texts(), QStringList{notice}, test::kCeiling);
            QCOMPARE(document.textEdit->documentBytes(), typed);
        }
        QCOMPARE(refusals, notice == tidyUpRefusal(1) ? 1 : 0);
    }
};

QTEST_MAIN(TidyUpTest)
#include "tst_tidy_up.moc"
