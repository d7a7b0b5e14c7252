// Browser windows in the real frame, driven by key presses and clicks that
// go through the X server (xdotool), as a user's do. Runs on a private Xvfb
// through run_on_x.sh.
#include "DataRows.h"
#include "StartedFrame.h"
#include "TestFiles.h"
#include "Xdo.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/LiveArea.h"
#include "browser/LivePreviewDock.h"
#include "browser/PageArea.h"
#include "browser/frmBrowser.h"
#include "browser/frmOpen.h"
#include "shell/CommandBars.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::xdo;

namespace {

constexpr int kLoad = test::kCeiling; // a local page loaded

// Waits on the window's own caption, without the extra waiting that a failed
// QTRY_COMPARE adds.
bool captionBecomes(QWidget *window, const QString &title)
{
    return QTest::qWaitFor([&] { return window->windowTitle() == title; }, kLoad);
}

QByteArray page(const char *title)
{
    return QByteArray("<!DOCTYPE html><html><head><title>") + title + "</title></head><body></body></html>";
}

} // namespace

class BrowserKeysTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<frmMain> m_frame;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A browser window on page A, loaded, with the focus in its address box.
    frmBrowser *openOnPageA()
    {
        frmBrowser *w = openBrowserWindow(*m_frame, path("a.htm"));
        if (!captionBecomes(w, QStringLiteral("Page A"))) {
            qWarning() << "the page did not load; the caption reads" << w->caption();
            return nullptr;
        }
        // The engine's first page may take the activation from the frame.
        m_frame->activateWindow();
        if (!QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling))
            return nullptr;
        w->cboAddress->setFocus(Qt::OtherFocusReason);
        if (!QTest::qWaitFor([w] { return QApplication::focusWidget() == w->cboAddress; }, test::kCeiling)) {
            qWarning() << "the address box did not take the focus; it is on" << QApplication::focusWidget();
            return nullptr;
        }
        return w;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server; run it through run_on_x.sh");
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        QVERIFY(test::writeBytes(path("a.htm"), page("Page A")));
        QVERIFY(test::writeBytes(path("b.htm"), page("Page B")));
        QVERIFY(test::writeBytes(path("c.htm"), page("Page C")));
        test::startIn(m_dir.path());
        m_frame = test::startFrame(m_dialogs);
        m_frame->setGeometry(0, 0, 1000, 760);
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
    }
    void cleanupTestCase() { m_frame.reset(); }
    void cleanup()
    {
        for (QMdiSubWindow *sub : m_frame->mdiArea->subWindowList())
            if (qobject_cast<frmBrowser *>(sub->widget()))
                sub->close();
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->mdiArea->subWindowList().size(), 1, test::kCeiling);
    }

    // Typing an address and pressing Enter sends the window there, exactly
    // as typed, and adds nothing to the address list. Then picking the
    // list's entry with the mouse sends the window there and puts the entry
    // into the box, whether the box holds another address (typed and
    // loaded) or the entry's own.
    void enterInTheAddressBoxNavigates_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("Return, then the list") << "Return";
        QTest::newRow("keypad Enter") << "KP_Enter";
    }
    void enterInTheAddressBoxNavigates()
    {
        QFETCH(QString, key);
        frmBrowser *w = openOnPageA();
        QVERIFY(w);
        QVERIFY(xdo({"key", "ctrl+a"}));
        QVERIFY(xdo({"type", "--delay", "5", path("b.htm")}));
        QTRY_COMPARE_WITH_TIMEOUT(w->cboAddress->currentText(), path("b.htm"), test::kCeiling);
        QVERIFY(xdo({"key", key}));
        QVERIFY2(captionBecomes(w, QStringLiteral("Page B")), qPrintable(w->caption()));
        QCOMPARE(w->page()->url(), QUrl::fromLocalFile(path("b.htm")));
        QCOMPARE(w->cboAddress->count(), 1);
        QCOMPARE(w->cboAddress->itemText(0), path("a.htm"));
        QCOMPARE(w->cboAddress->currentText(), path("b.htm"));
        if (key != QLatin1String("Return"))
            return;

        // The whole box in sight: new windows are cascaded, partly beyond the area.
        w->parentWidget()->move(0, 0);
        const auto pick = [&] {
            QComboBox *box = w->cboAddress;
            const QPoint arrow = box->mapToGlobal(QPoint(box->width() - 6, box->height() / 2));
            QVERIFY(xdo({"mousemove", QString::number(arrow.x()), QString::number(arrow.y()), "click", "1"}));
            QAbstractItemView *list = box->view();
            QVERIFY(QTest::qWaitFor([list] { return list->isVisible(); }, 10000));
            QVERIFY(QTest::qWaitForWindowExposed(list->window(), test::kCeiling));
            const QPoint entry = list->viewport()->mapToGlobal(list->visualRect(list->model()->index(0, 0)).center());
            QVERIFY(xdo({"mousemove", QString::number(entry.x()), QString::number(entry.y()), "click", "1"}));
            QVERIFY(QTest::qWaitFor([list] { return !list->isVisible(); }, 10000));
        };
        pick();
        QVERIFY2(captionBecomes(w, QStringLiteral("Page A")), qPrintable(w->caption()));
        QCOMPARE(w->cboAddress->currentText(), path("a.htm"));
        QSignalSpy loads(w, &QWidget::windowTitleChanged);
        pick();
        QVERIFY(QTest::qWaitFor([&] { return loads.size() >= 2 && w->caption() == QLatin1String("Page A"); }, kLoad));
        QCOMPARE(w->page()->url(), QUrl::fromLocalFile(path("a.htm")));
        QCOMPARE(w->cboAddress->currentText(), path("a.htm"));
    }

    // A real click on a link in the live preview opens one browser window
    // there; the page's own attempt right after it, on the same click,
    // opens nothing and stops its scripts.
    void aClickInTheLivePreviewOpensOneWindow()
    {
        frmDocument *document = m_frame->activeDocument();
        QVERIFY(document);
        // A saved page's links lead to the files of its folder.
        const QString untitled = document->caption();
        document->setCaption(path("live.htm"));
        m_frame->commands().viewLivePreview->setChecked(true);
        auto *dock = m_frame->findChild<LivePreviewDock *>();
        QVERIFY(dock && dock->area());
        QSignalSpy shown(dock, &LivePreviewDock::shown);
        const QByteArray text = "<a id=l href='b.htm' style='display:block;width:200px;height:100px' "
                                "onclick=\"setTimeout(function(){location='c.htm'},100)\">go</a>";
        document->textEdit->loadBytes(text);
        QVERIFY(QTest::qWaitFor([&] { return !shown.isEmpty() && shown.last().at(0).toBool(); }, kLoad));
        QWidget *view = dock->area()->widget();
        QVERIFY(QTest::qWaitForWindowExposed(view->window(), test::kCeiling));
        const QPoint at = view->mapToGlobal(QPoint(40, 40));
        QVERIFY(xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}));
        QVERIFY(QTest::qWaitFor([&] { return dock->message().contains(QLatin1String("without a click")); }, kLoad));
        QList<frmBrowser *> opened;
        for (QMdiSubWindow *sub : m_frame->mdiArea->subWindowList())
            if (auto *browser = qobject_cast<frmBrowser *>(sub->widget()))
                opened << browser;
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first()->StartingAddress, QUrl::fromLocalFile(path("b.htm")).toString());
        m_frame->commands().viewLivePreview->setChecked(false);
        document->setCaption(untitled);
    }

    // In the Open window, opened with Ctrl+O, Enter in the field is OK: the
    // shared browser window goes to the typed address.
    void enterInTheOpenWindowIsOk_data()
    {
        tw::test::columns<QString, QString, QString>("key", "file", "title");
        QTest::newRow("Return") << "Return" << "b.htm" << "Page B";
        QTest::newRow("keypad Enter") << "KP_Enter" << "c.htm" << "Page C";
    }
    void enterInTheOpenWindowIsOk()
    {
        QFETCH(QString, key);
        QFETCH(QString, file);
        QFETCH(QString, title);
        QVERIFY(openOnPageA());
        const QString typed = m_dir.filePath(file);
        bool seen = false;
        bool closedByEnter = false;
        int result = -1;
        // The window is modal: it is driven from inside its own event loop,
        // once its field has the focus.
        QMetaObject::Connection focus;
        focus = connect(qApp, &QApplication::focusChanged, this, [&](QWidget *, QWidget *now) {
            auto *dialog = now ? qobject_cast<frmOpen *>(now->window()) : nullptr;
            if (!dialog || now != dialog->txtOpen)
                return;
            disconnect(focus);
            seen = true;
            QTimer::singleShot(0, dialog, [&, dialog] {
                QSignalSpy finished(dialog, &QDialog::finished);
                // Without a window manager a new window is not made active
                // for the keyboard by itself.
                dialog->activateWindow();
                if (!QTest::qWaitForWindowActive(dialog, test::kCeiling))
                    qWarning("the dialog was not made active; the keys may miss it");
                // Keys go where the X server has the focus, which may follow
                // a moment after Qt calls the window active.
                QByteArray focused;
                if (!QTest::qWaitFor([&] {
                        return xdo({"getwindowfocus"}, &focused) && focused == QByteArray::number(dialog->winId());
                    }, test::kCeiling))
                    qWarning("the X server's focus is not on the dialog; the keys may miss it");
                xdo({"type", "--delay", "5", typed});
                xdo({"key", key});
                closedByEnter = !finished.isEmpty() || finished.wait(test::kCeiling);
                if (!closedByEnter)
                    dialog->reject(); // lets the test go on and report
                result = dialog->result();
            });
        });
        QVERIFY(xdo({"key", "ctrl+o"}));
        QTRY_VERIFY_WITH_TIMEOUT(seen && result != -1, test::kCeiling);
        QVERIFY2(closedByEnter, "Enter did not close the Open window");
        QCOMPARE(result, int(QDialog::Accepted));
        frmBrowser *shared = sharedBrowserWindow(*m_frame);
        QCOMPARE(shared->cboAddress->currentText(), typed);
        QVERIFY2(captionBecomes(shared, title), qPrintable(shared->caption()));
    }

    // With part of the address selected, a click on a bar button wraps that
    // part; Bold gives the focus back to the address box, Center leaves it
    // on the button.
    void barButtonsWrapTheSelectedPartOfTheAddress_data()
    {
        tw::test::columns<QString, QString, bool>("button", "wrapped", "focusBack");
        QTest::newRow("Bold") << "CmdBold" << "a.<B>htm</B>" << true;
        QTest::newRow("Center") << "CmdCenter" << "a.<CENTER>htm</CENTER>" << false;
    }
    void barButtonsWrapTheSelectedPartOfTheAddress()
    {
        auto [button, wrapped, focusBack] = tw::test::fetch<QString, QString, bool>("button", "wrapped", "focusBack");
        frmBrowser *w = openOnPageA();
        QVERIFY(w);
        QVERIFY(xdo({"key", "End", "shift+Left", "shift+Left", "shift+Left"}));
        QTRY_COMPARE_WITH_TIMEOUT(w->cboAddress->lineEdit()->selectedText(), QStringLiteral("htm"), test::kCeiling);
        auto *bar = m_frame->findChild<QPushButton *>(button);
        QVERIFY(bar && bar->isVisible());
        const QPoint at = bar->mapToGlobal(bar->rect().center());
        QSignalSpy clicked(bar, &QPushButton::clicked);
        QVERIFY(xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}));
        QVERIFY(clicked.size() == 1 || clicked.wait(test::kCeiling));
        QCOMPARE(w->cboAddress->currentText(), m_dir.path() + QLatin1Char('/') + wrapped);
        QCOMPARE(QApplication::focusWidget() == w->cboAddress, focusBack);
    }
};

QTEST_MAIN(BrowserKeysTest)
#include "tst_browser_keys.moc"
