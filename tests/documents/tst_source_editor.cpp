#include "documents/SourceEditor.h"

#include <QKeyEvent>
#include <QtTest>

using namespace tw;

namespace {

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
