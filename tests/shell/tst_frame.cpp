#include "DataRows.h"
#include "StartedFrame.h"
#include "TestFiles.h"
#include "ModalDriver.h"
#include "browser/BrowserEngine.h"
#include "browser/frmBrowser.h"
#include "platform/Clipboard.h"
#include "shell/BarToggles.h"
#include "shell/CommandBars.h"
#include "shell/FrameMenus.h"
#include "shell/frmSplash.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
}

QStringList menuTitles(QMainWindow &frame)
{
    QStringList titles;
    for (QAction *a : frame.menuBar()->actions())
        titles << a->menu()->objectName() + QLatin1Char(':') + a->text();
    return titles;
}

void typeAndSelectAll(SourceEditor *editor, const QString &text)
{
    editor->replaceSelectionExact(text);
    editor->selectAll(true);
}

} // namespace

class FrameTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    SourceEditor *editorOf(frmDocument *doc) { return doc ? doc->textEdit : nullptr; }
    QPushButton *button(const char *name) const { return m_frame->findChild<QPushButton *>(QLatin1String(name)); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        tw::test::startIn(qEnvironmentVariable("TW_TEST_DATA_DIR"));
    }
    void init()
    {
        store().clear();
        m_dialogs = ScriptedDialogs();
    }
    void cleanup() { closeFrame(); }

    void startsWithDocumentOneAndTheBarsAsTheyShouldBe()
    {
        frmMain &frame = open();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Tagwright"));
        // Empty settings store: 1000, 1000, 6500, 6500 twips (15 a pixel at 96 DPI here).
        QCOMPARE(frame.pos(), QPoint(67, 67));
        QCOMPARE(frame.size(), QSize(433, 433));
        QCOMPARE(frame.documents().size(), 1);
        frmDocument *doc = frame.activeDocument();
        QVERIFY(doc);
        QCOMPARE(doc->caption(), QStringLiteral("Document 1"));
        QTRY_VERIFY_WITH_TIMEOUT(doc->textEdit->hasFocus(), test::kCeiling);
        QCOMPARE(frame.activeControl(), doc->textEdit);

        QVERIFY(!frame.toolBar->isHidden());
        QVERIFY(!frame.editBar->isHidden());
        QVERIFY(frame.advancedBar->isHidden());
        QVERIFY(!frame.statusBar()->isHidden());
        QCOMPARE(frame.statusText->text(), QStringLiteral("Status"));
        QVERIFY(!frame.statusDate->text().isEmpty());
        QCOMPARE(button("CmdAdvanced")->text(), QStringLiteral("&Advanced"));
        QCOMPARE(button("CmdAdvanced")->toolTip(), QStringLiteral("Advanced toolbar"));
        QCOMPARE(frame.editBar->sizeBox->currentText(), QStringLiteral("1"));
        QCOMPARE(frame.editBar->sizeBox->count(), 6);
        QCOMPARE(frame.editBar->sizeBox->itemText(5), QStringLiteral("6"));
        for (QAction *a : {a().viewToolbar, a().viewEditBars, a().viewStatusBar,
                           a().documentViewToolbar, a().documentViewEditBars})
            QVERIFY2(a->isChecked(), qPrintable(a->objectName()));

        // A sample of the bars' captions, tooltips and fonts.
        QPushButton *underline = button("CmdUndeline");
        QCOMPARE(underline->toolTip(), QStringLiteral("Undeline"));
        QVERIFY(underline->font().underline());
        QVERIFY(underline->font().bold());
        QCOMPARE(underline->font().pointSizeF(), 10.5);
        QCOMPARE(button("CmdOpenProcedure")->font().pointSizeF(), 13.5);
        QCOMPARE(button("CmdTable")->toolTip(), QStringLiteral("Reset Button"));
        QCOMPARE(button("CmdTemplate")->geometry(), QRect(8, 8, 70, 25));
        QCOMPARE(button("CmdBlockQuote")->height(), 33);
        QCOMPARE(frame.toolBar->actions().size(), 11);
    }

    // Each bar button, pressed once over the selected word "sel", writes its
    // own command's text (a telling part of it here: the generators' tests
    // check the whole); the focus goes back to the editor only where the
    // command gives it back.
    void everyBarButtonRunsItsOwnCommand_data()
    {
        tw::test::columns<QString, QStringList>("name", "answers");
        QTest::addColumn<QString>("firstPrompt"); // title of the first question, if any
        QTest::addColumn<QString>("after"); // the editor's text, or a part of it after a question
        QTest::addColumn<bool>("focusBack");
        const auto row = [](const char *name, const QStringList &answers, const char *prompt, const char *after,
                            bool focusBack = true) {
            QTest::newRow(name) << QString::fromLatin1(name) << answers << QString::fromLatin1(prompt)
                                << QString::fromLatin1(after) << focusBack;
        };
        row("CmdBold", {}, "", "<B>sel</B>");
        row("CmdItalic", {}, "", "<I>sel</I>");
        row("CmdUndeline", {}, "", "<U>sel</U>");
        row("CmdCenter", {}, "", "<CENTER>sel</CENTER>", false);
        row("CmdLeft", {}, "", "<DIV ALIGN=left>sel</DIV>", false);
        row("CmdRight", {}, "", "<DIV ALIGN=right>sel</DIV>", false);
        row("CmdLine", {}, "", "<HR>\n");
        row("CmdOpenProcedure", {}, "", "<");
        row("CmdCloseProcedure", {}, "", ">");
        row("CmdParagraphe", {}, "", "<P>");
        row("BreakLine", {}, "", "<BR>");
        row("CmdBlockQuote", {}, "", "<BLOCKQUOTE>sel</BLOCKQUOTE>");
        row("CmdForm", {"a", "post"}, "Form Action", "<FORM ACTION=\"a\" METHOD=\"post\">");
        row("CmdCheckBox", {"n", "v"}, "CheckBox Name", "TYPE=\"CHECKBOX\" NAME=\"n\" VALUE=\"v\">sel");
        row("CmdRadio", {"n", "v"}, "Radio Name", "TYPE=\"RADIO\" NAME=\"n\" VALUE=\"v\">sel");
        row("CmdText", {"n", "v", "1", "2"}, "Text Name", "TYPE=\"TEXT\" NAME=\"n\" VALUE=\"v\" SIZE=2 MAXLENGTH=1>");
        row("TextArea", {"n", "1", "2"}, "Text Area Name", "<TEXTAREA NAME=n ROWS=2 COLS=1>");
        row("CmdSubmit", {"n", "v"}, "Submit Button Name", "TYPE=\"SUBMIT\" NAME=\"n\" VALUE=\"v\">");
        row("CmdReset", {"n", "v"}, "Reset Button Name", "TYPE=\"RESET\" NAME=\"n\" VALUE=\"v\">");
        row("CmdTable", {"1", "1", "0"}, "Table Cols", "<TD> edit here... </TD>");
        // A count of 0 names no animation: asked, nothing written.
        row("CmdPicFlip", {"0"}, "Animation Number", "sel", false);
        row("CmdInsertPic", {"1", "l", "p", ""}, "Picture Number", "<IMG SRC=\"p\" NAME=\"Pic1\"", false);
    }
    void everyBarButtonRunsItsOwnCommand()
    {
        auto [name, answers, firstPrompt, after, focusBack] = tw::test::fetch<QString, QStringList, QString, QString, bool>(
            "name", "answers", "firstPrompt", "after", "focusBack");
        frmMain &frame = open();
        SourceEditor *editor = editorOf(frame.activeDocument());
        typeAndSelectAll(editor, QStringLiteral("sel"));
        if (frame.advancedBar->isHidden() && !button(qPrintable(name))->isVisible())
            click("CmdAdvanced");
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
        m_dialogs.answers(answers);
        click(qPrintable(name));
        if (firstPrompt.isEmpty() || after == QLatin1String("sel"))
            QCOMPARE(editor->textExact(), after);
        else
            QVERIFY2(editor->textExact().contains(after), qPrintable(editor->textExact()));
        QCOMPARE(m_dialogs.promptLog().value(0).section(QLatin1Char('|'), 0, 0), firstPrompt);
        QCOMPARE(m_dialogs.remaining(), 0);
        if (focusBack)
            QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
        else
            QVERIFY(button(qPrintable(name))->hasFocus());
    }

    // The size box, the palette, Links, Image and Properties are reached from
    // their buttons (and Properties from the document's File menu too).
    void dialogButtonsOpenTheirOwnWindows()
    {
        frmMain &frame = open();
        SourceEditor *editor = editorOf(frame.activeDocument());
        typeAndSelectAll(editor, QStringLiteral("sel"));
        frame.editBar->sizeBox->setEditText(QStringLiteral("+2"));
        click("CmdSize");
        QCOMPARE(editor->textExact(), QStringLiteral("<FONT SIZE=+2>sel</FONT>"));
        editor->selectAll(true);
        QTest::keyClick(frame.editBar->sizeBox->lineEdit(), Qt::Key_Return);
        QCOMPARE(editor->textExact(), QStringLiteral("<FONT SIZE=+2><FONT SIZE=+2>sel</FONT></FONT>"));
        QCOMPARE(frame.editBar->sizeBox->count(), 6); // Enter added nothing to the list

        QStringList opened;
        const auto record = [&opened](const char *pick) {
            tw::test::onNextModal([&opened, pick](QWidget *w) {
                opened << w->objectName();
                if (auto *cell = pick ? w->findChild<QPushButton *>(QLatin1String(pick)) : nullptr)
                    QTest::mouseClick(cell, Qt::LeftButton);
                else
                    QTest::keyClick(w, Qt::Key_Escape);
            });
        };
        editor->selectAll(true);
        typeAndSelectAll(editor, QStringLiteral("sel"));
        record("a2");
        click("CmdFontColor");
        QCOMPARE(editor->textExact(), QStringLiteral("<FONT COLOR=\"#C0C0C0\">sel</FONT>"));
        editor->selectAll(true);
        record(nullptr);
        click("CmdLinks");
        record(nullptr);
        click("CmdImage");
        record(nullptr);
        click("CmdProperties");
        record(nullptr);
        a().fileProperties->trigger();
        QCOMPARE(opened, (QStringList{"frmColor", "frmLinks", "frmPicPath", "frmOptions", "frmOptions"}));
        QCOMPARE(editor->textExact(), QStringLiteral("<FONT COLOR=\"#C0C0C0\">sel</FONT>"));
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), test::kCeiling);
    }

    // Preview, Web Browser and Contents open browser windows; a browser window
    // brings its own menus, and the frame's shortcuts step aside for them.
    void browserWindowsBringTheirOwnMenus()
    {
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        QTemporaryDir dir;
        frmMain &frame = open();
        frmDocument *doc = frame.activeDocument();
        doc->textEdit->replaceSelectionExact(QStringLiteral("<TITLE>Seen</TITLE>"));
        m_dialogs.yes().file(dir.filePath(QStringLiteral("seen.htm")));
        press("tbPreview");
        auto *preview = qobject_cast<frmBrowser *>(frame.activeChild());
        QVERIFY(preview);
        QTRY_COMPARE_WITH_TIMEOUT(preview->windowTitle(), QStringLiteral("Seen"), test::kCeiling);
        QCOMPARE(menuTitles(frame), (QStringList{"mnuFile:&File", "mnuView:&View", "mnuFavorites:F&avorites",
                                                 "mnuHelp:&Help"}));
        QVERIFY(frame.menuBar()->actions().first()->menu() == preview->menus().first());
        QVERIFY(!a().fileClose->isEnabled());

        press("tbExplorer");
        a().contents->trigger();
        QCOMPARE(frame.mdiArea->subWindowList().size(), 4);

        frame.mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
        QCOMPARE(menuTitles(frame),
                 (QStringList{"mnuFile:&File", "mnuEdit:&Edit", "mnuView:&View", "mnuHelp:&Help"}));
        QVERIFY(a().fileClose->isEnabled());
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    void altAndAMenuLetterOpensTheMenuNotAButton()
    {
        frmMain &frame = open();
        frmDocument *doc = frame.activeDocument();
        QTRY_VERIFY_WITH_TIMEOUT(doc->textEdit->hasFocus(), test::kCeiling);
        QTest::keyClick(doc->textEdit, Qt::Key_F, Qt::AltModifier); // also "&Font Color"
        QTRY_VERIFY_WITH_TIMEOUT(frame.menus().documentFile->isVisible(), test::kCeiling);
        QTest::keyClick(frame.menus().documentFile, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!frame.menus().documentFile->isVisible(), test::kCeiling);
        QVERIFY(!button("CmdFontColor")->hasFocus());
        // Letters that no menu uses still reach the bar buttons.
        QTest::keyClick(doc->textEdit, Qt::Key_T, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(frame.activeDocument()->caption(), QStringLiteral("Document 2 - Template"),
                                  test::kCeiling);
    }

    void advancedToggleAndViewTogglesKeepTheUsersChoice()
    {
        frmMain &frame = open();
        frmDocument *doc = frame.activeDocument();
        QPushButton *advanced = button("CmdAdvanced");

        click("CmdAdvanced");
        QVERIFY(!frame.advancedBar->isHidden());
        QCOMPARE(advanced->text(), QStringLiteral("&Hide"));
        QCOMPARE(advanced->toolTip(), QStringLiteral("Hide Advanced toolbar"));
        QTRY_VERIFY_WITH_TIMEOUT(doc->textEdit->hasFocus(), test::kCeiling);

        // Hiding the edit bars from the document's menu unchecks both menus at once.
        a().documentViewEditBars->trigger();
        QVERIFY(frame.editBar->isHidden());
        QVERIFY(frame.advancedBar->isHidden());
        QVERIFY(!a().documentViewEditBars->isChecked());
        QVERIFY(!a().viewEditBars->isChecked());
        a().viewEditBars->trigger();
        QVERIFY(!frame.editBar->isHidden());
        QVERIFY(!frame.advancedBar->isHidden()); // the user had asked for it
        QVERIFY(a().documentViewEditBars->isChecked());

        click("CmdAdvanced");
        QCOMPARE(advanced->text(), QStringLiteral("&Advanced"));
        a().viewEditBars->trigger();
        a().viewEditBars->trigger();
        QVERIFY(!frame.editBar->isHidden());
        QVERIFY(frame.advancedBar->isHidden());

        a().documentViewToolbar->trigger();
        QVERIFY(frame.toolBar->isHidden());
        QVERIFY(!a().viewToolbar->isChecked());
        a().viewToolbar->trigger();
        QVERIFY(a().documentViewToolbar->isChecked());

        // Minimizing the frame is not hiding a bar.
        frame.showMinimized();
        QTest::qWait(20);
        QVERIFY(a().viewToolbar->isChecked());
        QVERIFY(a().documentViewEditBars->isChecked());
        frame.showNormal();

        a().viewStatusBar->trigger();
        QVERIFY(frame.statusBar()->isHidden());
        QVERIFY(!a().viewStatusBar->isChecked());
        a().viewStatusBar->trigger();
        QVERIFY(!frame.statusBar()->isHidden());
    }

    void documentCounterAndMenuBarSwitch()
    {
        frmMain &frame = open();
        press("tbNew");
        // The shortcut of the shared action works from a document's menus.
        QTRY_VERIFY_WITH_TIMEOUT(frame.activeDocument()->textEdit->hasFocus(), test::kCeiling);
        QTest::keyClick(frame.activeDocument()->textEdit, Qt::Key_N, Qt::ControlModifier);
        QStringList captions;
        for (frmDocument *d : frame.documents())
            captions << d->caption();
        QCOMPARE(captions, (QStringList{"Document 1", "Document 2", "Document 3"}));
        QCOMPARE(menuTitles(frame),
                 (QStringList{"mnuFile:&File", "mnuEdit:&Edit", "mnuView:&View", "mnuHelp:&Help"}));
        QVERIFY(frame.menuBar()->actions().first()->menu()->actions().contains(a().fileClose));

        frame.mdiArea->setActiveSubWindow(frame.mdiArea->subWindowList().at(1));
        a().fileClose->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 2, test::kCeiling);
        QCOMPARE(frame.documents().at(1)->caption(), QStringLiteral("Document 3"));
        press("tbNew");
        QCOMPARE(frame.activeDocument()->caption(), QStringLiteral("Document 4"));

        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
        QVERIFY(frame.menuBar()->actions().first()->menu()->actions().contains(a().fileExit));
        QVERIFY(!a().fileClose->isEnabled());
        QCOMPARE(a().helpTemplate->shortcut(), QKeySequence(Qt::Key_F1));

        // With no document open the commands change nothing and show nothing.
        clipboard::setText(QStringLiteral("kept"));
        for (const char *name : {"CmdBold", "CmdLine", "CmdCenter", "CmdOpenProcedure", "CmdAdvanced"})
            click(name);
        press("tbCopy");
        press("tbCut");
        press("tbPaste");
        QCOMPARE(clipboard::text(), QStringLiteral("kept"));
        QVERIFY(m_dialogs.shown.isEmpty());
        frame.NewDocument();
        QCOMPARE(frame.activeDocument()->caption(), QStringLiteral("Document 5"));
    }

    void cutCopyAndPaste()
    {
        frmMain &frame = open();
        SourceEditor *editor = editorOf(frame.activeDocument());
        typeAndSelectAll(editor, QStringLiteral("one two"));
        editor->setSelection(0, 0, 0, 3);
        press("tbCopy");
        QCOMPARE(clipboard::text(), QStringLiteral("one"));
        editor->setSelection(0, 4, 0, 7);
        press("tbPaste");
        QCOMPARE(editor->textExact(), QStringLiteral("one one"));
        editor->setSelection(0, 0, 0, 4);
        press("tbCut");
        QCOMPARE(editor->textExact(), QStringLiteral("one"));
        QCOMPARE(clipboard::text(), QStringLiteral("one "));
        // An empty clipboard does not eat the selection.
        clipboard::setText(QString());
        editor->selectAll(true);
        press("tbPaste");
        QCOMPARE(editor->textExact(), QStringLiteral("one"));
        QVERIFY(editor->hasSelectedText());
    }

    void aboutShowsTheSplashModallyUntilClicked()
    {
        open();
        bool seen = false;
        tw::test::onNextModal([&](QWidget *w) {
            auto *splash = qobject_cast<frmSplash *>(w);
            QVERIFY(splash);
            seen = true;
            QCOMPARE(splash->lblVersion->text(), QStringLiteral("Version 1.03"));
            QCOMPARE(splash->lblPlatform->text(), QStringLiteral("for Windows 98"));
            QTest::mouseClick(splash->fraMainFrame, Qt::LeftButton, {}, QPoint(30, 30));
        });
        a().about->trigger();
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closingSavesThePlacementUnlessMinimized()
    {
        frmMain &frame = open();
        frame.move(200, 150);
        frame.resize(600, 450);
        frame.close();
        {
            QSettings s = store();
            QCOMPARE(s.value(QStringLiteral("Settings/MainLeft")).toString(), QStringLiteral("3000"));
            QCOMPARE(s.value(QStringLiteral("Settings/MainTop")).toString(), QStringLiteral("2250"));
            QCOMPARE(s.value(QStringLiteral("Settings/MainWidth")).toString(), QStringLiteral("9000"));
            QCOMPARE(s.value(QStringLiteral("Settings/MainHeight")).toString(), QStringLiteral("6750"));
        }
        frmMain &again = open();
        QCOMPARE(again.pos(), QPoint(200, 150));
        QCOMPARE(again.size(), QSize(600, 450));
        again.move(10, 10);
        again.showMinimized();
        again.close();
        QCOMPARE(store().value(QStringLiteral("Settings/MainLeft")).toString(), QStringLiteral("3000"));

        // A placement wholly off the screen is not restored.
        store().setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("900000"));
        frmMain &third = open();
        QCOMPARE(third.pos(), QPoint(67, 67));
    }

    // The caret stops blinking after a rest without input and blinks again at
    // the next key, so an idle window wakes nothing up.
    void caretRestsWhenTheUserDoes()
    {
        frmMain &frame = open();
        SourceEditor *editor = editorOf(frame.activeDocument());
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
        const long blinking = editor->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD);
        QVERIFY(blinking > 0);
        editor->setCaretRestAfter(30);
        QTest::keyClick(editor, Qt::Key_A);
        QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD), blinking);
        QTRY_COMPARE_WITH_TIMEOUT(editor->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD), 0L, test::kCeiling);
        QTest::keyClick(editor, Qt::Key_B);
        QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD), blinking);
        QCOMPARE(editor->textExact(), QStringLiteral("ab"));
    }

    void idleFrameRunsNoFastTimers()
    {
        frmMain &frame = open();
        for (int i = 0; i < 9; ++i)
            frame.NewDocument();
        // The clock is a single shot re-armed once a minute; nothing repeats fast.
        for (QTimer *timer : frame.findChildren<QTimer *>()) {
            if (timer->isActive() && !timer->isSingleShot())
                QVERIFY2(timer->interval() >= 1000, qPrintable(timer->objectName()));
        }
    }
};

QTEST_MAIN(FrameTest)
#include "tst_frame.moc"
