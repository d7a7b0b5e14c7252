#include "DataRows.h"
#include "ModalDriver.h"
#include "TestFiles.h"
#include "documents/DocumentFiles.h"
#include "documents/LongLineQuestion.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/QtDialogs.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest>

using namespace tw;

namespace {

// Keeps nothing: only the reader's own counting is looked at.
struct NullSink : PageSink {
    bool start(qsizetype) override { return true; }
    bool append(const char *, qsizetype) override { return true; }
};

// Shown windows, and a question that notes whether the new window's text
// could be painted while it was asked.
struct PeekingHost final : DocumentHost, Dialogs {
    ~PeekingHost() override { qDeleteAll(windows); }
    Dialogs &dialogs() override { return *this; }
    frmDocument *createDocument(const QString &caption) override
    {
        auto *document = new frmDocument;
        document->setCaption(caption);
        document->resize(600, 400);
        document->show();
        windows << document;
        return document;
    }
    QWidget *activeChild() const override { return windows.isEmpty() ? nullptr : windows.last(); }
    QList<frmDocument *> documents() const override { return windows; }
    QString prompt(const QString &, const QString &) override { return {}; }
    bool askYesNo(const QString &, const QString &) override { return false; }
    Answer askYesNoCancel(const QString &, const QString &) override { return Answer::Cancel; }
    void message(const QString &, const QString &, MessageKind) override {}
    int choose(const QString &, const QString &, const QStringList &) override
    {
        QCoreApplication::processEvents(); // as the question's own event loop does
        textShown = windows.last()->textEdit->viewport()->isVisible();
        return 0;
    }
    FileChoice openFile(const QString &, const QString &) override { return {}; }
    FileChoice saveFile(const QString &, const QString &) override { return {}; }

    QList<frmDocument *> windows;
    bool textShown = true;
};

} // namespace

class LongLinesTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void breaksGoAfterEachTagOfTheLongLinesOnly_data()
    {
        tw::test::columns<QByteArray, qint64, QByteArray, QByteArray>("text", "limit", "lineEnd", "broken");
        const auto row = [](const char *name, const QByteArray &text, qint64 limit, const QByteArray &lineEnd,
                            const QByteArray &broken) {
            QTest::newRow(name) << text << limit << lineEnd << broken;
        };
        row("empty", "", 0, "\r\n", "");
        row("a line at the limit stays", "<i>1</i>", 8, "\r\n", "<i>1</i>");
        row("one character over", "<i>1</i>", 7, "\r\n", "<i>\r\n1</i>");
        row("only the long lines, CR LF", "<i>1</i>\r\n<b>\r\n<u>2</u>\r\n", 5, "\r\n",
            "<i>\r\n1</i>\r\n<b>\r\n<u>\r\n2</u>\r\n");
        row("LF", "<p>x</p>\n<a>\n", 5, "\n", "<p>\nx</p>\n<a>\n");
        row("CR", "<i>1</i>\r<b>", 5, "\r", "<i>\r1</i>\r<b>");
        row("mixed line ends kept", "<a>bc\r\n<d>ef\n<g>hi\r", 4, "\n", "<a>\nbc\r\n<d>\nef\n<g>\nhi\r");
        row("'>' ending the text", "x<i>1</i>", 3, "\r\n", "x<i>\r\n1</i>");
        row("'>' ending the line", "x<i>1</i>\n\n", 3, "\n", "x<i>\n1</i>\n\n");
        row("'>' in a row", "a>>b>", 2, "\r\n", "a>\r\n>\r\nb>");
        row("a long line without '>'", "abcdef\r\n<i>", 2, "\r\n", "abcdef\r\n<i>");
        row("empty lines", "\r\n\r\n<a>b\r\n", 2, "\r\n", "\r\n\r\n<a>\r\nb\r\n");
        // Counted in characters: 8 characters, 9 bytes.
        row("two-byte letter, at the limit", "<i>\xc3\xa9</i>", 8, "\r\n", "<i>\xc3\xa9</i>");
        row("three-byte letters", "<b>\xe4\xb8\xad\xe6\x96\x87</b>x", 9, "\r\n",
            "<b>\r\n\xe4\xb8\xad\xe6\x96\x87</b>\r\nx");
        row("four-byte letter and NUL", QByteArray("<\xf0\x9f\x98\x80>\0<b>", 10), 3, "\n",
            QByteArray("<\xf0\x9f\x98\x80>\n\0<b>", 11));
        // A Windows-1252 page is broken after its conversion to UTF-8.
        row("Windows-1252 letters as UTF-8", "<p>caf\xc3\xa9 \xe2\x82\xac</p>", 5, "\r\n",
            "<p>\r\ncaf\xc3\xa9 \xe2\x82\xac</p>");
    }
    void breaksGoAfterEachTagOfTheLongLinesOnly()
    {
        auto [text, limit, lineEnd, broken] = tw::test::fetch<QByteArray, qint64, QByteArray, QByteArray>(
            "text", "limit", "lineEnd", "broken");
        QCOMPARE(breakLongLines(text.constData(), text.size(), limit, lineEnd), broken);
    }

    // The breaks take the page's first line end; a page without one gets the
    // CR LF a save writes at its end.
    void theBreakIsThePagesOwnLineEnd_data()
    {
        tw::test::columns<QByteArray, QByteArray>("text", "lineEnd");
        QTest::newRow("none") << QByteArray("<a><b>") << QByteArray("\r\n");
        QTest::newRow("empty") << QByteArray() << QByteArray("\r\n");
        QTest::newRow("LF first") << QByteArray("a\nb\r\n") << QByteArray("\n");
        QTest::newRow("CR LF first") << QByteArray("a\r\nb\n") << QByteArray("\r\n");
        QTest::newRow("CR first") << QByteArray("a\rb\r\n") << QByteArray("\r");
        QTest::newRow("CR at the end") << QByteArray("a\r") << QByteArray("\r");
    }
    void theBreakIsThePagesOwnLineEnd()
    {
        auto [text, lineEnd] = tw::test::fetch<QByteArray, QByteArray>("text", "lineEnd");
        QCOMPARE(lineEndOf(text.constData(), text.size()), lineEnd);
    }

    // The longest line is found from pieces of any size: lines, characters
    // and CR LF split between pieces, runs longer than the eight bytes
    // looked at together.
    void theLongestLineIsFoundAcrossPieces_data()
    {
        tw::test::columns<QByteArray, qint64, qint64>("text", "bytes", "characters");
        QTest::newRow("empty") << QByteArray() << 0LL << 0LL;
        QTest::newRow("last line longest, no end") << QByteArray("a\nbcdefghijklmnopq") << 16LL << 16LL;
        QTest::newRow("first line longest") << QByteArray("abcdefghijk\r\nxy\r\n") << 11LL << 11LL;
        QTest::newRow("CR LF counts no character") << QByteArray("ab\r\n\r\ncd\r\ne") << 2LL << 2LL;
        QTest::newRow("CR alone, LF alone") << QByteArray("abc\rdefg\nhi") << 4LL << 4LL;
        QTest::newRow("multi-byte") << QByteArray("\xc3\xa9\xe4\xb8\xadx\nab") << 6LL << 3LL;
        QTest::newRow("multi-byte run") << QByteArray("ab\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9")
                                        << 18LL << 10LL;
        QTest::newRow("four-byte letters") << QByteArray("\xf0\x9f\x98\x80\xf0\x9f\x98\x80\r\nabc") << 8LL << 3LL;
        QTest::newRow("other control bytes are characters")
            << QByteArray("a\tb\0c\x0b\x0c\x0e\x01z\n", 11) << 10LL << 10LL;
        QTest::newRow("Windows-1252 bytes") << QByteArray("caf\xe9 \x80\x93\x94\r\n") << 8LL << 5LL;
    }
    void theLongestLineIsFoundAcrossPieces()
    {
        auto [text, bytes, characters] = tw::test::fetch<QByteArray, qint64, qint64>("text", "bytes", "characters");
        for (const qsizetype piece : {1, 2, 3, 5, 7, 8, 9, 16, 1000}) {
            LineCensus census;
            for (qsizetype at = 0; at < text.size(); at += piece)
                census.add(text.constData() + at, qMin(piece, text.size() - at));
            QCOMPARE(census.longestBytes(), bytes);
            QCOMPARE(census.longestCharacters(), characters);
        }
        QCOMPARE(longestLine(text.constData(), text.size()), characters);
    }

    // The reader counts as it reads, in any piece size: characters of a UTF-8
    // page, bytes of a Windows-1252 one (one character each).
    void theReaderCountsTheLongestLine_data()
    {
        tw::test::columns<QByteArray, qint64>("bytes", "longest");
        QTest::newRow("UTF-8") << QByteArray("<p>\r\n<b>caf\xc3\xa9 \xe2\x82\xac</b>\r\n") << 13LL;
        QTest::newRow("Windows-1252") << QByteArray("<p>\r\n<b>caf\xe9 \x80</b>\r\n") << 13LL;
        QTest::newRow("CR LF split") << QByteArray("abc\r\ndefgh") << 5LL;
    }
    void theReaderCountsTheLongestLine()
    {
        auto [bytes, longest] = tw::test::fetch<QByteArray, qint64>("bytes", "longest");
        const QString path = m_dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(tw::test::writeBytes(path, bytes));
        for (const qsizetype chunk : {1, 2, 4, 1 << 20}) {
            PageReader reader(path, chunk);
            NullSink sink;
            QVERIFY(reader.open() && reader.read(sink));
            QCOMPARE(reader.longestLine(), longest);
        }
    }

    // The editor's text broken in place: marked changed, the caret at the start.
    void lineBreaksInTheEditor()
    {
        SourceEditor editor;
        editor.loadBytes("<a><b>\n<c>");
        QVERIFY(putLineBreaks(&editor, 5));
        QCOMPARE(editor.documentBytes(), QByteArray("<a>\n<b>\n<c>"));
        QVERIFY(editor.isModified());
        QCOMPARE(editor.SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 0L);
    }

    // Nothing of the page can be painted while the question is open; once
    // answered, the text shows from its top left.
    void theQuestionComesBeforeThePageIsShown()
    {
        const QString path = m_dir.filePath(QStringLiteral("long.htm"));
        QVERIFY(tw::test::writeBytes(path, QByteArray(kLongLineLimit + 1, 'x')));
        PeekingHost host;
        int openCount = 0;
        frmDocument *document = openPage(host, path, openCount);
        QVERIFY(document);
        QVERIFY(!host.textShown);
        QVERIFY(document->textEdit->viewport()->isVisible());
        QCOMPARE(document->caption(), path);
    }

    // A load puts the caret at the start and shows the top left of the text,
    // wherever the view stood before.
    void aLoadShowsTheTopLeft()
    {
        SourceEditor editor;
        editor.resize(300, 200);
        editor.show();
        editor.loadBytes(QByteArray(2000, 'x') + QByteArray(200, '\n'));
        editor.SendScintilla(QsciScintilla::SCI_GOTOPOS, 2150UL);
        editor.SendScintilla(QsciScintilla::SCI_SETXOFFSET, 500UL);
        QVERIFY(editor.SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE) > 0);
        editor.loadBytes(QByteArray(3000, 'y') + QByteArray(300, '\n'));
        QCOMPARE(editor.SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 0L);
        QCOMPARE(editor.SendScintilla(QsciScintilla::SCI_GETANCHOR), 0L);
        QCOMPARE(editor.SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE), 0L);
        QCOMPARE(editor.SendScintilla(QsciScintilla::SCI_GETXOFFSET), 0L);
    }

    // The question as a real Qt dialog: its title, text and buttons, and the
    // choice each button gives.
    void theQuestionIsAQtDialog_data()
    {
        tw::test::columns<QString, int>("button", "choice");
        QTest::newRow("as it is") << QStringLiteral("Open As It Is") << int(LongLineChoice::AsItIs);
        QTest::newRow("with breaks") << QStringLiteral("Open With Line Breaks") << int(LongLineChoice::WithLineBreaks);
        QTest::newRow("cancel") << QStringLiteral("Cancel") << int(LongLineChoice::Cancel);
    }
    void theQuestionIsAQtDialog()
    {
        QFETCH(QString, button);
        QFETCH(int, choice);
        QtDialogs dialogs;
        QString title, text;
        QStringList buttons;
        tw::test::onNextModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            QAbstractButton *chosen = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                buttons << b->text();
                if (b->text() == button)
                    chosen = b;
            }
            if (chosen)
                chosen->click();
            else
                box->reject();
        });
        const LongLineChoice answer = askAboutLongLine(dialogs, QStringLiteral("/pages/one line.htm"), 5242880);
        QCOMPARE(title, QStringLiteral("Long Line"));
        QCOMPARE(text, QStringLiteral(
                           "/pages/one line.htm has a line of 5,242,880 characters.\n\n"
                           "Editing a line that long is slow: every key may take a quarter of a second or more. "
                           "You can open the page as it is, or open its text in a new untitled window with a "
                           "line break after each \">\" on its long lines; the page's file stays as it is."));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Cancel", "Open As It Is", "Open With Line Breaks"}));
        QCOMPARE(int(answer), choice);
    }
};

QTEST_MAIN(LongLinesTest)
#include "tst_longlines.moc"
