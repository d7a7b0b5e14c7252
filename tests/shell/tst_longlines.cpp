#include "StartedFrame.h"
#include "TestFiles.h"
#include "documents/LongLineQuestion.h"
#include "shell/FileDrops.h"
#include "shell/FrameMenus.h"

#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::Shown;
using tw::test::readBytes;
using tw::test::writeBytes;

namespace {

// "<i>x</i>" is 8 characters: 65,537 of them make a line of 524,296.
constexpr int kBlocks = 65537;
const QByteArray kHead("<html><body>\r\n");
const QByteArray kTail("\r\n<p>end</p>\r\n");

QString question(const QString &path, const char *length)
{
    return path + QStringLiteral(" has a line of ") + QLatin1String(length)
        + QStringLiteral(" characters.\n\nEditing a line that long is slow: every key may take a quarter of "
                         "a second or more. You can open the page as it is, or open its text in a new untitled "
                         "window with a line break after each \">\" on its long lines; the page's file stays as it is.");
}

} // namespace

// Pages with a line too long to edit quickly, opened as the user opens them.
class LongLinesTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    Shown asked(const QString &page, const char *length) const
    {
        return Shown{QStringLiteral("choose"), QStringLiteral("Long Line"), question(page, length),
                     QStringLiteral("Open As It Is|Open With Line Breaks")};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright")).remove(QStringLiteral("Editor"));
        QVERIFY(writeBytes(path("long.htm"), kHead + QByteArray("<i>x</i>").repeated(kBlocks) + kTail));
    }
    void init() { m_dialogs = ScriptedDialogs(); }
    void cleanup() { closeFrame(); }

    // Every way of opening a page asks first; Cancel opens nothing and the
    // page's file stays as it was.
    void everyWayOfOpeningAsksFirst_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"Open", "command line", "drop", "recent list"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }
    void everyWayOfOpeningAsksFirst()
    {
        QFETCH(QString, way);
        const QString page = path("long.htm");
        const QByteArray bytes = readBytes(page);
        const QDateTime modified = QFileInfo(page).lastModified();
        frmMain &frame = open();
        if (way == QLatin1String("recent list")) {
            // Listed by an earlier open, taken as it is.
            m_dialogs.pick(0);
            frame.openFiles({page});
            QCOMPARE(frame.documents().size(), 2);
            frame.mdiArea->closeAllSubWindows();
            QTRY_VERIFY_WITH_TIMEOUT(frame.documents().isEmpty(), test::kCeiling);
            m_dialogs.shown.clear();
        }
        const qsizetype before = frame.documents().size();
        if (way == QLatin1String("Open"))
            m_dialogs.file(page);
        m_dialogs.pick(-1);
        if (way == QLatin1String("Open")) {
            frame.commands().fileOpen->trigger();
            m_dialogs.shown.removeFirst(); // the file dialog
        } else if (way == QLatin1String("command line")) {
            frame.openFiles({page});
        } else if (way == QLatin1String("drop")) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(page)});
            QVERIFY(frame.drops().openDropped(&mime));
        } else {
            QMenu *recent = tw::test::menuItem(frame.menus().mnuFile, "mnuRecentPages")->menu();
            emit recent->aboutToShow();
            recent->actions().at(0)->trigger();
        }
        QCOMPARE(m_dialogs.shown, QList<Shown>{asked(page, "524,296")});
        QCOMPARE(m_dialogs.remaining(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(frame.documents().size(), before, test::kCeiling);
        QCOMPARE(readBytes(page), bytes);
        QCOMPARE(QFileInfo(page).lastModified(), modified);
    }

    // As it is: the page in a window captioned with its path, unchanged, and
    // a caret that never blinks, not even after a key.
    void openedAsItIsTheCaretStandsStill()
    {
        const QString page = path("long.htm");
        frmMain &frame = open();
        m_dialogs.pick(0);
        frame.openFiles({page});
        frmDocument *doc = frame.activeDocument();
        QCOMPARE(doc->caption(), page);
        QCOMPARE(doc->textEdit->documentBytes(), readBytes(page));
        QVERIFY(!doc->textEdit->isModified());
        QVERIFY(doc->textEdit->viewport()->isVisible());
        QCOMPARE(doc->textEdit->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD), 0L);
        QTest::keyClick(doc->textEdit, Qt::Key_Right);
        QCOMPARE(doc->textEdit->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD), 0L);

        // An ordinary page beside it blinks as before.
        QVERIFY(writeBytes(path("short.htm"), "<p>short</p>"));
        frame.openFiles({path("short.htm")});
        QVERIFY(frame.activeDocument()->textEdit->SendScintilla(QsciScintilla::SCI_GETCARETPERIOD) > 0);
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    // With line breaks: an untitled window, marked changed, holding the text
    // with a break after each '>' of the long line only, in the page's own
    // line ends and encoding; the page's file is not touched.
    void openedWithLineBreaksAsAnUntitledChangedWindow()
    {
        const QString page = path("legacy.htm");
        const QByteArray bytes = kHead + QByteArray("<i>\xe9</i>").repeated(kBlocks) + kTail;
        QVERIFY(writeBytes(page, bytes));
        frmMain &frame = open();
        m_dialogs.pick(1);
        frame.openFiles({page});
        QCOMPARE(m_dialogs.shown.last(), asked(page, "524,296"));
        QCOMPARE(frame.documents().size(), 2);
        frmDocument *doc = frame.activeDocument();
        QCOMPARE(doc->caption(), QStringLiteral("Document 2"));
        QVERIFY(doc->textEdit->isModified());
        QVERIFY(doc->textEdit->viewport()->isVisible());
        QCOMPARE(doc->encoding, PageEncoding::Legacy);
        QByteArray broken = QByteArray("<i>\r\n\xc3\xa9</i>\r\n").repeated(kBlocks);
        broken.chop(2); // the line's last '>' is followed by its own line end
        QCOMPARE(doc->textEdit->documentBytes(), "<html><body>\r\n" + broken + "\r\n<p>end</p>\r\n");
        QCOMPARE(readBytes(page), bytes);

        // Saved under a new name, in Windows-1252 like the page.
        m_dialogs.file(path("broken.htm"));
        frame.commands().fileSave->trigger();
        QByteArray saved = QByteArray("<i>\r\n\xe9</i>\r\n").repeated(kBlocks);
        saved.chop(2);
        QCOMPARE(readBytes(path("broken.htm")), "<html><body>\r\n" + saved + "\r\n<p>end</p>\r\n\r\n");
        QCOMPARE(readBytes(page), bytes);
        QCOMPARE(m_dialogs.remaining(), 0);
    }

    // The limit counts characters, not bytes: a line of exactly the limit
    // opens without a question, one more character asks.
    void theLimitCountsCharacters()
    {
        const QByteArray atLimit = QByteArray("\xc3\xa9").repeated(int(kLongLineLimit));
        QVERIFY(writeBytes(path("at.htm"), atLimit + "\n<p>"));
        QVERIFY(writeBytes(path("over.htm"), "\xc3\xa9" + atLimit));
        frmMain &frame = open();
        frame.openFiles({path("at.htm")});
        QCOMPARE(frame.activeDocument()->caption(), path("at.htm"));
        QVERIFY(m_dialogs.shown.isEmpty());
        m_dialogs.pick(-1);
        frame.openFiles({path("over.htm")});
        QCOMPARE(m_dialogs.shown, QList<Shown>{asked(path("over.htm"), "524,289")});
    }
};

QTEST_MAIN(LongLinesTest)
#include "tst_longlines.moc"
