#include "DataRows.h"
#include "ModalDriver.h"
#include "platform/QtDialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

using namespace tw;
using tw::test::onNextModal;

// Each kind of real dialog, shown offscreen and answered as a user would.
class QtDialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void promptShowsTextAndTitleAndReturnsTypedText()
    {
        QtDialogs dialogs;
        QString title, label;
        onNextModal([&](QWidget *w) {
            auto *input = qobject_cast<QInputDialog *>(w);
            QVERIFY(input);
            title = input->windowTitle();
            label = input->labelText();
            QVERIFY(input->textValue().isEmpty());
            input->setTextValue(QStringLiteral("  a \"quoted\" <answer>  "));
            input->accept();
        });
        QCOMPARE(dialogs.prompt(QStringLiteral("Enter the ACTION for the form :"), QStringLiteral("Form Action")),
                 QStringLiteral("  a \"quoted\" <answer>  "));
        QCOMPARE(title, QStringLiteral("Form Action"));
        QCOMPARE(label, QStringLiteral("Enter the ACTION for the form :"));

        onNextModal([](QWidget *w) {
            static_cast<QInputDialog *>(w)->setTextValue(QStringLiteral("typed"));
            static_cast<QDialog *>(w)->reject();
        });
        QCOMPARE(dialogs.prompt(QStringLiteral("x"), QStringLiteral("y")), QString());

        // Not cut at 32,767 characters, as a line edit does unless told otherwise.
        const QString address = QString(100000, QLatin1Char('a'));
        onNextModal([&](QWidget *w) {
            static_cast<QInputDialog *>(w)->setTextValue(address);
            static_cast<QDialog *>(w)->accept();
        });
        QCOMPARE(dialogs.prompt(QStringLiteral("x"), QStringLiteral("y")), address);
    }

    void questionsAnswerYesNoAndCancel()
    {
        QtDialogs dialogs;
        auto press = [](QMessageBox::StandardButton which, QString *text = nullptr) {
            onNextModal([which, text](QWidget *w) {
                auto *box = qobject_cast<QMessageBox *>(w);
                QVERIFY(box);
                QCOMPARE(box->icon(), QMessageBox::Question);
                if (text)
                    *text = box->windowTitle() + QLatin1Char('|') + box->text();
                box->button(which)->click();
            });
        };
        QString shown;
        press(QMessageBox::Yes, &shown);
        QVERIFY(dialogs.askYesNo(QStringLiteral("Do you want to delete the curent HTML ?"), QStringLiteral("Delete File")));
        QCOMPARE(shown, QStringLiteral("Delete File|Do you want to delete the curent HTML ?"));
        press(QMessageBox::No);
        QVERIFY(!dialogs.askYesNo(QStringLiteral("q"), QStringLiteral("t")));

        press(QMessageBox::No);
        QCOMPARE(dialogs.askYesNoCancel(QStringLiteral("q"), QStringLiteral("t")), Answer::No);
        press(QMessageBox::Cancel);
        QCOMPARE(dialogs.askYesNoCancel(QStringLiteral("q"), QStringLiteral("t")), Answer::Cancel);
        onNextModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QCOMPARE(dialogs.askYesNoCancel(QStringLiteral("q"), QStringLiteral("t")), Answer::Cancel);
    }

    // Enter takes the default button: Yes for a plain question, No for one
    // whose Yes throws work away.
    void enterAnswersTheDefault_data()
    {
        tw::test::columns<bool, bool>("discards", "answer");
        QTest::newRow("plain question") << false << true;
        QTest::newRow("Yes throws work away") << true << false;
    }
    void enterAnswersTheDefault()
    {
        QFETCH(bool, discards);
        QFETCH(bool, answer);
        QtDialogs dialogs;
        QString shown;
        onNextModal([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            shown = box->windowTitle() + QLatin1Char('|') + box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        const QString text = QStringLiteral("Reload it and lose those changes?");
        const bool yes = discards ? dialogs.askYesNoDefaultNo(text, QStringLiteral("Tagwright"))
                                  : dialogs.askYesNo(text, QStringLiteral("Tagwright"));
        QCOMPARE(yes, answer);
        QCOMPARE(shown, QStringLiteral("Tagwright|Reload it and lose those changes?"));
    }

    // A message's icon follows its kind; a plain one has none. OK is its one button.
    void messageShowsItsText_data()
    {
        tw::test::columns<int, int>("kind", "icon");
        QTest::newRow("critical") << int(MessageKind::Critical) << int(QMessageBox::Critical);
        QTest::newRow("plain") << int(MessageKind::Plain) << int(QMessageBox::NoIcon);
    }
    void messageShowsItsText()
    {
        auto [kind, icon] = tw::test::fetch<int, int>("kind", "icon");
        QtDialogs dialogs;
        QString shown;
        onNextModal([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            shown = box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|')
                + QString::number(box->icon()) + QLatin1Char('|') + QString::number(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
        dialogs.message(QStringLiteral("Cannot read x"), QStringLiteral("Open"), MessageKind(kind));
        QCOMPARE(shown, QStringLiteral("Open|Cannot read x|%1|1").arg(icon));
    }

    void fileDialogsReturnPathAndBareNameWithDefaultExtension()
    {
        QTemporaryDir dir;
        QtDialogs dialogs;
        QStringList filters;
        auto typeName = [&](const QString &name) {
            onNextModal([&, name](QWidget *w) {
                auto *dialog = qobject_cast<QFileDialog *>(w);
                QVERIFY(dialog);
                filters = dialog->nameFilters();
                dialog->setDirectory(dir.path());
                // Offscreen, selectFile() does not take; type into the name box.
                auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                QVERIFY(edit);
                edit->setText(name);
                static_cast<QDialog *>(dialog)->accept();
            });
        };

        typeName(QStringLiteral("page"));
        FileChoice saved = dialogs.saveFile(QStringLiteral("HTML Document"), QStringLiteral("htm"));
        QCOMPARE(saved.path, dir.filePath(QStringLiteral("page.htm")));
        QCOMPARE(saved.title, QStringLiteral("page.htm"));
        QCOMPARE(filters, QStringList{QStringLiteral("HTML Document (*)")});

        // The open dialog takes the name of a file that does not exist.
        typeName(QStringLiteral("missing.html"));
        FileChoice opened = dialogs.openFile(
            QStringLiteral("HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*"), QStringLiteral("htm"));
        QCOMPARE(opened.path, dir.filePath(QStringLiteral("missing.html")));
        QCOMPARE(filters.size(), 2);

        onNextModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QVERIFY(dialogs.openFile(QStringLiteral("HTML Document"), QStringLiteral("htm")).cancelled());
    }

    // The folder dialog: a folder typed in its name box is the one chosen.
    void folderDialogGivesTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("my site")));
        QtDialogs dialogs;
        QString title;
        onNextModal([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            dialog->setDirectory(dir.path());
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("my site"));
            static_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(dialogs.chooseFolder(QStringLiteral("Open Folder")), dir.filePath(QStringLiteral("my site")));
        QCOMPARE(title, QStringLiteral("Open Folder"));
        onNextModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QCOMPARE(dialogs.chooseFolder(QStringLiteral("Open Folder")), QString());
    }

    // The file dialog reads quotes in its name box as marks around several
    // names; a single file whose name holds them must still be the one chosen.
    void namesWithQuotesCanBeChosen_data()
    {
        // The file created in the folder first (unless empty), the name typed, the name chosen, and the default
        // extension of a save dialog (an open dialog when empty).
        tw::test::columns<QString, QString, QString, QString>("file", "typed", "chosen", "saveAs");
        QTest::newRow("quotes inside") << "say \"hi\".gif" << "say \"hi\".gif" << "say \"hi\".gif" << "";
        QTest::newRow("one quote") << "a\"b.gif" << "a\"b.gif" << "a\"b.gif" << "";
        QTest::newRow("quoted all round") << "\"logo\".gif" << "\"logo\".gif" << "\"logo\".gif" << "";
        QTest::newRow("a quoted name of a plain file") << "logo.gif" << "\"logo.gif\"" << "logo.gif" << "";
        QTest::newRow("quotes in a new name") << "" << "new \"one\".gif" << "new \"one\".gif" << "";
        QTest::newRow("saved with quotes, extension added") << "" << "my \"page\"" << "my \"page\".htm" << "htm";
    }
    void namesWithQuotesCanBeChosen()
    {
        auto [file, typed, chosen, saveAs] =
            tw::test::fetch<QString, QString, QString, QString>("file", "typed", "chosen", "saveAs");
        QTemporaryDir dir;
        if (!file.isEmpty()) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QtDialogs dialogs;
        onNextModal([&, typed = typed](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            QVERIFY(dialog);
            dialog->setDirectory(dir.path());
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
            static_cast<QDialog *>(dialog)->accept();
        });
        const FileChoice choice = saveAs.isEmpty()
            ? dialogs.openFile(QStringLiteral("Pictures Files|*.jpg;*.gif;*.bmp"), QString())
            : dialogs.saveFile(QStringLiteral("HTML Document"), saveAs);
        QCOMPARE(choice.path, dir.filePath(chosen));
        QCOMPARE(choice.title, chosen);
    }

    // The print dialog keeps a PDF file chosen for the printer; Cancel is false.
    void printDialogAcceptsAndCancels()
    {
        QtDialogs dialogs;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/tmp/page.pdf"));
        QString title;
        onNextModal([&](QWidget *w) {
            QVERIFY(qobject_cast<QPrintDialog *>(w));
            title = w->windowTitle();
            static_cast<QDialog *>(w)->accept();
        });
        QVERIFY(dialogs.choosePrinter(printer, QStringLiteral("Print")));
        QCOMPARE(title, QStringLiteral("Print"));
        QCOMPARE(printer.outputFileName(), QStringLiteral("/tmp/page.pdf"));
        onNextModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QVERIFY(!dialogs.choosePrinter(printer, QStringLiteral("Print")));
    }
};

QTEST_MAIN(QtDialogsTest)
#include "tst_qtdialogs.moc"
