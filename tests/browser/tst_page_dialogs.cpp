// The script dialogs of pages in browser windows, with the real engine
// offscreen: a page that keeps opening them can be stopped.
#include "DataRows.h"
#include "FakeBrowserHost.h"
#include "TestFiles.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tw;

class PageDialogsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeBrowserHost *m_host = nullptr;
    // What each dialog showed: its title, its text, and "stop offered" when
    // it carried the check box.
    QStringList m_seen;
    // How to answer each dialog: "ok", "cancel", "type:TEXT" then OK, or
    // "stop" (check the box, then OK). Dialogs beyond the list get "ok".
    QStringList m_answers;

    // Each dialog is answered from inside its own event loop, once shown.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("pageDialog")) {
            auto *dialog = qobject_cast<QDialog *>(watched);
            QTimer::singleShot(0, dialog, [this, dialog] { answer(dialog); });
        }
        return false;
    }

    void answer(QDialog *dialog)
    {
        auto *text = dialog->findChild<QLabel *>(QStringLiteral("pageDialogText"));
        auto *stop = dialog->findChild<QCheckBox *>(QStringLiteral("pageDialogStop"));
        QString seen = dialog->windowTitle() + QLatin1Char('|') + (text ? text->text() : QStringLiteral("?"));
        if (text && text->textFormat() != Qt::PlainText)
            seen += QStringLiteral("|read as markup");
        if (stop)
            seen += QLatin1Char('|') + stop->text();
        m_seen << seen;
        const QString how = m_answers.isEmpty() ? QStringLiteral("ok") : m_answers.takeFirst();
        if (how.startsWith(QLatin1String("type:")))
            if (auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("pageDialogAnswer")))
                field->setText(how.mid(5));
        if (how == QLatin1String("stop") && stop)
            stop->setChecked(true);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        buttons->button(how == QLatin1String("cancel") ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
    }

private Q_SLOTS:
    void initTestCase()
    {
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        test::startIn(m_dir.path());
        m_host = new test::FakeBrowserHost;
        m_host->area.resize(1000, 800);
        m_host->area.show();
        qApp->installEventFilter(this);
    }
    void cleanupTestCase()
    {
        qApp->removeEventFilter(this);
        delete m_host;
    }
    void cleanup()
    {
        m_host->area.closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(m_host->area.subWindowList().isEmpty(), test::kCeiling);
    }

    void aPageThatKeepsAskingCanBeStopped_data()
    {
        const QString says = QStringLiteral("This page says|");
        const QString offered = QStringLiteral("|Prevent this page from creating additional dialogs");
        tw::test::columns<QByteArray, QStringList, QStringList, QString>("script", "answers", "seen", "title");

        QTest::newRow("alerts in a loop, stopped at the third")
            << QByteArray("for (var i = 1; i <= 20; i++) alert('Message ' + i); document.title = 'Done';")
            << QStringList{"ok", "ok", "stop"}
            << QStringList{says + "Message 1", says + "Message 2", says + "Message 3" + offered}
            << "Done";
        QTest::newRow("not stopped, every dialog from the third offers it")
            << QByteArray("for (var i = 1; i <= 4; i++) alert('Message ' + i); document.title = 'Done';")
            << QStringList{}
            << QStringList{says + "Message 1", says + "Message 2", says + "Message 3" + offered,
                           says + "Message 4" + offered}
            << "Done";
        // Once stopped, confirms and prompts answer Cancel and alerts pass.
        // The page's text is shown as it is, never read as markup.
        QTest::newRow("prompts and confirms")
            << QByteArray("var r = [];"
                          "r.push(prompt('<b>Name</b>', 'x'));"
                          "r.push(confirm('Sure?'));"
                          "r.push(confirm('Really?'));"
                          "r.push(confirm('Again?'));"
                          "r.push(String(prompt('Name again', 'y')));"
                          "alert('Never shown');"
                          "document.title = r.join('|');")
            << QStringList{"type:Ann", "cancel", "stop"}
            << QStringList{says + "<b>Name</b>", says + "Sure?", says + "Really?" + offered}
            << "Ann|false|true|false|null";
    }
    void aPageThatKeepsAskingCanBeStopped()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, seen);
        QFETCH(QString, title);
        const QString file = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).left(8) + ".htm");
        QVERIFY(test::writeBytes(file, test::page("Asking", QByteArray("<script>" + script + "</script>").constData())));
        m_seen.clear();
        m_answers = answers;
        frmBrowser *w = openBrowserWindow(*m_host, file);
        QVERIFY2(QTest::qWaitFor([&] { return w->caption() == title; }, test::kLoad), qPrintable(w->caption()));
        QCOMPARE(m_seen, seen);
    }

    // A page that asks to be kept when left: once its dialogs are stopped,
    // the user still gets away from it.
    void aStoppedPageCanBeLeft()
    {
        const QString keeper = m_dir.filePath(QStringLiteral("keeper.htm"));
        const QString other = m_dir.filePath(QStringLiteral("other.htm"));
        QVERIFY(test::writeBytes(keeper, test::page("Keeper", "<script>"
                                                              "onbeforeunload = function (e) { e.preventDefault();"
                                                              " e.returnValue = 'stay'; };"
                                                              "for (var i = 1; i <= 3; i++) alert(i);"
                                                              "</script>")));
        QVERIFY(test::writeBytes(other, test::page("Other")));
        m_seen.clear();
        m_answers = QStringList{"ok", "ok", "stop"};
        frmBrowser *w = openBrowserWindow(*m_host, keeper);
        QVERIFY2(QTest::qWaitFor([&] { return w->caption() == QLatin1String("Keeper"); }, test::kLoad),
                 qPrintable(w->caption()));
        QCOMPARE(m_seen.size(), 3);
        // The engine asks about leaving only after the user has used the page.
        QWidget *view = w->page()->widget();
        QTest::mouseClick(view->focusProxy() ? view->focusProxy() : view, Qt::LeftButton, {}, QPoint(20, 20));
        w->Navigate(other);
        QVERIFY2(QTest::qWaitFor([&] { return w->caption() == QLatin1String("Other"); }, test::kLoad),
                 qPrintable(w->caption()));
        QCOMPARE(m_seen.size(), 3);
    }
};

QTEST_MAIN(PageDialogsTest)
#include "tst_page_dialogs.moc"
