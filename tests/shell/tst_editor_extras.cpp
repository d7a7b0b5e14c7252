#include "DataRows.h"
#include "StartedFrame.h"
#include "TestFiles.h"
#include "documents/DocumentJournal.h"
#include "editor/EditorSettings.h"
#include "documents/RecentPages.h"
#include "editor/EditorLook.h"
#include "editor/FindDialog.h"
#include "documents/PageWatcher.h"
#include "editor/TypingHelp.h"
#include "platform/NoticeBar.h"
#include "shell/FrameMenus.h"

#include <QClipboard>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <Qsci/qscilexerhtml.h>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::readBytes;
using tw::test::writeBytes;

// The editor commands every source editor has, reached as the user reaches
// them: shortcuts typed into the page and the document window's menus.
class EditorExtrasTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    FindDialog *findDialog() const { return m_frame->findChild<FindDialog *>(); }
    QMenu *recentMenu() const
    {
        QMenu *menu = tw::test::menuItem(m_frame->menus().mnuFile, "mnuRecentPages")->menu();
        emit menu->aboutToShow();
        return menu;
    }
    QStringList captions(QMenu *menu) const
    {
        QStringList out;
        for (QAction *a : menu->actions())
            out << a->text();
        return out;
    }
    // Waits until the scripted dialogs have shown `count` boxes in all.
    bool shownCount(int count)
    {
        return QTest::qWaitFor([&] { return m_dialogs.shown.size() >= count; }, test::kCeiling)
               && m_dialogs.shown.size() == count;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dialogs = ScriptedDialogs();
        QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright")).remove(QStringLiteral("Editor"));
    }
    void cleanup() { closeFrame(); }

    void editMenuFollowsFileInTheDocumentWindow()
    {
        frmMain &frame = open();
        QCOMPARE(frame.menus().documentMenus().at(1), frame.menus().documentEdit);
        QStringList items;
        for (QAction *a : frame.menus().documentEdit->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('|')
                                                                 + a->shortcut().toString());
        QCOMPARE(items, (QStringList{"&Undo|Ctrl+Z", "&Redo|Ctrl+Y", "-", "Cu&t|Ctrl+X", "&Copy|Ctrl+C",
                                     "&Paste|Ctrl+V", "-", "Select &All|Ctrl+A", "-", "&Find...|Ctrl+F",
                                     "Find &Next|F3", "Find Pre&vious|Shift+F3", "-", "R&eplace...|Ctrl+H",
                                     "Find &in Files...|Ctrl+Shift+F", "-", "Go to &Line...|Ctrl+G", "-",
                                     "Check &Page|F7", "Check As You Type|", "Check &Site|", "Check &Spelling|",
                                     "Spelling Lan&guage|", "Tidy &Up Page|"}));
        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(!frame.commands().find->isEnabled(), test::kCeiling);
        // The frame's own File item keeps the key when the toolbar is hidden.
        frame.commands().viewToolbar->trigger();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame, test::kCeiling));
        QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(frame.activeDocument(), test::kCeiling);
        frame.commands().viewToolbar->trigger();
    }

    // Undo, Redo, Cut, Copy and Paste are enabled only while they can act on
    // the active page; Cut runs the toolbar's command.
    void editMenuActsOnlyWhenItCan()
    {
        frmMain &frame = open();
        CommandActions &c = a();
        const auto enabled = [&c] {
            QString out;
            for (QAction *item : {c.undo, c.redo, c.editCut, c.editCopy, c.editPaste})
                out += item->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return out;
        };
        QGuiApplication::clipboard()->clear();
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringLiteral("00000"), test::kCeiling);
        SourceEditor *editor = frame.activeDocument()->textEdit;
        editor->setFocus();
        QTest::keyClicks(editor, QStringLiteral("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringLiteral("10000"), test::kCeiling);
        c.selectAll->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringLiteral("10110"), test::kCeiling);
        c.editCut->trigger();
        QCOMPARE(editor->documentBytes(), QByteArray());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringLiteral("10001"), test::kCeiling);
        c.undo->trigger();
        QCOMPARE(editor->documentBytes(), QByteArray("ab"));
        QTRY_COMPARE_WITH_TIMEOUT(enabled().left(2), QStringLiteral("11"), test::kCeiling);
        editor->loadBytes("loaded");
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringLiteral("00001"), test::kCeiling);
        frame.mdiArea->closeAllSubWindows();
        QTRY_COMPARE_WITH_TIMEOUT(enabled(), QStringLiteral("00000"), test::kCeiling);
    }

    // Ctrl+F typed in the page opens the find window with the selection;
    // F3 and Shift+F3 typed in the page step through the matches.
    void shortcutsFromThePage()
    {
        frmMain &frame = open();
        SourceEditor *editor = frame.activeDocument()->textEdit;
        editor->loadBytes("one two one two one");
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
        editor->SendScintilla(QsciScintilla::SCI_SETSEL, 4UL, 7L);
        QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
        FindDialog *dialog = findDialog();
        QVERIFY(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), test::kCeiling);
        QCOMPARE(dialog->findEdit->text(), QStringLiteral("two"));
        QVERIFY(dialog->replaceEdit->isHidden());

        dialog->findEdit->setText(QStringLiteral("one"));
        editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0UL);
        editor->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
        QTest::keyClick(editor, Qt::Key_F3);
        QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), 0L);
        QTest::keyClick(editor, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), 16L);
        QCOMPARE(dialog->status->text(), QStringLiteral("Reached the start of the page; went on from the end."));

        QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->replaceEdit->isVisible(), test::kCeiling);
        QCOMPARE(editor->documentBytes(), QByteArray("one two one two one"));
    }

    // The window acts on whichever page is active when a command runs.
    void followsTheActivePage()
    {
        frmMain &frame = open();
        SourceEditor *first = frame.activeDocument()->textEdit;
        first->loadBytes("aaa");
        frame.commands().replace->trigger();
        FindDialog *dialog = findDialog();
        frame.NewDocument();
        SourceEditor *second = frame.activeDocument()->textEdit;
        second->loadBytes("a-a");
        dialog->findEdit->setText(QStringLiteral("a"));
        dialog->replaceEdit->setText(QStringLiteral("b"));
        dialog->replaceAll();
        QCOMPARE(second->documentBytes(), QByteArray("b-b"));
        QCOMPARE(first->documentBytes(), QByteArray("aaa"));
        m_dialogs.no(); // do not save the changed page
        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
        dialog->replaceAll();
        QCOMPARE(dialog->status->text(), QStringLiteral("There is no page to search."));
    }

    // Pages up to the limit are highlighted, bytes intact; a larger page
    // loads into a document without style bytes and the status bar says so.
    void highlightingUpToTheSizeLimit()
    {
        frmMain &frame = open();
        SourceEditor *editor = frame.activeDocument()->textEdit;
        EditorLook *look = EditorLook::of(editor);
        QVERIFY(look);
        auto *notice = frame.statusBar()->findChild<QLabel *>(QStringLiteral("plainNotice"));
        QVERIFY(notice);

        const QByteArray page("<p class=\"a\">x</p>\0<script>var s = 1;</script>\r\n\xE9", 49);
        editor->loadBytes(page);
        QCOMPARE(editor->documentBytes(), page);
        QVERIFY(look->hasStyleBytes());
        QCOMPARE(editor->lexer(), look->lexer());
        editor->SendScintilla(QsciScintilla::SCI_COLOURISE, 0UL, -1L);
        QVERIFY(editor->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, 1UL) != 0); // the tag name
        QVERIFY(notice->isHidden());

        QByteArray large = QByteArray("<p>line</p>\n").repeated(EditorLook::kPlainAbove / 12 + 1);
        editor->loadBytes(large);
        QVERIFY(!look->hasStyleBytes());
        QVERIFY(look->isPlain());
        QCOMPARE(editor->lexer(), nullptr);
        QCOMPARE(editor->documentLength(), large.size());
        QVERIFY(notice->isVisible());

        // The notice follows the active window.
        frame.NewDocument();
        QTRY_VERIFY_WITH_TIMEOUT(notice->isHidden(), test::kCeiling);

        editor->loadBytes(page);
        QVERIFY(look->hasStyleBytes());
        QCOMPARE(editor->lexer(), look->lexer());
    }

    // Both toggles act on every open page and are kept for the next start.
    void viewTogglesAreKept()
    {
        {
            // Flags written by hand that read as neither on nor off.
            QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
            store.setValue(QStringLiteral("Editor/wordWrap"), QStringLiteral("maybe"));
            store.setValue(QStringLiteral("Editor/folding"), QStringLiteral("no thanks"));
        }
        {
            frmMain &frame = open();
            QVERIFY(frame.menus().documentView->actions().contains(frame.commands().viewLineNumbers));
            SourceEditor *first = frame.activeDocument()->textEdit;
            first->loadBytes("<b>x</b>");
            QVERIFY(first->marginWidth(0) > 0);
            QVERIFY(!frame.commands().viewWordWrap->isChecked());
            QVERIFY(frame.commands().viewFolding->isChecked());
            QCOMPARE(first->wrapMode(), QsciScintilla::WrapNone);
            QCOMPARE(first->folding(), QsciScintilla::BoxedTreeFoldStyle);
            tw::test::menuItem(frame.menus().mnuView, "mnuViewWordWrap")->trigger();
            frame.commands().viewWhiteSpace->trigger();
            QCOMPARE(first->wrapMode(), QsciScintilla::WrapWord);
            QCOMPARE(first->whitespaceVisibility(), QsciScintilla::WsVisible);
            frame.commands().viewLineNumbers->trigger();
            // The frame's own View item runs the same toggle.
            QAction *frameHighlighting = tw::test::menuItem(frame.menus().mnuView, "mnuViewHighlighting");
            QVERIFY(frameHighlighting && frameHighlighting != frame.commands().viewHighlighting);
            frameHighlighting->trigger();
            QVERIFY(!frame.commands().viewHighlighting->isChecked());
            QVERIFY(!frameHighlighting->isChecked());
            QCOMPARE(first->marginWidth(0), 0);
            QCOMPARE(first->lexer(), nullptr);
            m_frame.reset();
        }
        QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
        QCOMPARE(store.value(QStringLiteral("Editor/lineNumbers")).toString(), QStringLiteral("false"));
        QCOMPARE(store.value(QStringLiteral("Editor/highlighting")).toString(), QStringLiteral("false"));
        QCOMPARE(store.value(QStringLiteral("Editor/wordWrap")).toString(), QStringLiteral("true"));
        QCOMPARE(store.value(QStringLiteral("Editor/whiteSpace")).toString(), QStringLiteral("true"));
        QVERIFY(!store.contains(QStringLiteral("Settings/lineNumbers")));

        frmMain &frame = open();
        QVERIFY(!frame.commands().viewLineNumbers->isChecked());
        QVERIFY(!frame.commands().viewHighlighting->isChecked());
        QVERIFY(!tw::test::menuItem(frame.menus().mnuView, "mnuViewLineNumbers")->isChecked());
        SourceEditor *editor = frame.activeDocument()->textEdit;
        QCOMPARE(editor->marginWidth(0), 0);
        QCOMPARE(editor->lexer(), nullptr);
        QCOMPARE(editor->wrapMode(), QsciScintilla::WrapWord);
        QCOMPARE(editor->whitespaceVisibility(), QsciScintilla::WsVisible);
        QVERIFY(!editor->eolVisibility());
        frame.commands().viewHighlighting->trigger();
        QCOMPARE(editor->lexer(), EditorLook::of(editor)->lexer());
    }

    // The help-while-typing toggles: all three on at first, in the frame's
    // View menu and the document window's; one turned off is kept, applies to
    // the pages open and opened later, and is off again after a restart.
    void typingTogglesAreKeptAndApplied()
    {
        const auto typingItems = [](QMenu *menu) {
            QStringList out;
            for (const char *name : {"mnuViewAutoCloseTags", "mnuViewCompletion", "mnuViewMatchingTags"}) {
                QAction *item = tw::test::menuItem(menu, name);
                out << item->text() + (item->isChecked() ? QStringLiteral(" on") : QStringLiteral(" off"));
            }
            return out;
        };
        frmMain *frame = &open();
        const QStringList allOn{"Auto-&Close Tags on", "&Completion on", "&Matching Tags on"};
        QCOMPARE(typingItems(frame->menus().mnuView), allOn);
        QCOMPARE(typingItems(frame->menus().documentView), allOn);

        SourceEditor *first = frame->activeDocument()->textEdit;
        tw::test::menuItem(frame->menus().mnuView, "mnuViewAutoCloseTags")->trigger();
        QCOMPARE(typingItems(frame->menus().documentView),
                 (QStringList{"Auto-&Close Tags off", "&Completion on", "&Matching Tags on"}));
        QVERIFY(!TypingHelp::of(first)->choices().closeTags);
        first->setFocus();
        QTest::keyClicks(first, QStringLiteral("<p>x</p>"));
        QCOMPARE(first->documentBytes(), QByteArray("<p>x</p>"));
        QTest::keyClicks(first, QStringLiteral(" <"));
        QVERIFY(first->SendScintilla(QsciScintilla::SCI_AUTOCACTIVE)); // completion is still on

        frame->commands().viewCompletion->trigger(); // the document window's item
        frame->NewDocument();
        const TypingHelp::Choices later = TypingHelp::of(frame->activeDocument()->textEdit)->choices();
        QVERIFY(!later.closeTags && !later.completion && later.matchingTags);

        QSettings settings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
        QCOMPARE(settings.value(QStringLiteral("Editor/autoCloseTags")).toBool(), false);
        QCOMPARE(settings.value(QStringLiteral("Editor/completion")).toBool(), false);

        closeFrame();
        frame = &open();
        QCOMPARE(typingItems(frame->menus().mnuView),
                 (QStringList{"Auto-&Close Tags off", "&Completion off", "&Matching Tags on"}));
        tw::test::menuItem(frame->menus().mnuView, "mnuViewMatchingTags")->trigger();
        QVERIFY(!TypingHelp::of(frame->activeDocument()->textEdit)->choices().matchingTags);
    }

    void recentListKeepsTenNewestFirst_data()
    {
        tw::test::columns<QStringList, QString, QStringList>("before", "page", "after");
        QTest::newRow("new") << QStringList{"b", "c"} << "a" << QStringList{"a", "b", "c"};
        QTest::newRow("again moves up") << QStringList{"b", "a", "c"} << "a" << QStringList{"a", "b", "c"};
        QTest::newRow("eleventh drops the oldest")
            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"} << "0"
            << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    }
    void recentListKeepsTenNewestFirst()
    {
        auto [before, page, after] = tw::test::fetch<QStringList, QString, QStringList>("before", "page", "after");
        QCOMPARE(withRecentPage(before, page), after);
    }

    // Opened and saved pages are listed in both File menus; odd names come
    // back from the settings store intact; a vanished page is taken off.
    void recentPagesInTheFileMenus()
    {
        QTemporaryDir dir;
        const QString blank = dir.filePath(QStringLiteral("my page.htm"));
        const QString letters = dir.filePath(QStringLiteral("\u00e9t\u00e9 \u4e2d & co.htm"));
        const QString newline = dir.filePath(QStringLiteral("two\nlines.htm"));
        for (const QString &path : {blank, letters, newline})
            QVERIFY(writeBytes(path, path.toUtf8()));
        frmMain &frame = open();
        QCOMPARE(captions(recentMenu()), QStringList{"(none)"});
        frame.openFiles({blank, letters, newline});
        QCOMPARE(recentList::pages(), (QStringList{newline, letters, blank}));
        QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
        QCOMPARE(store.value(QStringLiteral("Editor/recentPages/1/path")).toString(), newline);
        QCOMPARE(store.value(QStringLiteral("Editor/recentPages/size")).toInt(), 3);

        // Saving a page puts it first.
        frame.mdiArea->setActiveSubWindow(frame.mdiArea->subWindowList().at(1));
        QCOMPARE(frame.activeDocument()->caption(), blank);
        frame.commands().fileSave->trigger();
        QCOMPARE(recentList::pages(), (QStringList{blank, newline, letters}));

        QMenu *menu = recentMenu();
        QCOMPARE(captions(menu), (QStringList{"&1 " + blank, "&2 " + dir.path() + "/two\u21B5lines.htm",
                                              "&3 " + dir.path() + "/\u00e9t\u00e9 \u4e2d && co.htm"}));
        // The document windows' File menu has a list of its own, the same.
        QMenu *documentList = tw::test::menuItem(frame.menus().documentFile, "mnuRecentPages")->menu();
        QVERIFY(documentList && documentList != menu);
        emit documentList->aboutToShow();
        QCOMPARE(captions(documentList), captions(menu));

        // Choosing a listed page opens it.
        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
        menu->actions().at(1)->trigger();
        QCOMPARE(frame.activeDocument()->caption(), newline);
        QCOMPARE(frame.activeDocument()->textEdit->documentBytes(), newline.toUtf8());

        // A page gone from the disk: a message, and it leaves the list.
        QVERIFY(QFile::remove(letters));
        m_dialogs.acknowledge();
        const int before = m_dialogs.shown.size();
        recentMenu()->actions().at(2)->trigger();
        QCOMPARE(m_dialogs.shown.size(), before + 1);
        QCOMPARE(m_dialogs.shown.last().text,
                 letters + QStringLiteral(" no longer exists. It has been taken off the recent pages."));
        QCOMPARE(recentList::pages(), (QStringList{newline, blank}));
        QCOMPARE(frame.documents().size(), 1);
    }

    // A real file changed underneath an open page; a reload takes the
    // encoding the page now has on disk.
    void reloadQuestion()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(path, "<p>old</p>"));
        frmMain &frame = open();
        frame.openFiles({path});
        frmDocument *document = frame.activeDocument();
        SourceEditor *editor = document->textEdit;
        QCOMPARE(document->encoding, PageEncoding::Utf8);

        // Unchanged page, Yes: the new text, unmodified; undo brings the old.
        m_dialogs.yes();
        QVERIFY(writeBytes(path, "<p>new \xE9\x80</p>"));
        QVERIFY(shownCount(1));
        QCOMPARE(m_dialogs.shown.at(0).text,
                 path + QStringLiteral(" was changed by another program.\n\nReload it? Undo takes the reload back."));
        QCOMPARE(editor->documentBytes(), QByteArray("<p>new \xC3\xA9\xE2\x82\xAC</p>"));
        QVERIFY(!editor->isModified());
        QCOMPARE(document->encoding, PageEncoding::Legacy);
        QCOMPARE(frame.statusBar()->findChild<QLabel *>(QStringLiteral("statusFormat"))->text(),
                 QStringLiteral("Windows-1252, LF"));
        editor->undo();
        QCOMPARE(editor->documentBytes(), QByteArray("<p>old</p>"));
        editor->redo();

        // Unsaved changes, No: nothing changes, and the question said so.
        editor->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        editor->replaceSelectedBytes("<!-- mine -->");
        m_dialogs.no();
        QVERIFY(writeBytes(path, "<p>theirs</p>"));
        QVERIFY(shownCount(2));
        QVERIFY(m_dialogs.shown.at(1).text.contains(QLatin1String("changes that are not saved")));
        // Yes would lose them: Enter answers No. Without unsaved changes Yes stays the default.
        QCOMPARE(m_dialogs.shown.at(1).extra, QStringLiteral("default No"));
        QCOMPARE(m_dialogs.shown.at(0).extra, QString());
        QCOMPARE(editor->documentBytes(), QByteArray("<p>new \xC3\xA9\xE2\x82\xAC</p><!-- mine -->"));

        // Our own save asks nothing, nor does a notice about an unchanged file.
        frame.commands().fileSave->trigger();
        QTest::qWait(300);
        frame.findChild<PageWatcher *>()->check(path);
        QCOMPARE(m_dialogs.shown.size(), 2);
        QCOMPARE(readBytes(path), QByteArray("<p>new \xE9\x80</p><!-- mine -->\r\n"));

        // Deleted: the text stays and counts as changed; the window says so, no box.
        QVERIFY(QFile::remove(path));
        QTRY_COMPARE_WITH_TIMEOUT(frame.activeDocument()->notices->texts(),
                     QStringList{path + QStringLiteral(" was deleted by another program. Its text stays in the "
                                                       "window; save it to write the file again.")}, test::kCeiling);
        QCOMPARE(m_dialogs.shown.size(), 2);
        QCOMPARE(editor->documentBytes(), QByteArray("<p>new \xC3\xA9\xE2\x82\xAC</p><!-- mine -->"));
        QVERIFY(editor->isModified());
    }

    // A save in place that fails on a full disk touches the file (it is opened
    // for writing and cut back to its old size): the program's own failed
    // write, no change by another program.
    void aFailedSaveIsNoChangeByAnotherProgram()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(path, "<p>old</p>"));
        // The page may be written, but its folder takes no new file: the save writes in place.
        // For everyone (one digit for owner, user, group and others).
        const auto all = [](int rwx) { return QFileDevice::Permissions::fromInt(rwx * 0x1111); };
        QVERIFY(QFile::setPermissions(path, all(QFile::ReadOther | QFile::WriteOther)));
        QVERIFY(QFile::setPermissions(dir.path(), all(QFile::ReadOther | QFile::ExeOther)));
        frmMain &frame = open();
        frame.openFiles({path});
        SourceEditor *editor = frame.activeDocument()->textEdit;
        editor->replaceSelectedBytes(QByteArray(64 * 1024, 'x'));

        auto *notices = frame.findChild<PageWatcher *>()->findChild<QFileSystemWatcher *>();
        QSignalSpy noticed(notices, &QFileSystemWatcher::fileChanged);
        m_dialogs.acknowledge();
        {
            tw::test::FileSizeLimit limit(4096); // as a full disk: the page cannot grow
            const bool root = geteuid() == 0; // root makes files in any folder: save as nobody
            if (root)
                QCOMPARE(seteuid(65534), 0);
            frame.commands().fileSave->trigger();
            if (root)
                QCOMPARE(seteuid(0), 0);
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(shownCount(1));
        QCOMPARE(m_dialogs.shown.at(0).text,
                 QStringLiteral("Cannot save \"%1\": the file would be too large for the size limit in force. "
                                "The page on disk was left as it was.")
                     .arg(path));
        QCOMPARE(readBytes(path), QByteArray("<p>old</p>"));

        // The system's notice of that write, and a look now: no question.
        QVERIFY(!noticed.isEmpty() || noticed.wait(test::kCeiling));
        QCoreApplication::processEvents();
        frame.findChild<PageWatcher *>()->check(path);
        QCOMPARE(m_dialogs.shown.size(), 1);
        QVERIFY(editor->isModified());

        // A real change by another program afterwards is still asked about.
        m_dialogs.no();
        QVERIFY(writeBytes(path, "<p>theirs, longer</p>"));
        QVERIFY(shownCount(2));
        QCOMPARE(m_dialogs.shown.at(1).kind, QStringLiteral("yesno"));
        QCOMPARE(m_dialogs.shown.at(1).extra, QStringLiteral("default No"));
        QCOMPARE(editor->documentLength(), qint64(64 * 1024 + 10));
    }

    // A journal that cannot be written while the user types is told in the
    // window's notice bar, with its reason, once: no box takes the keys, they
    // go on into the page, and Escape typed there closes the bar. With real
    // keys through the X server when run on one (e2e_recovery_notice).
    void anUnusableJournalIsToldInTheWindow()
    {
        const QString folder = DocumentJournal::defaultFolder();
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()));
        QVERIFY(writeBytes(folder, "a file where the folder should be"));
        frmMain &frame = open();
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame, test::kCeiling));
        frmDocument *document = frame.activeDocument();
        SourceEditor *editor = document->textEdit;
        QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), test::kCeiling);
        const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
        const auto xdotool = [](const QStringList &args) {
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
        };
        if (onX)
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(frame.winId())});
        const auto type = [&](const char *text) {
            if (onX)
                xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), QLatin1String(text)});
            else
                QTest::keyClicks(editor, QLatin1String(text));
        };
        type("one");
        QTRY_VERIFY_WITH_TIMEOUT(document->notices->isVisible(), test::kCeiling);
        type(" two");
        QTRY_COMPARE_WITH_TIMEOUT(editor->documentBytes(), QByteArray("one two"), test::kCeiling);
        document->findChild<DocumentJournal *>()->flushNow(); // the pause after typing tries again
        QCoreApplication::processEvents();
        QCOMPARE(document->notices->texts(),
                 QStringList{QStringLiteral("Tagwright cannot keep a recovery copy of unsaved changes in \"%1\": a "
                                            "part of its path is not a folder. Until it can, changes you have not "
                                            "saved are lost if Tagwright ends unexpectedly: save your pages to "
                                            "keep them.")
                                 .arg(folder)});
        QVERIFY(m_dialogs.shown.isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(editor->hasFocus());
        QVERIFY(document->notices->geometry().bottom() < editor->geometry().top());

        if (onX)
            xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        else
            QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(document->notices->isHidden(), test::kCeiling);
        QCOMPARE(editor->documentBytes(), QByteArray("one two"));
        QVERIFY(editor->hasFocus());
        QFile::remove(folder);
        document->closeWithoutQuestion();
    }

    // Many notices at once: the bar stops at half the window and the rest of
    // the text scrolls inside it, the last line still within reach.
    void longNoticesScrollInTheBar()
    {
        frmDocument document;
        document.resize(500, 400);
        document.show();
        QScrollArea *scroll = document.notices->findChild<QScrollArea *>(QStringLiteral("scrNotice"));
        QVERIFY(scroll);
        document.notice(QStringLiteral("short"));
        QTRY_VERIFY_WITH_TIMEOUT(document.notices->isVisible(), test::kCeiling);
        QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
        for (int i = 0; i < 30; ++i)
            document.notice(QStringLiteral("notice number %1").arg(i));
        QCoreApplication::processEvents();
        QVERIFY(document.notices->height() <= document.height() / 2);
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        const QLabel *text = document.notices->findChild<QLabel *>(QStringLiteral("lblNotice"));
        QVERIFY(text->mapTo(scroll->viewport(), QPoint(0, text->height())).y() <= scroll->viewport()->height());
    }
};

QTEST_MAIN(EditorExtrasTest)
#include "tst_editor_extras.moc"
