#include "Ceiling.h"
#include "DataRows.h"
#include "editor/SourceEditor.h"

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleTextInterface>
#include <QtTest>

using namespace tw;
using Sci = QsciScintillaBase;

namespace {

// "é" and "€" take two and three bytes, "\xFF" is a stray byte kept as one
// character: byte positions and character offsets part ways on every line.
const QByteArray kPage("caf\xC3\xA9\nx\xE2\x82\xAC y\xFF z\r\nend", 20);

QString edits(const QList<QList<QVariant>> &spy)
{
    QStringList out;
    for (const QList<QVariant> &e : spy)
        out << QStringLiteral("%1-%2").arg(e.at(0).toLongLong()).arg(e.at(1).toLongLong());
    return out.join(QLatin1Char(' '));
}

void pressKey(SourceEditor &editor, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&editor, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&editor, &release);
    // The report follows the paint that the move asks for.
    QCoreApplication::processEvents();
}

} // namespace

class SourceEditorTest : public QObject {
    Q_OBJECT

private slots:
    // Followers of edits (the recovery journal) see every change in the order
    // made, with the inserted bytes, whatever made it.
    void editsAreReportedInOrder()
    {
        SourceEditor editor;
        editor.loadBytes("abc\ndef");
        QStringList inserted;
        QList<QList<QVariant>> seen;
        connect(&editor, &SourceEditor::edited, this,
                [&](qint64 position, qint64 removed, const char *text, qint64 length) {
                    seen.append({position, removed});
                    inserted << QString::fromUtf8(text, length);
                });
        QSignalSpy before(&editor, &SourceEditor::aboutToChange);
        QSignalSpy text(&editor, &QsciScintilla::textChanged);
        QSignalSpy lines(&editor, &QsciScintilla::linesChanged);

        editor.SendScintilla(Sci::SCI_SETSEL, 1UL, 3L);
        editor.replaceSelectedBytes("XY\nZ"); // one removal, one insertion
        editor.SendScintilla(Sci::SCI_UNDO);
        editor.SendScintilla(Sci::SCI_REDO);
        editor.flushEdits();
        QCOMPARE(edits(seen), QStringLiteral("1-2 1-0 1-4 1-0 1-2 1-0"));
        QCOMPARE(inserted, QStringList({QString(), QStringLiteral("XY\nZ"), QString(), QStringLiteral("bc"),
                                        QString(), QStringLiteral("XY\nZ")}));
        QCOMPARE(before.size(), 6);
        QCOMPARE(editor.documentBytes(), QByteArray("aXY\nZ\ndef"));
        // The text and line signals follow once, when the event loop turns.
        QCOMPARE(text.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(text.size(), 1, test::kCeiling);
        QCOMPARE(lines.size(), 1);

        // An edit within a line leaves the line count alone.
        editor.replaceSelectedBytes("q");
        QTRY_COMPARE_WITH_TIMEOUT(text.size(), 2, test::kCeiling);
        QCOMPARE(lines.size(), 1);
        // A removal across a line end changes it.
        editor.SendScintilla(Sci::SCI_SETSEL, 0UL, 5L);
        editor.replaceSelectedBytes(QByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(text.size(), 3, test::kCeiling);
        QCOMPARE(lines.size(), 2);
    }

    void offsetsCountCharacters_data()
    {
        tw::test::columns<qint64, int>("position", "offset");
        QTest::newRow("start") << qint64(0) << 0;
        QTest::newRow("after two-byte character") << qint64(5) << 4;
        QTest::newRow("second line start") << qint64(6) << 5;
        QTest::newRow("after three-byte character") << qint64(10) << 7;
        QTest::newRow("after stray byte") << qint64(13) << 10;
        QTest::newRow("third line start") << qint64(17) << 14;
        QTest::newRow("end") << qint64(20) << 17;
    }
    void offsetsCountCharacters()
    {
        auto [position, offset] = tw::test::fetch<qint64, int>("position", "offset");
        SourceEditor editor;
        editor.loadBytes(kPage);
        QCOMPARE(editor.characterOffset(position), offset);
        QCOMPARE(editor.bytePosition(offset), position);
        // Offsets past the end stay at the end.
        QCOMPARE(editor.bytePosition(1000), qint64(20));
    }

    // Assistive technology reads and edits the page through character offsets.
    void assistiveTechnologyReadsAndEdits()
    {
        SourceEditor editor;
        editor.loadBytes(kPage);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&editor);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Page source"));
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), 17);
        QCOMPARE(text->text(3, 8), QString::fromUtf8("\xC3\xA9\nx\xE2\x82\xAC "));

        int start = 0, end = 0;
        QCOMPARE(text->textAtOffset(7, QAccessible::LineBoundary, &start, &end),
                 QString::fromUtf8("x\xE2\x82\xAC y\xEF\xBF\xBD z\r\n"));
        QCOMPARE(start, 5);
        QCOMPARE(end, 14);
        QCOMPARE(text->textAfterOffset(7, QAccessible::LineBoundary, &start, &end), QStringLiteral("end"));
        QCOMPARE(start, 14);
        QCOMPARE(text->textBeforeOffset(7, QAccessible::LineBoundary, &start, &end),
                 QString::fromUtf8("caf\xC3\xA9\n"));
        QCOMPARE(start, 0);
        QCOMPARE(text->textAtOffset(1, QAccessible::WordBoundary, &start, &end), QString::fromUtf8("caf\xC3\xA9"));
        QCOMPARE(end, 4);

        text->setCursorPosition(7);
        QCOMPARE(editor.SendScintilla(Sci::SCI_GETCURRENTPOS), 10L);
        QCOMPARE(text->cursorPosition(), 7);
        text->setSelection(0, 3, 7);
        QCOMPARE(text->selectionCount(), 1);
        text->selection(0, &start, &end);
        QCOMPARE(start, 3);
        QCOMPARE(end, 7);
        QCOMPARE(editor.selectedBytes(), QByteArray("\xC3\xA9\nx\xE2\x82\xAC"));

        QAccessibleEditableTextInterface *edit = iface->editableTextInterface();
        QVERIFY(edit);
        edit->replaceText(3, 7, QString::fromUtf8("\xE2\x86\x92"));
        QCOMPARE(editor.documentBytes(), QByteArray("caf\xE2\x86\x92 y\xFF z\r\nend", 16));
        edit->deleteText(0, 3);
        edit->insertText(1, QStringLiteral("<"));
        QCOMPARE(editor.documentBytes(), QByteArray("\xE2\x86\x92< y\xFF z\r\nend", 14));
        editor.setReadOnly(true);
        edit->deleteText(0, 2);
        QCOMPARE(editor.documentLength(), 14);
    }

    // The caret's line and column (a tab counts to the next tab stop, a
    // two-byte character as one) reach a listener after every move and every
    // typed character, also when the listener connects after moves it did not
    // see, and even when the caret returns to the last position it was told.
    void caretPositionReachesListeners()
    {
        SourceEditor editor;
        editor.resize(400, 300);
        editor.show();
        editor.setFocus();
        editor.loadBytes("ab\tcd\n<p>caf\xC3\xA9</p>\n");
        QCoreApplication::processEvents();

        pressKey(editor, Qt::Key_Down); // seen by no one
        {
            QSignalSpy spy(&editor, &QsciScintilla::cursorPositionChanged);
            pressKey(editor, Qt::Key_Up);
            QVERIFY(!spy.isEmpty());
            QCOMPARE(spy.last(), QVariantList({0, 0}));

            pressKey(editor, Qt::Key_End);
            QCOMPARE(spy.last(), QVariantList({0, 10}));

            pressKey(editor, Qt::Key_Down);
            pressKey(editor, Qt::Key_End);
            QCOMPARE(spy.last(), QVariantList({1, 11}));

            pressKey(editor, Qt::Key_X, QStringLiteral("x"));
            QCOMPARE(spy.last(), QVariantList({1, 12}));
            QCOMPARE(editor.documentBytes(), QByteArray("ab\tcd\n<p>caf\xC3\xA9</p>x\n"));
        }

        pressKey(editor, Qt::Key_Home); // seen by no one
        QSignalSpy spy(&editor, &QsciScintilla::cursorPositionChanged);
        pressKey(editor, Qt::Key_End);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.last(), QVariantList({1, 12}));
    }
};

QTEST_MAIN(SourceEditorTest)
#include "tst_source_editor.moc"
