#include "StartedFrame.h"
#include "TestFiles.h"
#include "search/SearchResultModel.h"
#include "shell/FindInFiles.h"
#include "shell/FrameMenus.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTreeView>
#include <QtTest>

using namespace tw;
using tw::test::readBytes;
using tw::test::writeBytes;

// Find in Files as the user meets it: the command in both Edit menus, the
// window, the Search Results dock filling, a row opening its page with the
// match selected, Replace All changing open pages in their windows and the
// others on disk, Escape stopping a search.
class FindInFilesTest : public QObject, public test::FrameFixture {
    Q_OBJECT
    QTemporaryDir m_site;

    QString at(const char *name) const { return m_site.filePath(QLatin1String(name)); }
    SearchResultsDock *dock() const { return m_frame->findChild<SearchResultsDock *>(); }
    FindInFilesDialog *window() const { return m_frame->findChild<FindInFilesDialog *>(); }
    QStringList rows() const
    {
        QStringList out;
        const QAbstractItemModel *m = dock()->view()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << QStringLiteral("%1:%2:%3:%4").arg(m->index(r, 0).data().toString(), m->index(r, 1).data().toString(),
                                                     m->index(r, 2).data().toString(), m->index(r, 3).data().toString());
        return out;
    }
    frmDocument *openedAt(const QString &path) const
    {
        for (frmDocument *d : m_frame->documents())
            if (d->caption() == path)
                return d;
        return nullptr;
    }

private slots:
    void init()
    {
        QVERIFY(writeBytes(at("a.htm"), "<p>one\r\n<b>two one</b>\r\n"));
        QVERIFY(QDir().mkpath(at("sub")));
        QVERIFY(writeBytes(at("sub/b.htm"), "x one \xe9\n"));
        open();
        openPage(*m_frame, at("a.htm"), m_frame->openCount);
        // Unsaved text in the window: that is what is searched.
        openedAt(at("a.htm"))->textEdit->append(QStringLiteral("one more\r\n"));
    }
    void cleanup() { closeFrame(); }

    void findThenReplaceAcrossWindowsAndDisk()
    {
        QVERIFY(m_frame->menus().documentEdit->actions().contains(a().findInFiles));
        QCOMPARE(a().findInFiles->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+F")));
        a().findInFiles->trigger();
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->folderEdit->text(), m_site.path()); // the active page's folder
        window()->findEdit->setText(QStringLiteral("one"));
        QSignalSpy done(dock(), &SearchResultsDock::done);
        QTest::keyClick(window()->findEdit, Qt::Key_Return);
        QVERIFY(done.wait(test::kCeiling));
        QCOMPARE(rows(), (QStringList{"a.htm:1:4:<p>one", "a.htm:2:8:<b>two one</b>", "a.htm:3:1:one more",
                                      "sub/b.htm:1:3:x one é"}));
        QCOMPARE(dock()->summary()->text(), QStringLiteral("4 matches in 2 pages (2 files searched)."));

        // A row of a closed page opens it with the match selected.
        dock()->view()->setCurrentIndex(dock()->model()->index(3, 0));
        emit dock()->view()->activated(dock()->view()->currentIndex());
        frmDocument *b = openedAt(at("sub/b.htm"));
        QVERIFY(b);
        QCOMPARE(b->textEdit->selectedBytes(), QByteArray("one"));
        QCOMPARE(m_frame->activeDocument(), b);
        b->closeWithoutQuestion();
        QTRY_VERIFY_WITH_TIMEOUT(!openedAt(at("sub/b.htm")), test::kCeiling);

        window()->replaceEdit->setText(QStringLiteral("1"));
        m_dialogs.yes();
        QTest::mouseClick(window()->replaceButton, Qt::LeftButton);
        QVERIFY(done.wait(test::kCeiling));
        QCOMPARE(m_dialogs.shown.last().text, QStringLiteral("Replace 4 matches in 2 pages with \"1\"?"));
        QCOMPARE(m_dialogs.shown.last().title, QStringLiteral("Replace in Files"));
        SourceEditor *a = openedAt(at("a.htm"))->textEdit;
        QCOMPARE(a->documentBytes(), QByteArray("<p>1\r\n<b>two 1</b>\r\n1 more\r\n"));
        QVERIFY(a->isModified());
        QCOMPARE(readBytes(at("a.htm")), QByteArray("<p>one\r\n<b>two one</b>\r\n")); // not saved
        QCOMPARE(readBytes(at("sub/b.htm")), QByteArray("x 1 \xe9\n"));
        QCOMPARE(dock()->summary()->text(), QStringLiteral("Replaced 4 matches in 2 pages."));
        QCOMPARE(dock()->report()->count(), 2);
        QCOMPARE(dock()->report()->item(1)->text(), QStringLiteral("Written: sub/b.htm (1 match)"));
        a->undo(); // one step takes back every replacement in the window
        QCOMPARE(a->documentBytes(), QByteArray("<p>one\r\n<b>two one</b>\r\none more\r\n"));

        // Escape in the dock ends a search before anything of it is shown.
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
        dock()->start(window()->query());
        dock()->view()->setFocus();
        QTest::keyClick(dock()->view(), Qt::Key_Escape);
        QVERIFY(dock()->summary()->text().startsWith(QStringLiteral("Stopped")));
        QTest::qWait(100);
        QCOMPARE(dock()->model()->rowCount(), 0);
    }

    // Real keys through the X server: Ctrl+Shift+F, the text typed, Enter,
    // then a row chosen and activated with Enter.
    void realKeys()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run by e2e_find_in_files");
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        const auto x = [&xdotool](const QStringList &args) { QCOMPARE(QProcess::execute(xdotool, args), 0); };
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
        openedAt(at("a.htm"))->textEdit->setFocus();
        x({"key", "--delay", "50", "ctrl+shift+f"});
        QTRY_VERIFY_WITH_TIMEOUT(window() && window()->findEdit->hasFocus(), test::kCeiling);
        QSignalSpy done(dock(), &SearchResultsDock::done);
        x({"type", "--delay", "50", "two"});
        QTRY_COMPARE_WITH_TIMEOUT(window()->findEdit->text(), QStringLiteral("two"), test::kCeiling);
        x({"key", "Return"});
        QVERIFY(done.wait(test::kCeiling));
        QCOMPARE(rows(), QStringList{"a.htm:2:4:<b>two one</b>"});
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
        dock()->view()->setFocus();
        dock()->view()->setCurrentIndex(dock()->model()->index(0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(dock()->view()->hasFocus(), test::kCeiling);
        x({"key", "Return"});
        SourceEditor *a = openedAt(at("a.htm"))->textEdit;
        QTRY_COMPARE_WITH_TIMEOUT(a->selectedBytes(), QByteArray("two"), test::kCeiling);
    }
};

QTEST_MAIN(FindInFilesTest)
#include "tst_find_in_files.moc"
