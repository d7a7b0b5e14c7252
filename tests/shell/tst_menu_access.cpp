// What a screen reader finds in the menus, and what the menus' shortcut keys
// reach. Runs on a real X server with the assistive technology bus running
// (tests/e2e/run_with_at.sh); keys are pressed through the X server.
#include "DataRows.h"
#include "StartedFrame.h"
#include "TestFiles.h"
#include "shell/FrameMenus.h"

#include <QAccessible>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;

namespace {

// Shows `menu` as a popup and lists what assistive technology is told of its
// items, "name" for each item reported showing inside this menu and
// "name (hidden)" or "name (elsewhere)" for one that is not.
QStringList heardItems(QMenu *menu)
{
    menu->popup(QPoint(40, 40));
    if (!QTest::qWaitForWindowExposed(menu, test::kCeiling))
        return {QStringLiteral("the menu did not open")};
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(menu);
    QStringList heard;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface *item = list->child(i);
        if (item->role() == QAccessible::Separator)
            continue;
        QString name = item->text(QAccessible::Name);
        if (item->state().invisible)
            name += QStringLiteral(" (hidden)");
        if (!item->parent() || item->parent()->object() != menu || list->indexOfChild(item) != i)
            name += QStringLiteral(" (elsewhere)");
        heard << name;
    }
    menu->hide();
    if (!QTest::qWaitFor([menu] { return !menu->isVisible(); }, test::kCeiling))
        heard << QStringLiteral("the menu did not close");
    return heard;
}

bool pressKeys(const QString &keys)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}) == 0;
}

} // namespace

class MenuAccessTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        tw::test::startIn(qEnvironmentVariable("TW_TEST_DATA_DIR"));
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), test::kCeiling);
    }
    void cleanup() { m_frame.reset(); }

    // Each tree is walked while it is in the menu bar, in the order a user
    // meets them: a document's, the frame's once it is closed, a document's
    // again. An item shared by two trees must be reported showing in both.
    void everyShownMenuItemIsReportedShowing()
    {
        frmMain &frame = open();
        const FrameMenus &menus = frame.menus();
        const QStringList documentHelp{"Contents", "Template", "About Tagwright..."};
        const QStringList documentView{"Toolbar",         "HTML Edit Toolbar", "Preview",
                                       "Web Browser",     "Site",              "Show Active Page",
                                       "HTML Highlighting", "Line Numbers",
                                       "Live Preview",    "Auto-Close Tags",   "Completion",
                                       "Matching Tags",   "Word Wrap",         "Show White Space",
                                       "Show Line Ends",  "Folding",           "Fold All",
                                       "Unfold All",      "Zoom"};
        QCOMPARE(heardItems(menus.documentHelp), documentHelp);
        QCOMPARE(heardItems(menus.documentView), documentView);
        QCOMPARE(heardItems(menus.documentFile).mid(0, 2), (QStringList{"New", "Open"}));

        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
        QCOMPARE(heardItems(menus.mnuHelp), documentHelp);
        QCOMPARE(heardItems(menus.mnuView), (QStringList{"Toolbar", "HTML Edit Toolbar", "Status Bar", "Web Browser",
                                                         "Site", "HTML Highlighting", "Line Numbers", "Live Preview",
                                                         "Auto-Close Tags", "Completion", "Matching Tags",
                                                         "Word Wrap", "Show White Space", "Show Line Ends",
                                                         "Folding"}));
        QCOMPARE(heardItems(menus.mnuFile), (QStringList{"New", "Open", "Open Folder...", "Exit", "Recent Pages",
                                                          "Reopen Pages at Start"}));

        frame.NewDocument();
        QCOMPARE(heardItems(menus.documentHelp), documentHelp);
        QCOMPARE(heardItems(menus.documentFile).last(), QStringLiteral("Reopen Pages at Start"));
    }

    // A check mark changed from one tree is reported in the other.
    void checkMarksAgreeInBothTrees()
    {
        frmMain &frame = open();
        QAction *lineNumbers = frame.commands().viewLineNumbers;
        QAction *frameItem = nullptr;
        for (QAction *item : frame.menus().mnuView->actions())
            if (item->objectName() == QLatin1String("mnuViewLineNumbers"))
                frameItem = item;
        QVERIFY(frameItem && frameItem != lineNumbers);
        const bool was = lineNumbers->isChecked();
        frameItem->trigger();
        QCOMPARE(lineNumbers->isChecked(), !was);
        QCOMPARE(frameItem->isChecked(), !was);
        lineNumbers->trigger();
        QCOMPARE(frameItem->isChecked(), was);
        QMenu *view = frame.menus().mnuView;
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(view)->child(
            static_cast<int>(view->actions().indexOf(frameItem)));
        QCOMPARE(heard->state().checked, was);
    }

    // One key press runs its command once, with a document window active and
    // with none: two live actions on one key would run neither.
    void shortcutKeysRunTheirCommand_data()
    {
        tw::test::columns<QString, bool>("keys", "withDocument");
        QTest::addColumn<QString>("caption"); // of the window the key opens
        QTest::newRow("Ctrl+N, document") << "ctrl+n" << true << "Document 2";
        QTest::newRow("Ctrl+N, none") << "ctrl+n" << false << "Document 2";
        QTest::newRow("F1, document") << "F1" << true << "Document 2 - Template";
        QTest::newRow("F1, none") << "F1" << false << "Document 2 - Template";
    }
    void shortcutKeysRunTheirCommand()
    {
        auto [keys, withDocument, caption] = tw::test::fetch<QString, bool, QString>("keys", "withDocument", "caption");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        frmMain &frame = open();
        if (!withDocument) {
            frame.mdiArea->closeAllSubWindows();
            QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
        }
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame, test::kCeiling));
        QVERIFY(pressKeys(keys));
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), withDocument ? 2 : 1, test::kCeiling);
        QCOMPARE(frame.activeDocument()->caption(), caption);
    }

    // Ctrl+O asks for a page once, from either tree.
    void openKeyAsksOnce()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("xdotool is not installed");
        frmMain &frame = open();
        m_dialogs.file(QString()).file(QString());
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame, test::kCeiling));
        QVERIFY(pressKeys(QStringLiteral("ctrl+o")));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.remaining(), 1, test::kCeiling);
        frame.mdiArea->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
        QVERIFY(QTest::qWaitForWindowActive(&frame, test::kCeiling));
        QVERIFY(pressKeys(QStringLiteral("ctrl+o")));
        QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.remaining(), 0, test::kCeiling);
        QCOMPARE(m_dialogs.shown.size(), 2);
    }

private:
    frmMain &open()
    {
        m_dialogs = ScriptedDialogs();
        m_frame = tw::test::startFrame(m_dialogs);
        return *m_frame;
    }
    ScriptedDialogs m_dialogs;
    std::unique_ptr<frmMain> m_frame;
};

QTEST_MAIN(MenuAccessTest)
#include "tst_menu_access.moc"
