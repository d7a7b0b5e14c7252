// The editor's habits as a user meets them, with key presses and mouse moves
// that go through the X server (xdotool): block selection by keys and by Alt+drag, several carets,
// Go to Line, the zoom, folding, and the View menu's toggles by their keys.
// Runs on a private Xvfb through run_on_x.sh.
#include "StartedFrame.h"
#include "Xdo.h"
#include "checking/CheckerRun.h"

#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::xdo;
using Sci = QsciScintillaBase;

namespace {

const QByteArray kBlock("abcd\nabcd\nabcd\n");

} // namespace

class EditorHabitsOnX : public QObject {
    Q_OBJECT
    ScriptedDialogs m_dialogs;
    std::unique_ptr<frmMain> m_frame;
    SourceEditor *m_editor = nullptr;

    long send(unsigned int message, unsigned long w = 0, long l = 0)
    {
        return m_editor->SendScintilla(message, w, l);
    }
    // Where the text at (line, column) is on the screen, as xdotool's words.
    QStringList at(int line, int column, int dx = 1)
    {
        const long pos = m_editor->positionFromLineIndex(line, column);
        const QPoint local(int(send(Sci::SCI_POINTXFROMPOSITION, 0, pos)) + dx,
                           int(send(Sci::SCI_POINTYFROMPOSITION, 0, pos)) + 4);
        const QPoint global = m_editor->viewport()->mapToGlobal(local);
        return {QString::number(global.x()), QString::number(global.y())};
    }
    QByteArray text() const
    {
        return m_editor->documentBytes();
    }
    bool textBecomes(const QByteArray &wanted)
    {
        return QTest::qWaitFor([&] { return text() == wanted; }, test::kCeiling);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server; run it through run_on_x.sh");
        QStandardPaths::setTestModeEnabled(true);
        checking::setCheckerPath(QStringLiteral(TW_CHECKER));
        m_frame = test::startFrame(m_dialogs);
        m_frame->setGeometry(0, 0, 900, 700);
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
        m_editor = m_frame->activeDocument()->textEdit;
        m_editor->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(m_editor->hasFocus(), test::kCeiling);
    }
    void cleanupTestCase()
    {
        if (m_editor)
            m_editor->setModified(false);
        m_frame.reset();
    }
    void init()
    {
        m_editor->loadBytes(kBlock);
        QCoreApplication::processEvents();
    }

    // Alt+Shift+arrows select a block; typed text goes into every line of it
    // and one Undo takes it back.
    void blockSelection()
    {
        QVERIFY(xdo({"key", "--delay", "20", "alt+shift+Down", "alt+shift+Down", "alt+shift+Right"}));
        QTRY_COMPARE_WITH_TIMEOUT(send(Sci::SCI_GETSELECTIONS), 3L, test::kCeiling);
        QVERIFY(send(Sci::SCI_SELECTIONISRECTANGLE));
        QVERIFY(xdo({"type", "X"}));
        QVERIFY(textBecomes("Xbcd\nXbcd\nXbcd\n"));
        QVERIFY(xdo({"key", "ctrl+z"}));
        QVERIFY(textBecomes(kBlock));
    }

    // Ctrl+click adds carets; Alt+drag selects a block. Typing goes into
    // every caret, and one Undo takes it back.
    void severalCaretsAndAltDrag_data()
    {
        QTest::addColumn<bool>("drag");
        QTest::addColumn<QByteArray>("typed");
        QTest::newRow("Ctrl+click") << false << QByteArray("aXbcd\nabcd\naXbcd\n");
        QTest::newRow("Alt+drag") << true << QByteArray("aXd\naXd\nabcd\n");
    }
    void severalCaretsAndAltDrag()
    {
        QFETCH(bool, drag);
        QFETCH(QByteArray, typed);
        // The drag starts away from the click, which would make it a double click.
        QVERIFY(xdo(QStringList{"mousemove"} + at(drag ? 2 : 0, 1) + QStringList{"click", "1"}));
        QTRY_COMPARE_WITH_TIMEOUT(send(Sci::SCI_GETCURRENTPOS), drag ? 11L : 1L, test::kCeiling);
        if (drag)
            QVERIFY(xdo(QStringList{"mousemove"} + at(0, 1) + QStringList{"keydown", "alt", "mousedown", "1", "mousemove", "--sync"} + at(1, 3)
                        + QStringList{"mouseup", "1", "keyup", "alt"}));
        else
            QVERIFY(xdo(QStringList{"mousemove", "--sync"} + at(2, 1)
                        + QStringList{"keydown", "ctrl", "click", "1", "keyup", "ctrl"}));
        QTRY_COMPARE_WITH_TIMEOUT(send(Sci::SCI_GETSELECTIONS), 2L, test::kCeiling);
        QCOMPARE(bool(send(Sci::SCI_SELECTIONISRECTANGLE)), drag);
        QVERIFY(xdo({"type", "X"}));
        QVERIFY(textBecomes(typed));
        QVERIFY(xdo({"key", "ctrl+z"}));
        QVERIFY(textBecomes(kBlock));
    }

    // Ctrl+G asks for the line.
    void goToLine()
    {
        m_dialogs.answer(QStringLiteral("3"));
        QVERIFY(xdo({"key", "ctrl+g"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.remaining(), 0, test::kCeiling);
        int line = -1, index = -1;
        m_editor->getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
    }

    // Ctrl++, Ctrl+-, Ctrl+0 and Ctrl+wheel.
    void zoom()
    {
        const auto zoomBecomes = [this](long level) {
            return QTest::qWaitFor([&] { return send(Sci::SCI_GETZOOM) == level; }, test::kCeiling);
        };
        QVERIFY(xdo({"key", "ctrl+plus"}));
        QVERIFY(zoomBecomes(1));
        QVERIFY(xdo({"key", "ctrl+equal"}));
        QVERIFY(zoomBecomes(2));
        QVERIFY(xdo({"key", "ctrl+minus"}));
        QVERIFY(zoomBecomes(1));
        QVERIFY(xdo({"key", "ctrl+0"}));
        QVERIFY(zoomBecomes(0));
        QVERIFY(xdo(QStringList{"mousemove"} + at(1, 1) + QStringList{"keydown", "ctrl", "click", "4", "keyup", "ctrl"}));
        QVERIFY(zoomBecomes(1));
        QVERIFY(xdo({"key", "ctrl+0"}));
        QVERIFY(zoomBecomes(0));
    }

    // A click on the fold mark folds the element; View, Unfold All by its
    // access key shows it again.
    void folding()
    {
        m_editor->loadBytes("<div>\n<p>a</p>\n<p>b</p>\n</div>\n");
        m_editor->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
        const int foldX = m_editor->marginWidth(0) + m_editor->marginWidth(1) + m_editor->marginWidth(2) / 2;
        const QPoint global = m_editor->viewport()->mapToGlobal(
            QPoint(foldX, int(send(Sci::SCI_POINTYFROMPOSITION, 0, 0)) + 4));
        QVERIFY(xdo({"mousemove", QString::number(global.x()), QString::number(global.y()), "click", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(!send(Sci::SCI_GETLINEVISIBLE, 1), test::kCeiling);
        QVERIFY(xdo({"key", "--delay", "100", "alt+v", "u"}));
        QTRY_VERIFY_WITH_TIMEOUT(send(Sci::SCI_GETLINEVISIBLE, 1), test::kCeiling);
    }

    // Edit, Tidy Up by its letter U while Undo, which shares it, is disabled:
    // the only enabled item with the letter is chosen at once.
    void sharedLetterReachesTheEnabledItem()
    {
        m_editor->loadBytes("<div><p>x</p></div>");
        QVERIFY(!m_frame->commands().undo->isEnabled());
        QVERIFY(xdo({"key", "--delay", "100", "alt+e", "u"}));
        QVERIFY(textBecomes("<div>\n  <p>x</p>\n</div>"));
    }

    // View, Show Line Ends by its letter; Word Wrap shares its letter with
    // the Web Browser item before it, so the second press of W reaches it and Enter takes it.
    void viewToggles()
    {
        QVERIFY(!m_editor->eolVisibility());
        QVERIFY(xdo({"key", "--delay", "100", "alt+v", "e"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_editor->eolVisibility(), test::kCeiling);
        QCOMPARE(m_editor->wrapMode(), QsciScintilla::WrapNone);
        QVERIFY(xdo({"key", "--delay", "100", "alt+v", "w", "w", "Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_editor->wrapMode(), QsciScintilla::WrapWord, test::kCeiling);
        for (QAction *toggle : {m_frame->commands().viewLineEnds, m_frame->commands().viewWordWrap})
            toggle->trigger();
    }
};

QTEST_MAIN(EditorHabitsOnX)
#include "tst_editor_habits.moc"
