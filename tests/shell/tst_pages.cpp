#include "StartedFrame.h"
#include "TestFiles.h"
#include "shell/FileDrops.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QPushButton>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::Shown;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(tw::test::writeBytes(path, bytes));
}

const QString kOpenPages = QStringLiteral("HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*");

} // namespace

// The page-file commands as the user reaches them, answered from a script.
class PagesTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    static void type(frmDocument *doc, const QString &text) { doc->textEdit->replaceSelectionExact(text); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dialogs = ScriptedDialogs();
        tw::test::startIn(m_dir.path());
    }
    void cleanup() { closeFrame(); }

    void openPutsThePageInANewWindowCaptionedWithItsPath()
    {
        const QByteArray page("<P>caf\xc3\xa9</P>\r\nnext\n");
        writeFile(path("a.htm"), page);
        frmMain &frame = open();
        m_dialogs.file(path("a.htm"));
        press("tbOpen");
        QCOMPARE(m_dialogs.shown.at(0), (Shown{"open", {}, kOpenPages, "htm"}));
        frmDocument *doc = frame.activeDocument();
        QCOMPARE(doc->caption(), path("a.htm"));
        QCOMPARE(doc->textEdit->documentBytes(), page);
        QVERIFY(!doc->textEdit->isModified());
        // Opening a file does not raise the document counter.
        frame.NewDocument();
        QCOMPARE(frame.activeDocument()->caption(), QStringLiteral("Document 2"));

        // Cancelled: nothing. Unreadable: a message naming the file, no window.
        m_dialogs.file(QString()).file(path("missing.htm")).acknowledge();
        press("tbOpen");
        a().fileOpen->trigger();
        QCOMPARE(frame.documents().size(), 3);
        QCOMPARE(m_dialogs.shown.last().kind, QStringLiteral("message"));
        QVERIFY(m_dialogs.shown.last().text.contains(path("missing.htm")));
        QCOMPARE(m_dialogs.remaining(), 0);

        // Opened, but the reading fails (an input/output error): the new
        // window goes again without a question, and the error is shown.
        m_dialogs.file(QStringLiteral("/proc/self/mem")).acknowledge();
        press("tbOpen");
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 3, test::kCeiling);
        QCOMPARE(m_dialogs.shown.last(),
                 (Shown{"message", "Open", "Cannot open \"/proc/self/mem\": input/output error.", {}}));
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    void saveAsksForANameOnlyWhileUntitled()
    {
        frmMain &frame = open();
        frmDocument *doc = frame.activeDocument();
        type(doc, QStringLiteral("<B>x</B>"));

        m_dialogs.file(QString());
        press("tbSave");
        QCOMPARE(doc->caption(), QStringLiteral("Document 1"));
        QCOMPARE(m_dialogs.shown.at(0), (Shown{"save", {}, "HTML Document", "htm"}));

        m_dialogs.file(path("b.htm"));
        inWindow(doc, a().fileSave);
        QCOMPARE(doc->caption(), path("b.htm"));
        QCOMPARE(tw::test::readBytes(path("b.htm")), QByteArray("<B>x</B>\r\n"));
        QVERIFY(!doc->textEdit->isModified());

        // Titled: straight to its path, no dialog, replacing the file.
        type(doc, QStringLiteral("!"));
        press("tbSave");
        QCOMPARE(m_dialogs.shown.size(), 2);
        QCOMPARE(tw::test::readBytes(path("b.htm")), QByteArray("<B>x</B>!\r\n"));

        // Save As always asks and writes this window's text.
        m_dialogs.file(path("c.htm"));
        inWindow(doc, a().fileSaveAs);
        QCOMPARE(doc->caption(), path("c.htm"));
        QCOMPARE(tw::test::readBytes(path("c.htm")), QByteArray("<B>x</B>!\r\n"));

        // A save that fails says so and leaves the caption and the old file alone.
        m_dialogs.file(m_dir.filePath(QStringLiteral("no/such/folder/d.htm"))).acknowledge();
        inWindow(doc, a().fileSaveAs);
        QCOMPARE(doc->caption(), path("c.htm"));
        QCOMPARE(m_dialogs.shown.last().kind, QStringLiteral("message"));
        QVERIFY(m_dialogs.shown.last().text.contains(QStringLiteral("d.htm")));
    }

    // What a document window saves is what the page held plus what was typed:
    // its single-byte encoding, NUL bytes and its line-end style all survive.
    void bytesEncodingAndLineEndsSurviveEditingAndSaving()
    {
        writeFile(path("legacy.htm"), QByteArray("caf\xe9\r\nx"));
        writeFile(path("nul.htm"), QByteArray("a\0b", 3));
        writeFile(path("Template.html"), QByteArray("<P>\xe9</P>"));
        frmMain &frame = open();
        int count = 0;

        frmDocument *legacy = openPage(frame, path("legacy.htm"), count);
        QCOMPARE(legacy->textEdit->textExact(), QStringLiteral("caf\u00e9\r\nx"));
        legacy->textEdit->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        QTest::keyClick(legacy->textEdit, Qt::Key_Return); // the page's own CR LF
        type(legacy, QStringLiteral("\u00fc"));
        press("tbSave");
        QCOMPARE(tw::test::readBytes(path("legacy.htm")), QByteArray("caf\xe9\r\nx\r\n\xfc\r\n"));
        auto *format = frame.statusBar()->findChild<QLabel *>(QStringLiteral("statusFormat"));
        QCOMPARE(format->text(), QStringLiteral("Windows-1252, CR LF"));
        // A letter outside the single-byte set: asked, converted to UTF-8, and UTF-8 it stays.
        type(legacy, QStringLiteral("\u03b1"));
        m_dialogs.pick(1);
        press("tbSave");
        QCOMPARE(m_dialogs.shown.last().kind, QStringLiteral("choose"));
        QCOMPARE(format->text(), QStringLiteral("UTF-8, CR LF"));
        QCOMPARE(tw::test::readBytes(path("legacy.htm")), QByteArray("caf\xc3\xa9\r\nx\r\n\xc3\xbc\xce\xb1\r\n"));
        legacy->textEdit->selectAll(true);
        type(legacy, QStringLiteral("\u00e9"));
        press("tbSave");
        QCOMPARE(tw::test::readBytes(path("legacy.htm")), QByteArray("\xc3\xa9\r\n"));

        frmDocument *nul = openPage(frame, path("nul.htm"), count);
        nul->textEdit->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        QTest::keyClick(nul->textEdit, Qt::Key_Return); // no line end yet: LF
        press("tbSave");
        QCOMPARE(tw::test::readBytes(path("nul.htm")), QByteArray("a\0b\n\r\n", 6));

        a().helpTemplate->trigger();
        m_dialogs.file(path("fromTemplate.htm"));
        press("tbSave");
        QCOMPARE(tw::test::readBytes(path("fromTemplate.htm")), QByteArray("<P>\xe9</P>\r\n"));
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    void templateWindowsAreUntitledCopiesOfTheTemplate()
    {
        writeFile(path("Template.html"), "<HTML>\r\n<BODY>\r\n</BODY>\r\n</HTML>");
        frmMain &frame = open();
        a().helpTemplate->trigger();
        frmDocument *first = frame.activeDocument();
        QCOMPARE(first->caption(), QStringLiteral("Document 2 - Template"));
        QVERIFY(first->isUntitled());
        QCOMPARE(first->textEdit->documentBytes(), QByteArray("<HTML>\r\n<BODY>\r\n</BODY>\r\n</HTML>"));
        QTRY_VERIFY_WITH_TIMEOUT(first->textEdit->hasFocus(), test::kCeiling);
        inWindow(first, a().helpTemplate);
        QCOMPARE(frame.activeDocument()->caption(), QStringLiteral("Document 3 - Template"));

        // The counting example: close one, and New still counts on.
        inWindow(frame.documents().at(1), a().fileClose);
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 2, test::kCeiling);
        frame.NewDocument();
        QCOMPARE(frame.activeDocument()->caption(), QStringLiteral("Document 4"));

        QFile::remove(path("Template.html"));
        m_dialogs.acknowledge();
        frame.NewDocument(); // 5
        frame.findChild<QPushButton *>(QStringLiteral("CmdTemplate"))->click();
        QCOMPARE(frame.activeDocument()->caption(), QStringLiteral("Document 6 - Template"));
        QVERIFY(frame.activeDocument()->textEdit->documentBytes().isEmpty());
        QCOMPARE(m_dialogs.shown.last().kind, QStringLiteral("message"));
    }

    void deleteAsksThenRemovesTheFileAndTheWindow()
    {
        // Files left in the test trash by an earlier run would pass the check below.
        const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/Trash");
        QVERIFY(QDir(trash).removeRecursively());
        writeFile(path("gone.htm"), "x");
        frmMain &frame = open();
        press("tbTrash"); // untitled: no question
        QVERIFY(m_dialogs.shown.isEmpty());

        int count = 0;
        frmDocument *doc = openPage(frame, path("gone.htm"), count);
        m_dialogs.no();
        press("tbTrash");
        QCOMPARE(m_dialogs.shown.last(),
                 (Shown{"yesno", "Delete File", "Do you want to delete the curent HTML ?", "default No"}));
        QVERIFY(QFile::exists(path("gone.htm")));
        QCOMPARE(frame.documents().size(), 2);

        type(doc, QStringLiteral("changes are not asked about again"));
        m_dialogs.yes();
        press("tbTrash");
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 1, test::kCeiling);
        QVERIFY(!QFile::exists(path("gone.htm")));
        QCOMPARE(QDir(trash + QStringLiteral("/files")).entryList(QDir::Files), QStringList{"gone.htm"});
        QCOMPARE(m_dialogs.remaining(), 0);

        // A file already gone: the window still closes, silently.
        writeFile(path("gone2.htm"), "y");
        doc = openPage(frame, path("gone2.htm"), count);
        QFile::remove(path("gone2.htm"));
        m_dialogs.yes();
        press("tbTrash");
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 1, test::kCeiling);
    }

    void nothingIsWrittenUnderAWindowThatIsNotADocument()
    {
        writeFile(path("other.htm"), "keep");
        frmMain &frame = open();
        auto *other = new QLineEdit;
        other->setWindowTitle(path("other.htm"));
        QMdiSubWindow *sub = frame.mdiArea->addSubWindow(other);
        sub->show();
        frame.mdiArea->setActiveSubWindow(sub);
        QCOMPARE(frame.activeChild(), other);
        press("tbSave");
        press("tbTrash");
        QVERIFY(m_dialogs.shown.isEmpty());
        QCOMPARE(tw::test::readBytes(path("other.htm")), QByteArray("keep"));

        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(frame.mdiArea->subWindowList().isEmpty(), test::kCeiling);
        press("tbSave");
        press("tbTrash");
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    void unsavedChangesAreNeverDroppedWithoutAWord()
    {
        frmMain &frame = open();
        frmDocument *doc = frame.activeDocument();
        // Unchanged: closes without a question.
        inWindow(frame.NewDocument(), a().fileClose);
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 1, test::kCeiling);
        QVERIFY(m_dialogs.shown.isEmpty());

        type(doc, QStringLiteral("work"));
        m_dialogs.cancel();
        inWindow(doc, a().fileClose);
        QCOMPARE(frame.documents().size(), 1);
        QCOMPARE(m_dialogs.shown.last().kind, QStringLiteral("yesnocancel"));
        QVERIFY(m_dialogs.shown.last().text.contains(QStringLiteral("Document 1")));

        // Yes on an untitled page asks for a name; cancelling that keeps the window.
        m_dialogs.yes().file(QString());
        inWindow(doc, a().fileClose);
        QCOMPARE(frame.documents().size(), 1);
        m_dialogs.yes().file(path("kept.htm"));
        inWindow(doc, a().fileClose);
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), 0, test::kCeiling);
        QCOMPARE(tw::test::readBytes(path("kept.htm")), QByteArray("work\r\n"));

        // Closing the frame asks for each changed page before anything closes.
        type(frame.NewDocument(), QStringLiteral("one"));
        type(frame.NewDocument(), QStringLiteral("two"));
        m_dialogs.no().cancel();
        QVERIFY(!frame.close());
        QCOMPARE(frame.documents().size(), 2);
        // A document's Exit asks the same way.
        m_dialogs.no().cancel();
        inWindow(frame.documents().first(), a().exitAtOnce);
        QCOMPARE(frame.documents().size(), 2);
        m_dialogs.no().no();
        QVERIFY(frame.close());
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    void pagesFromTheCommandLineAndFromDrops()
    {
        writeFile(path("one.html"), "1");
        writeFile(path("two.htm"), "2");
        frmMain &frame = open();
        frame.openFiles({path("one.html"), path("two.htm")});
        QCOMPARE(frame.documents().size(), 3);
        QCOMPARE(frame.activeDocument()->caption(), path("two.htm"));

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path("one.html"))});
        QVERIFY(frame.drops().openDropped(&mime));
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("http://example.test/a.htm"))});
        QVERIFY(!frame.drops().openDropped(&web));
        QCOMPARE(frame.documents().size(), 4);
        QCOMPARE(frame.activeDocument()->textEdit->documentBytes(), QByteArray("1"));
    }

    // A drop holding a web address besides a local page is not the frame's:
    // nothing opens and nothing is said; the editor under the mouse gets the
    // drop, reports its addresses and inserts nothing.
    void aDropMixingWebAndLocalAddressesOpensNothing_data()
    {
        QTest::addColumn<bool>("webFirst");
        QTest::newRow("web address first") << true;
        QTest::newRow("local page first") << false;
    }
    void aDropMixingWebAndLocalAddressesOpensNothing()
    {
        QFETCH(bool, webFirst);
        writeFile(path("local.htm"), "local");
        frmMain &frame = open();
        const QUrl web(QStringLiteral("http://example.test/a.htm"));
        const QUrl local = QUrl::fromLocalFile(path("local.htm"));
        QMimeData mime;
        mime.setUrls(webFirst ? QList<QUrl>{web, local} : QList<QUrl>{local, web});
        mime.setText(QStringLiteral("dropped text"));
        QCOMPARE(FileDrops::droppedFiles(&mime), QStringList());

        SourceEditor *editor = frame.activeDocument()->textEdit;
        QSignalSpy addresses(editor, &QsciScintillaBase::SCN_URIDROPPED);
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->viewport(), &move);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor->viewport(), &drop);
        QCOMPARE(frame.documents().size(), 1);
        QCOMPARE(m_dialogs.shown.size(), 0);
        QCOMPARE(editor->documentBytes(), QByteArray());
        QCOMPARE(addresses.size(), 2);
        QCOMPARE(addresses.at(webFirst ? 0 : 1).at(0).toUrl(), web);
    }
};

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
