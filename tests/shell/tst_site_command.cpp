#include "StartedFrame.h"
#include "TestFiles.h"

#include "shell/FrameMenus.h"
#include "shell/SiteCheckPanel.h"
#include "sitecheck/SiteCheckRun.h"
#include "sitecheck/SiteProblemModel.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

using namespace tw;

// "Check Site" from the page's Edit menu, offscreen: the page's unsaved text
// is what is checked, and activating a finding opens the page at its place.
class SiteCommandTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT

private slots:
    void checksUnsavedTextAndGoesToTheFinding()
    {
        QTemporaryDir dir;
        for (const char *name : {"index.html", "other.html"})
            QVERIFY(tw::test::writeBytes(dir.filePath(QLatin1String(name)), "<a href=\"index.html\">fine</a>\n"));
        frmMain *frame = &open();
        frame->openFiles({dir.filePath(QStringLiteral("index.html"))});
        frmDocument *page = frame->activeDocument();
        QVERIFY(page && !page->isUntitled());
        page->textEdit->loadBytes("<p>\n  <img src=\"gone.png\"> <a href=\"other.html\">o</a>");
        auto *panel = frame->findChild<SiteCheckPanel *>();
        QVERIFY(panel);
        QVERIFY(tw::test::menuItem(frame->menus().documentEdit, "mnuEditCheckSite"));
        QSignalSpy done(panel, &SiteCheckPanel::siteChecked);
        a().checkSite->trigger();
        QVERIFY(done.wait(tw::test::kCeiling));

        auto *model = panel->model();
        QCOMPARE(model->rowCount(), 1);
        const QModelIndex group = model->index(0, 0);
        QCOMPARE(group.data().toString(), QStringLiteral("index.html (1)"));
        const QModelIndex row = model->index(0, sitecheck::SiteProblemModel::MessageColumn, group);
        QCOMPARE(row.data().toString(), QStringLiteral("The file \"gone.png\" does not exist"));
        QCOMPARE(panel->summary()->text(),
                 QStringLiteral("2 pages, 0 style sheets: 1 error, 0 warnings, 0 notes; 0 web addresses not checked"));

        // Another window in front: the finding brings the page back, caret at the address.
        frame->NewDocument();
        emit panel->view()->activated(row);
        QCOMPARE(frame->activeDocument(), page);
        QCOMPARE(page->textEdit->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 16L);
        QCOMPARE(frame->documents().size(), 3);
        closeFrame(); // before its page's folder goes
    }
};

QTEST_MAIN(SiteCommandTest)
#include "tst_site_command.moc"
