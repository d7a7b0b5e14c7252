// Spelling as a user meets it through the X server (xdotool): Check Spelling
// marks a misspelt word, a right-click on it offers suggestions, choosing one
// replaces the word, and one Undo brings the word back.
// Runs on a private Xvfb through run_on_x.sh.
#include "StartedFrame.h"
#include "Xdo.h"
#include "documents/DocumentSpelling.h"

#include <QMenu>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::xdo;
using Sci = QsciScintillaBase;

class SpellingMenuOnX : public QObject {
    Q_OBJECT
    ScriptedDialogs m_dialogs;
    std::unique_ptr<frmMain> m_frame;

    static QStringList words(QPoint global) { return {QString::number(global.x()), QString::number(global.y())}; }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server; run it through run_on_x.sh");
        QStandardPaths::setTestModeEnabled(true);
    }

    void suggestionReplacesTheWordInOneUndoStep()
    {
        m_frame = test::startFrame(m_dialogs);
        m_frame->setGeometry(0, 0, 900, 700);
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
        frmDocument *document = m_frame->activeDocument();
        SourceEditor *editor = document->textEdit;
        const QByteArray page("<p title=\"x\">Some speling here</p>\n");
        editor->loadBytes(page);
        m_frame->commands().checkSpelling->trigger();
        DocumentSpelling *spelling = DocumentSpelling::of(document);
        QVERIFY(spelling);
        const QList<spelling::WordSpan> wanted{{18, 25}};
        QTRY_COMPARE_WITH_TIMEOUT(spelling->marks(), wanted, test::kCeiling);

        const long middle = 21;
        const QPoint local(int(editor->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0, middle)),
                           int(editor->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0, middle)) + 4);
        QVERIFY(xdo(QStringList{"mousemove"} + words(editor->viewport()->mapToGlobal(local)) + QStringList{"click", "3"}));
        QMenu *menu = nullptr;
        QVERIFY(QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); },
                                test::kCeiling));
        QAction *choice = nullptr;
        QStringList offered;
        for (QAction *item : menu->actions()) {
            offered << item->text();
            if (item->objectName() == QLatin1String("mnuSpellingSuggestion") && item->text() == QLatin1String("spelling"))
                choice = item;
        }
        QVERIFY2(choice, qPrintable(offered.join(QLatin1Char(','))));
        QVERIFY(offered.contains(QStringLiteral("Add to Dictionary")) && offered.contains(QStringLiteral("Ignore")));
        QTRY_VERIFY_WITH_TIMEOUT(!menu->actionGeometry(choice).isEmpty() && menu->isVisible(), test::kCeiling);
        QVERIFY(xdo(QStringList{"mousemove"} + words(menu->mapToGlobal(menu->actionGeometry(choice).center()))
                    + QStringList{"click", "1"}));
        QTRY_COMPARE_WITH_TIMEOUT(editor->documentBytes(), QByteArray("<p title=\"x\">Some spelling here</p>\n"),
                                  test::kCeiling);
        QTRY_COMPARE_WITH_TIMEOUT(spelling->marks(), QList<spelling::WordSpan>(), test::kCeiling);
        QVERIFY(xdo({"key", "ctrl+z"}));
        QTRY_COMPARE_WITH_TIMEOUT(editor->documentBytes(), page, test::kCeiling);
        editor->setModified(false);
        m_frame.reset();
    }
};

QTEST_MAIN(SpellingMenuOnX)
#include "tst_spelling_menu.moc"
