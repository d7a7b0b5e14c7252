#include "Ceiling.h"
#include "MarkedEditor.h"
#include "ModalDriver.h"
#include "ScriptedDialogs.h"
#include "markup/FontCommands.h"
#include "markup/LinkCommand.h"
#include "markup/MarkupWindows.h"
#include "markup/frmColor.h"
#include "markup/frmLinks.h"
#include "markup/frmPicPath.h"
#include "platform/Twips.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tw;
using namespace tw::test;

namespace {

template <typename Window>
Window *modalAs(QWidget *w)
{
    auto *window = qobject_cast<Window *>(w);
    if (!window)
        qWarning("unexpected modal window %s", w ? w->metaObject()->className() : "none");
    return window;
}

} // namespace

// The real palette, links and picture-path windows, shown offscreen and
// used as a user would: clicks, typing, Enter, Escape, the close box.
class MarkupWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paletteCellsAreFilledPlacedAndNamed()
    {
        frmColor palette;
        palette.show();
        QVERIFY(QTest::qWaitForWindowExposed(&palette, test::kCeiling));
        QCOMPARE(palette.windowTitle(), QStringLiteral("Colors"));
        QCOMPARE(palette.cells.size(), 16);
        for (int i = 0; i < 16; ++i) {
            const PaletteCell &cell = paletteCells().at(i);
            QPushButton *button = palette.cells.at(i);
            QCOMPARE(button->objectName(), QString::fromLatin1(cell.name));
            QCOMPARE(button->geometry(), pxRect(cell.left, cell.top, 432, 336));
            QVERIFY(button->focusPolicy() & Qt::TabFocus);
            QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name),
                     QString::fromLatin1(cell.text));
            const QImage image = button->grab().toImage();
            QCOMPARE(image.pixelColor(image.rect().center()), cell.fill);
        }
    }

    void paletteAnswersClickKeyboardAndEscape()
    {
        QtMarkupWindows windows;
        onNextModal([](QWidget *w) {
            if (auto *palette = modalAs<frmColor>(w))
                QTest::mouseClick(palette->findChild<QPushButton *>("c2"), Qt::LeftButton);
        });
        QCOMPARE(windows.pickColorCell(nullptr), 9);

        onNextModal([](QWidget *w) {
            auto *palette = modalAs<frmColor>(w);
            if (!palette)
                return;
            palette->cells.at(0)->setFocus();
            QTest::keyClick(palette->focusWidget(), Qt::Key_Tab);
            QTest::keyClick(palette->focusWidget(), Qt::Key_Space);
        });
        QCOMPARE(windows.pickColorCell(nullptr), 1);

        onNextModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(windows.pickColorCell(nullptr), -1);
    }

    void linksDialogTypedAddressWithEnter()
    {
        MarkedEditor page("see [our shop] now");
        ScriptedDialogs dialogs;
        QtMarkupWindows windows;
        QString seen;
        onNextModal([&](QWidget *w) {
            auto *links = modalAs<frmLinks>(w);
            if (!links)
                return;
            seen = QStringList{links->windowTitle(), links->Label2->text(), links->Label1->text(),
                               links->CmdBrowse->text(), links->CmdAccept->text(), links->CmdCancel->text()}
                       .join('|');
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), links->txtPath, test::kCeiling);
            QTest::keyClicks(links->txtPath->lineEdit(), "shop.htm");
            QTest::keyClick(links->txtPath->lineEdit(), Qt::Key_Return);
        });
        CmdLinks_Click(dialogs, page.active, windows, nullptr);
        QCOMPARE(seen, QStringLiteral("Links|Type a Internet address of a document or folder, and click ok to add "
                                      "link.|&Link to :|&Browse...|OK|Cancel"));
        QCOMPARE(page.text(), QStringLiteral("see <A HREF=\"shop.htm\">our shop</A> now"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void linksBrowsePutsTheBareNameAndEscapeCancels()
    {
        ScriptedDialogs dialogs;
        dialogs.file("").file("/web/docs/intro.html").file("");
        QtMarkupWindows windows;
        QStringList boxes;
        onNextModal([&](QWidget *w) {
            auto *links = modalAs<frmLinks>(w);
            if (!links)
                return;
            links->txtPath->setEditText("typed");
            for (int i = 0; i < 3; ++i) {
                links->CmdBrowse->click();
                boxes << links->txtPath->currentText();
            }
            QTest::keyClick(links, Qt::Key_Escape);
        });
        QCOMPARE(windows.askLinkAddress(dialogs, nullptr), std::nullopt);
        QCOMPARE(boxes, (QStringList{"", "intro.html", "intro.html"}));
        QCOMPARE(dialogs.shown.first().text,
                 QStringLiteral("HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*"));

        onNextModal([](QWidget *w) {
            if (auto *links = modalAs<frmLinks>(w))
                links->CmdAccept->click();
        });
        QCOMPARE(windows.askLinkAddress(dialogs, nullptr), std::optional<QString>(""));
    }

    // A line edit cuts its text at 32,767 characters unless told otherwise.
    void longAddressesAndFoldersAreTakenWhole()
    {
        const QString address = QStringLiteral("http://example.com/?q=") + QString(100000 - 22, QLatin1Char('x'));
        QCOMPARE(address.size(), 100000);
        ScriptedDialogs dialogs;
        QtMarkupWindows windows;
        QApplication::clipboard()->setText(address);
        onNextModal([](QWidget *w) {
            if (auto *links = modalAs<frmLinks>(w)) {
                QTest::keyClick(links->txtPath->lineEdit(), Qt::Key_V, Qt::ControlModifier);
                links->CmdAccept->click();
            }
        });
        QCOMPARE(windows.askLinkAddress(dialogs, nullptr), std::optional<QString>(address));

        const QString folder = QStringLiteral("/web/") + QString(40000, QLatin1Char('f'));
        onNextModal([](QWidget *w) {
            if (auto *warning = modalAs<frmPicPath>(w)) {
                warning->txtOpen->lineEdit()->end(false);
                QTest::keyClick(warning->txtOpen->lineEdit(), Qt::Key_V, Qt::ControlModifier);
                warning->CmdYes->click();
            }
        });
        QCOMPARE(windows.askPicturePath(dialogs, folder, {}, nullptr).folder, folder + address);
    }

    void pictureWarningShowsItsTextsAndReportsHowItClosed()
    {
        ScriptedDialogs dialogs;
        dialogs.file("/web/docs/page.htm");
        QtMarkupWindows windows;
        int saves = 0;
        const SavePageForPicture save = [&saves]() -> std::optional<QString> {
            ++saves;
            return QStringLiteral("/saved/");
        };
        QStringList seen;
        onNextModal([&](QWidget *w) {
            auto *warning = modalAs<frmPicPath>(w);
            if (!warning)
                return;
            seen << warning->windowTitle() << warning->Label1->text() << warning->Label2->text()
                 << warning->txtOpen->currentText() << warning->CmdBrowse->text() << warning->SaveHtml->text()
                 << warning->ShowBox->text() << warning->CmdYes->text() << warning->CmdNo->text();
            QVERIFY(!warning->ShowBox->isChecked());
            warning->CmdBrowse->click();
            seen << warning->txtOpen->currentText();
            warning->SaveHtml->click();
            seen << warning->txtOpen->currentText();
            QTest::keyClicks(warning->txtOpen->lineEdit(), "web");
            warning->ShowBox->click();
            warning->CmdYes->click();
        });
        const PicPathAnswer yes = windows.askPicturePath(dialogs, "/typed", save, nullptr);
        QCOMPARE(seen, (QStringList{"Warning...",
                                    "The path of the picture must be the same of your html. If the path is "
                                    "different, do you want that the picture file be copied in the same directory ?",
                                    "If yes, enter the path of your html in this box :", "/typed", "...",
                                    "&Save HTML", "Dont show again", "YES", "NO", "/web/docs/", "/saved/"}));
        QCOMPARE(saves, 1);
        QCOMPARE(yes.button, PicPathAnswer::Yes);
        QCOMPARE(yes.folder, QStringLiteral("/saved/web"));
        QVERIFY(yes.dontShowAgain);

        onNextModal([](QWidget *w) {
            if (auto *warning = modalAs<frmPicPath>(w))
                warning->CmdNo->click();
        });
        QCOMPARE(windows.askPicturePath(dialogs, "", save, nullptr).button, PicPathAnswer::No);

        onNextModal([](QWidget *w) { w->close(); });
        const PicPathAnswer closed = windows.askPicturePath(dialogs, "", save, nullptr);
        QCOMPARE(closed.button, PicPathAnswer::Closed);
        QVERIFY(!closed.dontShowAgain);
    }
};

QTEST_MAIN(MarkupWindowsTest)
#include "tst_markupwindows.moc"
