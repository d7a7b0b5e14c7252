#include "../e2e/Xdo.h"
#include "StartedFrame.h"
#include "TestFiles.h"

#include "shell/FrameMenus.h"
#include "shell/SiteCheckPanel.h"
#include "sitecheck/SiteCheckRun.h"
#include "sitecheck/SiteProblemModel.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>

using namespace tw;

// "Check Site" from the page's Edit menu: the page's unsaved text is what is
// checked, and activating a finding opens the page at its place. Offscreen
// through the action, and on a display through real keys.
class SiteCommandTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    QTemporaryDir m_dir;

    // A site of two pages, the first open with an unsaved broken picture.
    frmDocument *openSite()
    {
        for (const char *name : {"index.html", "other.html"})
            tw::test::writeBytes(m_dir.filePath(QLatin1String(name)), "<a href=\"index.html\">fine</a>\n");
        frmMain *frame = &open();
        frame->openFiles({m_dir.filePath(QStringLiteral("index.html"))});
        frmDocument *page = frame->activeDocument();
        if (page)
            page->textEdit->loadBytes("<p>\n  <img src=\"gone.png\"> <a href=\"other.html\">o</a>");
        return page;
    }
    SiteCheckPanel *panel() const { return m_frame->findChild<SiteCheckPanel *>(); }
    QModelIndex finding() const
    {
        const QAbstractItemModel *model = panel()->model();
        return model->index(0, sitecheck::SiteProblemModel::MessageColumn, model->index(0, 0));
    }
    void checkFindings()
    {
        auto *model = panel()->model();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("index.html (1)"));
        QCOMPARE(finding().data().toString(), QStringLiteral("The file \"gone.png\" does not exist"));
        QCOMPARE(panel()->summary()->text(),
                 QStringLiteral("2 pages, 0 style sheets: 1 error, 0 warnings, 0 notes; 0 web addresses not checked"));
    }
    long caret(frmDocument *page) const
    {
        return page->textEdit->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    }

private slots:
    void checksUnsavedTextAndGoesToTheFinding()
    {
        frmDocument *page = openSite();
        QVERIFY(page && !page->isUntitled());
        QVERIFY(panel());
        QVERIFY(tw::test::menuItem(m_frame->menus().documentEdit, "mnuEditCheckSite"));
        QSignalSpy done(panel(), &SiteCheckPanel::siteChecked);
        a().checkSite->trigger();
        QVERIFY(done.wait(tw::test::kCeiling));
        checkFindings();

        // Another window in front: the finding brings the page back, caret at the address.
        m_frame->NewDocument();
        emit panel()->view()->activated(finding());
        QCOMPARE(m_frame->activeDocument(), page);
        QCOMPARE(caret(page), 16L);
        QCOMPARE(m_frame->documents().size(), 3);
        closeFrame(); // before its page's folder goes
    }

    // Alt+E, S (Check Site comes before Check Spelling, which shares the
    // letter), Return; then Down to the finding and Return on it.
    void realKeys()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run by e2e_check_site");
        frmDocument *page = openSite();
        QVERIFY(page);
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), tw::test::kCeiling));
        page->textEdit->setFocus();
        QSignalSpy done(panel(), &SiteCheckPanel::siteChecked);
        QVERIFY(tw::test::xdo({"key", "alt+e"}));
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), tw::test::kCeiling);
        QVERIFY(tw::test::xdo({"key", "s"}));
        QTRY_COMPARE_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget())->activeAction(),
                                  a().checkSite, tw::test::kCeiling);
        QVERIFY(tw::test::xdo({"key", "Return"})); // the check may end while xdotool does
        QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, tw::test::kCeiling);
        checkFindings();

        m_frame->NewDocument();
        QTreeView *view = panel()->view();
        view->setFocus();
        view->setCurrentIndex(panel()->model()->index(0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), tw::test::kCeiling);
        QVERIFY(tw::test::xdo({"key", "--delay", "100", "Down", "Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->activeDocument(), page, tw::test::kCeiling);
        QTRY_COMPARE_WITH_TIMEOUT(caret(page), 16L, tw::test::kCeiling);
        closeFrame();
    }
};

QTEST_MAIN(SiteCommandTest)
#include "tst_site_command.moc"
