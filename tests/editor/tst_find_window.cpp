// The find window worked as a user works it: typing into its boxes, ticking
// its options and pressing its buttons with the mouse or keys.
#include "Ceiling.h"
#include "DataRows.h"
#include "editor/FindDialog.h"
#include "editor/SourceEditor.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tw;

namespace {

void tick(QCheckBox *box)
{
    // The indicator sits at the left end of the box.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
}

void typeInto(QLineEdit *edit, const QString &text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class FindWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_editor = std::make_unique<SourceEditor>();
        m_editor->show();
        m_dialog = std::make_unique<FindDialog>([this] { return m_editor.get(); });
        m_dialog->showReplace();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get(), test::kCeiling));
    }
    void cleanup()
    {
        m_dialog.reset();
        m_editor.reset();
    }

    // boxes: the options ticked, "c" match case, "w" whole word, "x" regular
    // expression; the button is pressed `presses` times from the page's start.
    void buttonsAndBoxes_data()
    {
        tw::test::columns<QByteArray, QString, QString, QString, QString, int, QByteArray, int, QString>(
            "page", "find", "replace", "boxes", "button", "presses", "after", "selectionStart", "status");

        QTest::newRow("exactly one replacement") << QByteArray("Cat dog") << "cat" << "cow" << "" << "replaceAll" << 1
                                                 << QByteArray("cow dog") << 3 << "Replaced 1 match.";
        QTest::newRow("whole words only") << QByteArray("cat catalog cat") << "cat" << "dog" << "w" << "replaceAll" << 1
                                          << QByteArray("dog catalog dog") << 15 << "Replaced 2 matches.";
        QTest::newRow("case kept apart") << QByteArray("Cat cat") << "cat" << "dog" << "c" << "replaceAll" << 1
                                         << QByteArray("Cat dog") << 7 << "Replaced 1 match.";
        QTest::newRow("expression groups") << QByteArray("a1 b22") << "([a-z])([0-9]+)" << "$2$1" << "x"
                                           << "replaceAll" << 1 << QByteArray("1a 22b") << 6 << "Replaced 2 matches.";
        QTest::newRow("a missing group") << QByteArray("a1") << "([a-z])" << "$2" << "x" << "replaceAll" << 1
                                         << QByteArray("a1") << 0
                                         << "The replacement names group 2, but the regular expression has only one group.";
        QTest::newRow("a broken expression")
            << QByteArray("abc") << "[d" << "" << "x" << "replaceAll" << 1 << QByteArray("abc") << 0
            << "The regular expression is not valid at character 3: missing terminating ] for character class.";
        QTest::newRow("nothing to replace") << QByteArray("abc") << "x" << "y" << "" << "replaceAll" << 1
                                            << QByteArray("abc") << 0 << "Cannot find \"x\".";
        QTest::newRow("an empty box") << QByteArray("abc") << "" << "" << "" << "findNext" << 1 << QByteArray("abc")
                                      << 0 << "Type the text to find.";
        QTest::newRow("next goes round") << QByteArray("ab ab") << "ab" << "" << "" << "findNext" << 3
                                         << QByteArray("ab ab") << 0
                                         << "Reached the end of the page; went on from the start.";
        QTest::newRow("previous goes round") << QByteArray("ab ab") << "ab" << "" << "" << "findPrevious" << 1
                                             << QByteArray("ab ab") << 3
                                             << "Reached the start of the page; went on from the end.";
        // The first press finds, each further one replaces and finds on.
        QTest::newRow("one at a time") << QByteArray("ab Ab ab") << "ab" << "X" << "c" << "replace" << 2
                                       << QByteArray("X Ab ab") << 5 << "";
        QTest::newRow("the last one") << QByteArray("ab ab") << "ab" << "X" << "" << "replace" << 3
                                      << QByteArray("X X") << 3 << "Replaced the last match.";
    }
    void buttonsAndBoxes()
    {
        auto [page, find, replace, boxes, button, presses, after, selectionStart, status] = tw::test::fetch<QByteArray, QString, QString, QString, QString, int, QByteArray, int, QString>(
            "page", "find", "replace", "boxes", "button", "presses", "after", "selectionStart", "status");

        m_editor->loadBytes(page);
        typeInto(m_dialog->findEdit, find);
        typeInto(m_dialog->replaceEdit, replace);
        const std::pair<char, QCheckBox *> options[] = {
            {'c', m_dialog->matchCase}, {'w', m_dialog->wholeWord}, {'x', m_dialog->regularExpression}};
        for (const auto &[letter, box] : options) {
            if (boxes.contains(QLatin1Char(letter)))
                tick(box);
            QCOMPARE(box->isChecked(), boxes.contains(QLatin1Char(letter)));
        }
        auto *pressed = m_dialog->findChild<QPushButton *>(button);
        QVERIFY(pressed && pressed->isVisible());
        for (int i = 0; i < presses; ++i)
            QTest::mouseClick(pressed, Qt::LeftButton);

        QCOMPARE(m_editor->documentBytes(), after);
        QCOMPARE(m_editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), long(selectionStart));
        QCOMPARE(m_dialog->status->text(), status);
    }

    // Return in the find box finds the next match; Escape and Close close the window.
    void keysInTheWindow()
    {
        m_editor->loadBytes("one two one");
        typeInto(m_dialog->findEdit, QStringLiteral("one"));
        QTest::keyClick(m_dialog->findEdit, Qt::Key_Return);
        QCOMPARE(m_editor->selectedBytes(), QByteArray("one"));
        QTest::keyClick(m_dialog->findEdit, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), 8L);
        QCOMPARE(m_dialog->status->text(), QString());
        // Changing what to find clears the last result.
        QTest::keyClick(m_dialog->findEdit, Qt::Key_Return);
        QVERIFY(!m_dialog->status->text().isEmpty());
        QTest::keyClicks(m_dialog->findEdit, QStringLiteral("x"));
        QCOMPARE(m_dialog->status->text(), QString());
        QTest::keyClick(m_dialog->findEdit, Qt::Key_Escape);
        QVERIFY(!m_dialog->isVisible());
        m_dialog->showFind();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get(), test::kCeiling));
        QTest::mouseClick(m_dialog->closeButton, Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_editor->documentBytes(), QByteArray("one two one"));
    }

    // Pasted text is taken whole, past the 32,767 characters a line edit
    // keeps unless told otherwise, and a replacement that long is written.
    void longTextIsTakenWhole()
    {
        const QString find = QStringLiteral("<p>") + QString(100000 - 3, QLatin1Char('f'));
        const QString replace = QString(100000, QLatin1Char('r'));
        for (const auto &[edit, text] : {std::pair{m_dialog->findEdit, find}, std::pair{m_dialog->replaceEdit, replace}}) {
            QApplication::clipboard()->setText(text);
            QTest::mouseClick(edit, Qt::LeftButton);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edit->text(), text);
        }
        m_editor->loadBytes("[x]");
        typeInto(m_dialog->findEdit, QStringLiteral("x"));
        QTest::mouseClick(m_dialog->replaceAllButton, Qt::LeftButton);
        QCOMPARE(m_dialog->status->text(), QStringLiteral("Replaced 1 match."));
        QCOMPARE(m_editor->documentBytes(), "[" + replace.toLatin1() + "]");
    }

    // Find alone hides the replace row; the page is never changed from it.
    void findAloneHasNoReplaceRow()
    {
        m_dialog->showFind();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Find"));
        for (QWidget *w : {static_cast<QWidget *>(m_dialog->replaceEdit), static_cast<QWidget *>(m_dialog->replaceButton),
                           static_cast<QWidget *>(m_dialog->replaceAllButton)})
            QVERIFY(!w->isVisible());
        m_dialog->showReplace();
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Find and Replace"));
        QVERIFY(m_dialog->replaceAllButton->isVisible());
    }

private:
    std::unique_ptr<SourceEditor> m_editor;
    std::unique_ptr<FindDialog> m_dialog;
};

QTEST_MAIN(FindWindowTest)
#include "tst_find_window.moc"
