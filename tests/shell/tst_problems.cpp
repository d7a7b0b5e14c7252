#include "StartedFrame.h"
#include "checking/CheckerRun.h"
#include "checking/PageChecker.h"
#include "documents/DocumentCheck.h"
#include "editor/EditorSettings.h"
#include "documents/ProblemMarks.h"
#include "shell/FrameMenus.h"
#include "shell/ProblemsDock.h"

#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <unistd.h>

using namespace tw;

namespace {

// A page with one error, warnings and notes. The <img> tag starts at byte 52
// (line 3, column 9 after a two-byte character and a tab), <foo> at 68.
const QByteArray kPage = "<html><head><title>T</title></head>\n"
                         "<body>\n"
                         "<p>caf\xc3\xa9\t<img src=a.gif>\n"
                         "<foo>x</foo>\n"
                         "</body></html>\n";

// The checkers this process has started that are still there.
int checkersRunning()
{
    int n = 0;
    const QString parent = QString::number(getpid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' '); // state, parent, ...
        n += line.contains("(tagwright-check)") && fields.size() > 1 && fields[1] == parent.toLatin1();
    }
    return n;
}

} // namespace

// The Problems dock driven as a user drives it: F7 in the page, the rows
// read, a row activated with Enter or a double-click.
class ProblemsTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    ProblemsDock *dock() const { return m_frame->findChild<ProblemsDock *>(); }
    SourceEditor *editor() const { return m_frame->activeDocument()->textEdit; }
    DocumentCheck *check() const { return DocumentCheck::of(m_frame->activeDocument()); }
    QString cell(int row, int column) const
    {
        QAbstractItemModel *model = dock()->view()->model();
        return model->data(model->index(row, column)).toString();
    }
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < dock()->view()->model()->rowCount(); ++r)
            out << QStringList{cell(r, 0), cell(r, 1), cell(r, 2), cell(r, 3)}.join(QLatin1Char('|'));
        return out;
    }
    // Presses F7 in the page and waits for the result.
    void checkWithF7()
    {
        editor()->setFocus();
        QTest::keyClick(editor(), Qt::Key_F7);
        QVERIFY(check());
        QSignalSpy done(check(), &DocumentCheck::checked);
        QVERIFY(done.wait(test::kCeiling));
    }

private slots:
    void init()
    {
        checking::setCheckerPath(QStringLiteral(TW_CHECKER));
        qputenv("TAGWRIGHT_CHECKER_FAULTS", "1");
        editorSettings::setCheckAsYouType(false);
        open().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get(), test::kCeiling));
        editor()->loadBytes(kPage);
    }
    void cleanup() { closeFrame(); }

    void rowsStatusAndMarks()
    {
        checkWithF7();
        QVERIFY(dock()->isVisible());
        QCOMPARE(dock()->windowTitle(), QStringLiteral("Problems"));
        QAbstractItemModel *model = dock()->view()->model();
        QStringList headers;
        for (int c = 0; c < model->columnCount(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"Line", "Column", "Kind", "Message"}));
        QCOMPARE(rows(), QStringList({
                           "4|1|Error|<foo> is not recognized!",
                           "1|1|Warning|missing <!DOCTYPE> declaration",
                           "3|9|Warning|<img> lacks \"alt\" attribute",
                           "4|1|Warning|discarding unexpected <foo>",
                           "4|7|Warning|discarding unexpected </foo>",
                           "||Info|Document content looks like HTML5",
                           "3|9|Info|value for attribute \"src\" missing quote marks",
                       }));
        QCOMPARE(dock()->summary()->text(), QStringLiteral("1 error, 4 warnings"));
        QVERIFY(dock()->summary()->isVisible());

        // A squiggle under <foo> (an error) and under <img ...> (a warning),
        // a marker beside their lines.
        const auto indicatorAt = [this](int indicator, long position) {
            return editor()->SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT, indicator, position);
        };
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator, 68), 1L);
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator, 72), 1L);
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator, 73), 0L);
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator + 1, 52), 1L);
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator + 1, 66), 1L);
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator + 1, 51), 0L);
        using problemMarks::Weight;
        const auto bit = [](Weight w) { return 1u << problemMarks::markerOf(w); };
        QCOMPARE(editor()->markersAtLine(3), bit(Weight::Error) | bit(Weight::Warning));
        QCOMPARE(editor()->markersAtLine(2), bit(Weight::Warning) | bit(Weight::Info));
        QCOMPARE(editor()->markersAtLine(0), bit(Weight::Warning)); // not the note about the whole page
        QCOMPARE(editor()->markersAtLine(1), 0u);
        QVERIFY(editor()->marginWidth(1) > 0); // the markers' margin is shown
        QCOMPARE(editor()->documentBytes(), kPage); // a check never changes the text
        // A span reaching past the text (it has shrunk since) is marked to its last byte.
        problemMarks::show(editor(), {{68, kPage.size() + 9, Weight::Error}});
        QCOMPARE(indicatorAt(problemMarks::kFirstIndicator, kPage.size() - 1), 1L);
    }

    // Enter on the third row, and a double-click on the first, take the
    // caret to their problems and the focus to the page.
    void aRowTakesTheCaretThere()
    {
        checkWithF7();
        QTableView *view = dock()->view();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex().row(), 2);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(editor()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 52L);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(editor()), test::kCeiling);

        const QRect row0 = view->visualRect(view->model()->index(0, 3));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row0.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row0.center());
        QCOMPARE(editor()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 68L);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(editor()), test::kCeiling);
    }

    // Lines typed at the top, text typed before a problem on its line and a
    // problem's text deleted: the rows read where each problem is now, and
    // its marks and where its row leads move with it.
    void rowsFollowEdits()
    {
        checkWithF7();
        QSignalSpy shown(dock()->view()->model(), &QAbstractItemModel::dataChanged);
        editor()->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0UL);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(editor(), Qt::Key_Return);
        editor()->SendScintilla(QsciScintilla::SCI_GOTOPOS, 46UL); // the start of "<p>café"
        QTest::keyClicks(editor(), QStringLiteral("ab"));
        editor()->SendScintilla(QsciScintilla::SCI_SETSEL, 73UL, 78L); // <foo>
        QTest::keyClick(editor(), Qt::Key_Delete);
        QCOMPARE(editor()->rangeBytes(70, 80), QByteArray("f>\nx</foo>"));
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), test::kCeiling); // the list shows the rows anew
        QCOMPARE(rows(), QStringList({
                           "||Error|<foo> is not recognized! (the text here has changed since the check)",
                           "4|1|Warning|missing <!DOCTYPE> declaration",
                           "6|17|Warning|<img> lacks \"alt\" attribute",
                           "||Warning|discarding unexpected <foo> (the text here has changed since the check)",
                           "7|2|Warning|discarding unexpected </foo>",
                           "||Info|Document content looks like HTML5",
                           "6|17|Info|value for attribute \"src\" missing quote marks",
                       }));
        const auto warningAt = [this](long at) {
            return editor()->SendScintilla(QsciScintilla::SCI_INDICATORVALUEAT, problemMarks::kFirstIndicator + 1, at);
        };
        QCOMPARE(warningAt(57), 1L); // <img> was at 52
        QCOMPARE(warningAt(56), 0L);
        QTableView *view = dock()->view();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(2, 0));
        QTest::keyClick(view, Qt::Key_Enter);
        QCOMPARE(editor()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 57L);
    }

    // Closing the frame while the checker runs (and would for ten minutes)
    // kills it without waiting for it.
    void closingWhileACheckRuns()
    {
        editor()->loadBytes("<!--hang-->" + kPage);
        auto *checker = m_frame->findChild<checking::PageChecker *>();
        QSignalSpy started(checker, &checking::PageChecker::checkStarted);
        m_frame->commands().checkPage->trigger();
        QVERIFY(started.wait(60000));
        QTRY_COMPARE_WITH_TIMEOUT(checkersRunning(), 1, 60000);
        QVERIFY(m_frame->close());
        m_frame.reset();
        QCOMPARE(checkersRunning(), 0);
    }

    // A result for text that changed while it was made is thrown away; the
    // command checks the text as it is then.
    void staleResultIsThrownAway()
    {
        auto *checker = m_frame->findChild<checking::PageChecker *>();
        QVERIFY(checker);
        int started = 0; // counted on this thread, as the window sees it
        // The <foo> line goes as the window hears that the first check has
        // started, which is before its result can come back, on any machine.
        connect(checker, &checking::PageChecker::checkStarted, this, [&started, this] {
            if (++started == 1)
                editor()->SendScintilla(QsciScintilla::SCI_DELETERANGE, 68UL, 13L);
        });
        m_frame->commands().checkPage->trigger();
        QVERIFY(check());
        QSignalSpy checked(check(), &DocumentCheck::checked);
        QVERIFY(checked.wait(test::kCeiling));
        QCOMPARE(checked.size(), 1);
        QCOMPARE(started, 2); // the command checked the new text too
        QVERIFY(!check()->busy());
        for (const checking::Problem &p : check()->problems())
            QVERIFY2(!p.message.text.contains(QLatin1String("foo")), qPrintable(p.message.text));
        QCOMPARE(dock()->summary()->text(), QStringLiteral("0 errors, 2 warnings"));
    }

    // A page loaded anew (reloaded from its file) drops the old rows and marks.
    void loadDropsTheProblems()
    {
        checkWithF7();
        QSignalSpy checked(check(), &DocumentCheck::checked);
        editor()->loadBytes("<html><head><title>New</title></head><body><p>x</p></body></html>\n");
        QCOMPARE(checked.size(), 1);
        QCOMPARE(dock()->view()->model()->rowCount(), 0);
        QVERIFY(dock()->summary()->isHidden());
        QCOMPARE(editor()->markersAtLine(0), 0u);
        QVERIFY(!check()->hasResult());
    }

    void checkAsYouType()
    {
        QAction *asYouType = m_frame->commands().checkAsYouType;
        asYouType->trigger();
        QVERIFY(asYouType->isChecked());
        QVERIFY(editorSettings::checkAsYouType());
        // The page in front is checked at once.
        QTRY_VERIFY_WITH_TIMEOUT(check() && check()->hasResult(), test::kCeiling);
        QCOMPARE(dock()->summary()->text(), QStringLiteral("1 error, 4 warnings"));
        QSignalSpy checked(check(), &DocumentCheck::checked);
        // Exactly the typed text: no closing tag or completion added.
        const auto typingHelp = [this](bool on) {
            for (QAction *help : {m_frame->commands().viewAutoCloseTags, m_frame->commands().viewCompletion}) {
                if (help->isChecked() != on)
                    help->trigger();
            }
        };
        typingHelp(false);
        editor()->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        QTest::keyClicks(editor(), QStringLiteral("<bar>"));
        QCOMPARE(editor()->documentBytes().right(7), QByteArray(">\n<bar>"));
        QVERIFY(checked.wait(test::kCeiling));
        QCOMPARE(checked.size(), 1);
        QCOMPARE(dock()->summary()->text(), QStringLiteral("2 errors, 6 warnings"));
        asYouType->trigger();
        QVERIFY(!editorSettings::checkAsYouType());
        typingHelp(true);
    }

    // F7, the arrow keys and Enter pressed through the X server, as a user
    // presses them (run by e2e_problems_keys on a private Xvfb).
    void realKeys()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display: run by e2e_problems_keys");
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty())
            QSKIP("xdotool is not installed");
        const auto press = [&xdotool](const QStringList &keys) {
            QCOMPARE(QProcess::execute(xdotool, QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                                            QStringLiteral("50")} + keys),
                     0);
        };
        editor()->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(editor()->hasFocus(), test::kCeiling);
        press({QStringLiteral("F7")});
        QTRY_VERIFY_WITH_TIMEOUT(check() && check()->hasResult(), test::kCeiling);
        QTableView *view = dock()->view();
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), test::kCeiling);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), test::kCeiling);
        press({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
        QTRY_COMPARE_WITH_TIMEOUT(editor()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 52L, test::kCeiling);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(editor()), test::kCeiling);
        // Three lines typed at the top: the <img> rows read line 6.
        press({QStringLiteral("ctrl+Home"), QStringLiteral("Return"), QStringLiteral("Return"),
               QStringLiteral("Return")});
        QTRY_COMPARE_WITH_TIMEOUT(editor()->documentBytes().left(4), QByteArray("\n\n\n<"), test::kCeiling);
        QCOMPARE(cell(2, 0) + QLatin1Char('|') + cell(2, 1), QStringLiteral("6|9"));
    }
};

QTEST_MAIN(ProblemsTest)
#include "tst_problems.moc"
