// Go to Line, printing the source, folding and the zoom of the run.
#include "ScriptedDialogs.h"
#include "editor/EditorLook.h"
#include "editor/GoToLine.h"
#include "editor/SourceEditor.h"
#include "editor/SourcePrint.h"

#include <Qsci/qscilexerhtml.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using Sci = QsciScintillaBase;

namespace {

QList<int> hiddenLines(SourceEditor &editor)
{
    QList<int> hidden;
    for (int line = 0; line < editor.lines(); ++line)
        if (!editor.SendScintilla(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)))
            hidden << line;
    return hidden;
}

QList<int> foldHeads(SourceEditor &editor)
{
    editor.SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    QList<int> heads;
    for (int line = 0; line < editor.lines(); ++line)
        if (editor.SendScintilla(Sci::SCI_GETFOLDLEVEL, static_cast<unsigned long>(line)) & Sci::SC_FOLDLEVELHEADERFLAG)
            heads << line;
    return heads;
}

// The text Ghostscript reads from a PDF file, or a null string without it.
QString pdfText(const QString &path)
{
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty())
        return {};
    QProcess p;
    p.start(gs, {"-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=txtwrite", "-sOutputFile=-", path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    p.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    p.setColor(QPalette::Highlight, QColor(0x3a, 0x6e, 0xa5));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    return p;
}

// The editor's picture: the lightness of its paper (the corner far from the
// text) and how many pixels stand readably apart from it.
std::pair<int, int> look(SourceEditor &editor)
{
    const QImage shot = editor.grab().toImage();
    const int paper = shot.pixelColor(shot.width() - 30, shot.height() - 30).lightness();
    int readable = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < shot.width() - 30; ++x)
            readable += std::abs(shot.pixelColor(x, y).lightness() - paper) >= 100;
    return {paper, readable};
}

} // namespace

class EditorHabitsTest : public QObject {
    Q_OBJECT
private slots:
    void lineAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("line");
        QTest::newRow("cancelled") << "" << int(LineAnswer::Cancelled) << 0;
        QTest::newRow("blanks") << "  " << int(LineAnswer::Cancelled) << 0;
        QTest::newRow("a line") << " 7 " << int(LineAnswer::Line) << 6;
        QTest::newRow("leading zeros") << "007" << int(LineAnswer::Line) << 6;
        QTest::newRow("zero: the first") << "0" << int(LineAnswer::Line) << 0;
        QTest::newRow("past the last") << "99" << int(LineAnswer::Line) << 9;
        QTest::newRow("past any int") << "123456789012345678901" << int(LineAnswer::Line) << 9;
        QTest::newRow("negative") << "-3" << int(LineAnswer::NotANumber) << 0;
        QTest::newRow("fraction") << "3.5" << int(LineAnswer::NotANumber) << 0;
        QTest::newRow("word") << "ten" << int(LineAnswer::NotANumber) << 0;
    }
    void lineAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(int, kind);
        QFETCH(int, line);
        const LineAnswer got = readLineAnswer(answer, 10);
        QCOMPARE(int(got.kind), kind);
        QCOMPARE(got.line, line);
    }

    // A folded line asked for is shown; an answer that is no number is told.
    void goToLineUnfoldsAndTellsBadAnswers()
    {
        SourceEditor editor;
        EditorLook::attach(&editor, true, true)->setFolding(true);
        editor.loadBytes("<div>\n<p>a</p>\n<p>b</p>\n</div>\n");
        foldHeads(editor);
        EditorLook::of(&editor)->foldAll(true);
        QCOMPARE(hiddenLines(editor), (QList<int>{1, 2, 3}));
        ScriptedDialogs dialogs;
        dialogs.answer(QStringLiteral("3")).answer(QStringLiteral("x3")).acknowledge();
        goToLine(dialogs, editor);
        int line = -1, index = -1;
        editor.getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
        QVERIFY(!hiddenLines(editor).contains(2));
        goToLine(dialogs, editor);
        editor.getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
        QCOMPARE(dialogs.promptLog(), (QStringList{"Go to Line|Line number (1 - 5):", "Go to Line|Line number (1 - 5):"}));
        QCOMPARE(dialogs.shown.last().text, QStringLiteral("\"x3\" is not a line number."));
    }

    // Elements, comments and scripts fold; turning folding or highlighting
    // off leaves no line hidden.
    void foldingOffShowsEveryLine()
    {
        SourceEditor editor;
        EditorLook *look = EditorLook::attach(&editor, true, true);
        look->setFolding(true);
        editor.loadBytes("<div>\n<p>a</p>\n</div>\n<!--\nnote\n-->\n<script>\nvar x;\n</script>\n");
        QCOMPARE(foldHeads(editor), (QList<int>{0, 3, 6}));
        look->foldAll(true);
        QCOMPARE(hiddenLines(editor), (QList<int>{1, 2, 4, 5, 7, 8}));
        look->setFolding(false);
        QCOMPARE(hiddenLines(editor), QList<int>());
        QCOMPARE(editor.folding(), QsciScintilla::NoFoldStyle);

        look->setFolding(true);
        foldHeads(editor);
        look->foldAll(true);
        QVERIFY(!hiddenLines(editor).isEmpty());
        look->setHighlighting(false);
        QCOMPARE(hiddenLines(editor), QList<int>());
        look->foldAll(true); // no folding without highlighting
        QCOMPARE(hiddenLines(editor), QList<int>());
    }

    // A colour stands readably apart from its paper, or gets a lightness that does.
    void readableColours_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("paper");
        QTest::addColumn<QColor>("readable");
        QTest::newRow("black on dark") << QColor(0, 0, 0) << QColor(0x1e, 0x1e, 0x1e) << QColor(0xb4, 0xb4, 0xb4);
        QTest::newRow("navy on dark keeps its hue") << QColor(0, 0, 0x80) << QColor(0x1e, 0x1e, 0x1e)
                                                    << QColor(0x69, 0x69, 0xff);
        QTest::newRow("light grey on dark stays") << QColor(0xc0, 0xc0, 0xc0) << QColor(0x1e, 0x1e, 0x1e)
                                                  << QColor(0xc0, 0xc0, 0xc0);
        QTest::newRow("yellow on white") << QColor(0xff, 0xff, 0x80) << QColor(Qt::white)
                                         << QColor(0xd2, 0xd2, 0x00);
    }
    void readableColours()
    {
        QFETCH(QColor, colour);
        QFETCH(QColor, paper);
        QFETCH(QColor, readable);
        QCOMPARE(readableOn(colour, paper).name(), readable.name());
    }

    // On a dark desktop the paper is dark and the highlighted text readable
    // on it; back on a light one the editor looks exactly as before.
    void followsTheDesktopsPalette()
    {
        const QPalette light = QApplication::palette();
        SourceEditor editor;
        EditorLook::attach(&editor, true, true);
        editor.loadBytes("<html><body bgcolor=\"white\"><!-- note --><p class=\"x\">Text &amp; more</p>"
                         "<script>var a = 1;</script></body></html>\n");
        editor.resize(600, 200);
        const QImage before = editor.grab().toImage();
        const auto [lightPaper, lightReadable] = look(editor);
        QVERIFY(lightPaper > 200);

        QApplication::setPalette(darkPalette());
        const auto [darkPaper, darkReadable] = look(editor);
        QVERIFY2(darkPaper < 60, qPrintable(QString::number(darkPaper)));
        QVERIFY2(darkReadable * 10 >= lightReadable * 7, qPrintable(QStringLiteral("%1 of %2").arg(darkReadable).arg(lightReadable)));
        for (int style = 0; style <= 127; ++style)
            if (!EditorLook::of(&editor)->lexer()->description(style).isEmpty())
                QVERIFY(std::abs(EditorLook::of(&editor)->lexer()->color(style).lightness() - 0x1e) >= 100);

        QApplication::setPalette(light);
        QCOMPARE(editor.grab().toImage(), before);
    }

    // Zooming one editor zooms all of them, and a later one starts there.
    void oneZoomForTheRun()
    {
        SourceEditor first, second;
        EditorLook::attach(&first, true, true);
        EditorLook::attach(&second, false, false);
        first.zoomIn();
        first.zoomIn();
        QCOMPARE(second.SendScintilla(Sci::SCI_GETZOOM), 2L);
        SourceEditor later;
        EditorLook::attach(&later, true, true);
        QCOMPARE(later.SendScintilla(Sci::SCI_GETZOOM), 2L);
        EditorLook::zoomAll(0);
        QCOMPARE(first.SendScintilla(Sci::SCI_GETZOOM), 0L);
        QCOMPARE(later.SendScintilla(Sci::SCI_GETZOOM), 0L);
    }

    // The source on several sheets, each headed by the page's name and its
    // number, with line numbers though the editor shows none; a file that
    // cannot be written is told, not taken for printed.
    void printsTheSourceWithHeadings()
    {
        QTemporaryDir dir;
        SourceEditor editor;
        EditorLook::attach(&editor, true, false);
        QByteArray page;
        for (int i = 1; i <= 150; ++i)
            page += "<p>line " + QByteArray::number(i) + "</p>\n";
        editor.loadBytes(page);
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        ScriptedDialogs dialogs;
        dialogs.printTo(pdf).printTo(QString()).printTo(dir.filePath(QStringLiteral("no/such/folder.pdf"))).acknowledge();

        QCOMPARE(printSource(dialogs, editor, QStringLiteral("index.html")), PrintResult::Printed);
        QCOMPARE(dialogs.shown.first().kind, QStringLiteral("print"));
        QCOMPARE(dialogs.shown.first().text, QStringLiteral("index.html"));
        QCOMPARE(editor.marginWidth(0), 0);
        const QString text = pdfText(pdf);
        if (text.isNull())
            qWarning("Ghostscript (gs) is not installed: the printed text is not read back");
        else
            for (const char *seen : {"index.html Page 1", "index.html Page 2", "150 <p>line 150</p>"})
                QVERIFY2(text.contains(QLatin1String(seen)), seen);
        QVERIFY(QFileInfo(pdf).size() > 0);

        QCOMPARE(printSource(dialogs, editor, QStringLiteral("index.html")), PrintResult::Cancelled);
        QCOMPARE(printSource(dialogs, editor, QStringLiteral("index.html")), PrintResult::Failed);
        QCOMPARE(dialogs.shown.last().kind, QStringLiteral("message"));
        QVERIFY(dialogs.shown.last().text.startsWith(QStringLiteral("The page could not be printed to ")));
        QCOMPARE(dialogs.remaining(), 0);
    }
};

QTEST_MAIN(EditorHabitsTest)
#include "tst_editor_habits.moc"
