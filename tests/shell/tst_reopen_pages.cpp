#include "StartedFrame.h"
#include "TestFiles.h"
#include "documents/OpenPages.h"
#include "pages/RecoveryJournal.h"
#include "platform/NoticeBar.h"
#include "shell/FrameMenus.h"
#include "shell/ReopenWiring.h"

#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using Sci = QsciScintillaBase;

namespace {

// "caption" or "*caption" for the active window, in the windows' order.
QStringList windows(const frmMain &frame)
{
    QStringList out;
    for (frmDocument *doc : frame.documents())
        out << (doc == frame.activeDocument() ? QStringLiteral("*") : QString()) + doc->caption();
    return out;
}

QStringList listed(const QString &file)
{
    const OpenPages list = readOpenPages(file);
    QStringList out;
    for (int i = 0; i < list.pages.size(); ++i)
        out << (i == list.active ? QStringLiteral("*") : QString()) + list.pages[i].path;
    return out;
}

long sci(frmDocument *doc, unsigned int message, unsigned long w = 0)
{
    return doc->textEdit->SendScintilla(message, w);
}

} // namespace

// Start-up with the list of the pages open at the last exit, as the program
// runs it after its first empty window.
class ReopenPagesTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_list;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    QString journals() const { return m_dir.filePath(QStringLiteral("recovery")); }
    void page(const char *name, const QByteArray &bytes = "<p>page</p>\n")
    {
        QVERIFY(tw::test::writeBytes(path(name), bytes));
    }
    void save(const QStringList &pages, int active)
    {
        OpenPages list;
        for (const QString &p : pages)
            list.pages << OpenPage{p};
        list.active = active;
        QVERIFY(writeOpenPages(m_list, list));
    }
    frmMain &start(const QStringList &commandLine = {})
    {
        frmMain &frame = open();
        openStartPages(frame, commandLine, journals());
        return frame;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_list = defaultOpenPagesFile();
    }
    void init()
    {
        m_dialogs = ScriptedDialogs();
        tw::test::startIn(m_dir.path());
        setReopenPagesChosen(true);
    }
    void cleanup()
    {
        closeFrame();
        QFile::remove(m_list);
        QDir(journals()).removeRecursively();
    }

    // Off (the default): the list is neither read nor written, and the
    // command line opens as it always did. Turning it on writes the list now.
    void offStartsAsBeforeUntilChosen()
    {
        setReopenPagesChosen(false);
        page("a.htm");
        page("b.htm");
        save({path("a.htm")}, 0);
        const QByteArray before = tw::test::readBytes(m_list);
        frmMain &frame = start({path("b.htm")});
        QCOMPARE(windows(frame), (QStringList{"Document 1", "*" + path("b.htm")}));
        openPage(frame, path("a.htm"), frame.openCount);
        QApplication::processEvents();
        QCOMPARE(tw::test::readBytes(m_list), before);

        QAction *item = test::menuItem(frame.menus().mnuFile, "mnuFileReopenPages");
        QVERIFY(item && !item->isChecked());
        QVERIFY(test::menuItem(frame.menus().documentFile, "mnuFileReopenPages"));
        item->trigger();
        QVERIFY(reopenPagesChosen());
        QTRY_COMPARE_WITH_TIMEOUT(listed(m_list), (QStringList{path("b.htm"), "*" + path("a.htm")}), test::kCeiling);
    }

    // The list follows the windows while they change, and the next start
    // brings the pages back with caret, first line in view, encoding and the
    // active one, after "Document 1".
    void pagesComeBackAsTheyWere()
    {
        QByteArray lines;
        for (int i = 0; i < 200; ++i)
            lines += "line " + QByteArray::number(i) + "\n";
        page("a.htm", lines);
        page("w.htm", "caf\xe9\n");
        page("c.htm");
        frmMain &frame = start();
        frmDocument *a = openPage(frame, path("a.htm"), frame.openCount);
        frmDocument *w = openPage(frame, path("w.htm"), frame.openCount);
        frmDocument *c = openPage(frame, path("c.htm"), frame.openCount);
        QTRY_COMPARE_WITH_TIMEOUT(listed(m_list).size(), 3, test::kCeiling);
        w->encoding = PageEncoding::LegacyReferences;
        sci(a, Sci::SCI_GOTOPOS, sci(a, Sci::SCI_POSITIONFROMLINE, 150) + 3);
        sci(a, Sci::SCI_SETFIRSTVISIBLELINE, 140);
        c->closeWindow();
        QTRY_COMPARE_WITH_TIMEOUT(listed(m_list).size(), 2, test::kCeiling);
        QCOMPARE(listed(m_list).join("").remove('*'), path("a.htm") + path("w.htm"));
        m_frame->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(a->parentWidget()));
        m_frame->close(); // as File, Exit: the list as it stands goes to its file
        closeFrame();

        frmMain &again = start();
        QCOMPARE(windows(again), (QStringList{"Document 1", "*" + path("a.htm"), path("w.htm")}));
        frmDocument *a2 = again.documents().at(1);
        QCOMPARE(sci(a2, Sci::SCI_LINEFROMPOSITION, sci(a2, Sci::SCI_GETCURRENTPOS)), 150L);
        QCOMPARE(sci(a2, Sci::SCI_GETCOLUMN, sci(a2, Sci::SCI_GETCURRENTPOS)), 3L);
        QCOMPARE(sci(a2, Sci::SCI_GETFIRSTVISIBLELINE), 140L);
        QCOMPARE(again.documents().at(2)->encoding, PageEncoding::LegacyReferences);
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    // The journal's question comes first; the page it restores is not opened
    // a second time from the list, and stays the active one.
    void aRestoredPageOpensOnce()
    {
        page("a.htm");
        page("b.htm");
        save({path("a.htm"), path("b.htm")}, 0);
        JournalWriter journal;
        QVERIFY(QDir().mkpath(journals()));
        QVERIFY(journal.open(QDir(journals()).filePath("1-a.twj"), path("a.htm"), path("a.htm"),
                             PageEncoding::Utf8, QByteArray("<p>page</p>\n")));
        journal.record(0, 0, "X", 1);
        QVERIFY(journal.flush());
        journal.close();
        m_dialogs.yes();

        frmMain &frame = start();
        QCOMPARE(m_dialogs.shown.size(), 1);
        QCOMPARE(windows(frame), (QStringList{"Document 1", "*" + path("a.htm"), path("b.htm")}));
        QCOMPARE(frame.documents().at(1)->textEdit->documentBytes(), QByteArray("X<p>page</p>\n"));
    }

    // Pages named on the command line open as well, once, the last one
    // active, and join the saved list rather than replace it.
    void theCommandLineAddsToTheList()
    {
        page("a.htm");
        page("b.htm");
        save({path("a.htm")}, 0);
        frmMain &frame = start({path("b.htm"), QStringLiteral("./a.htm")});
        QCOMPARE(windows(frame), (QStringList{"Document 1", "*" + path("a.htm"), path("b.htm")}));
        QTRY_COMPARE_WITH_TIMEOUT(listed(m_list), (QStringList{"*" + path("a.htm"), path("b.htm")}), test::kCeiling);
    }

    // Pages that are gone or cannot be read are named together in one notice,
    // no box, and leave the list; the others open.
    void missingPagesAreNamedOnce()
    {
        page("a.htm");
        QVERIFY(QDir().mkpath(path("folder.htm")));
        save({path("gone.htm"), path("a.htm"), path("folder.htm")}, 0);
        frmMain &frame = start();
        QCOMPARE(windows(frame), (QStringList{"Document 1", "*" + path("a.htm")}));
        QVERIFY(m_dialogs.shown.isEmpty());
        NoticeBar *bar = frame.activeDocument()->notices;
        QTRY_COMPARE_WITH_TIMEOUT(bar->texts().size(), 1, test::kCeiling);
        QVERIFY(bar->texts().at(0).contains(path("gone.htm")));
        QVERIFY(bar->texts().at(0).contains(path("folder.htm")));
        QTRY_COMPARE_WITH_TIMEOUT(listed(m_list), QStringList{"*" + path("a.htm")}, test::kCeiling);
    }
};

QTEST_MAIN(ReopenPagesTest)
#include "tst_reopen_pages.moc"
