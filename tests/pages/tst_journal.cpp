#include "DataRows.h"
#include "TestFiles.h"
#include "pages/RecoveryJournal.h"
#include "editor/SourceEditor.h"

#include <QtTest>

using namespace tw;
using tw::test::readBytes;
using tw::test::writeBytes;

namespace {

void edit(SourceEditor &editor, long from, long to, const QByteArray &text)
{
    editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(from), to);
    editor.replaceSelectedBytes(text);
    editor.flushEdits(); // as the return to the event loop would
}

// Loads `start` into the editor and opens its journal, which then records
// every insertion and deletion the editor makes (typing, commands, undo and
// redo), as a document window's journal does.
bool follow(SourceEditor &editor, JournalWriter &journal, const QString &file, const QString &caption,
            const QString &page, PageEncoding encoding, const QByteArray &start)
{
    editor.loadBytes(start);
    if (!journal.open(file, caption, page, encoding, start))
        return false;
    QObject::connect(&editor, &SourceEditor::edited, &editor,
                     [&journal](qint64 position, qint64 removed, const char *inserted, qint64 length) {
                         journal.record(position, removed, inserted, length);
                     });
    return true;
}

} // namespace

class JournalTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A journal for an editor holding `start` (from `page`, or untitled), after some edits.
    void journalled(SourceEditor &editor, JournalWriter &journal, const QByteArray &start, const QString &page)
    {
        QVERIFY(follow(editor, journal, path("doc.twj"), QStringLiteral("Document 3"), page, PageEncoding::Legacy, start));
        edit(editor, 0, 0, "<p>");
        edit(editor, 3, 5, "\xE2\x86\x92"); // replace two bytes by a multi-byte character
        edit(editor, 0, 0, QByteArray("\0x\r\n", 4));
        editor.undo();
        editor.redo();
        editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        editor.SendScintilla(QsciScintillaBase::SCI_DELETEBACK);
        QVERIFY(journal.flush());
        editor.replaceSelectedBytes("not flushed");
    }

private slots:
    void replayGivesTheTextByteForByte_data()
    {
        tw::test::columns<bool>("titled");
        QTest::newRow("untitled") << false;
        QTest::newRow("titled") << true;
    }
    void replayGivesTheTextByteForByte()
    {
        const auto [titled] = tw::test::fetch<bool>("titled");
        const QByteArray start("caf\xE9 line\r\nend");
        QVERIFY(writeBytes(path("page.htm"), start));
        SourceEditor editor;
        JournalWriter journal;
        // The editor holds the page as UTF-8, the start the journal checks against.
        const PageReadResult page = readPage(path("page.htm"));
        journalled(editor, journal, page.utf8, titled ? path("page.htm") : QString());
        journal.close(); // as the process ending would
        const JournalRestore back = restoreJournal(path("doc.twj"));
        QVERIFY2(back.ok, qPrintable(back.error));
        QCOMPARE(back.text, QByteArray("\0x\r\n<p>\xE2\x86\x92""f\xC3\xA9 line\r\nen", 22));
        QCOMPARE(back.caption, QStringLiteral("Document 3"));
        QCOMPARE(back.pagePath, titled ? path("page.htm") : QString());
        QCOMPARE(back.encoding, PageEncoding::Legacy);
        QVERIFY(!back.pageDiffers && !back.cutShort);
        // Saved or closed without saving: the journal goes.
        JournalWriter next;
        QVERIFY(next.open(path("doc.twj"), QStringLiteral("Document 3"), QString(), PageEncoding::Utf8, "x"));
        next.remove();
        QVERIFY(!QFile::exists(path("doc.twj")));
    }

    void aJournalInUseIsNotTaken()
    {
        // While its writer lives, the journal is locked; a second writer or a restore keeps off.
        SourceEditor editor;
        JournalWriter journal;
        journalled(editor, journal, "start", QString());
        JournalWriter second;
        QVERIFY(!second.open(path("doc.twj"), QStringLiteral("x"), QString(), PageEncoding::Utf8, "other"));
        const JournalRestore busy = restoreJournal(path("doc.twj"));
        QVERIFY(!busy.ok && busy.inUse);
        QVERIFY(QFileInfo(path("doc.twj")).size() > 0);
        journal.remove();
    }

    void eachEditCostsItsOwnBytesOnly()
    {
        SourceEditor editor;
        JournalWriter journal;
        const QByteArray big = QByteArray(63, 'x').append('\n').repeated(1 << 14); // 1 MB
        QVERIFY(follow(editor, journal, path("big.twj"), QStringLiteral("p"), path("p.htm"), PageEncoding::Utf8, big));
        const qint64 before = QFileInfo(path("big.twj")).size();
        edit(editor, 100, 100, "ab");
        QVERIFY(journal.flush());
        QCOMPARE(QFileInfo(path("big.twj")).size() - before, qint64(2 + 24));
    }

    // A journal for the untitled text "start" with two flushed edits: "<p>start!".
    QByteArray twoEdits()
    {
        SourceEditor editor;
        JournalWriter journal;
        if (!follow(editor, journal, path("two.twj"), QStringLiteral("Document 1"), QString(), PageEncoding::Utf8, "start"))
            return QByteArray();
        edit(editor, 0, 0, "<p>");
        journal.flush();
        edit(editor, 8, 8, "!");
        journal.flush();
        journal.close();
        return readBytes(path("two.twj"));
    }

    // A crash or a full disk can leave the last record unfinished: the edits
    // before it come back.
    void aDamagedEndKeepsTheWholeRecords_data()
    {
        // damage: 0 none, 1 cut short, 2 flipped byte, 3 stray bytes, 4 edit outside
        tw::test::columns<int, QByteArray>("damage", "text");
        QTest::newRow("whole") << 0 << QByteArray("<p>start!");
        QTest::newRow("last record cut short") << 1 << QByteArray("<p>start");
        QTest::newRow("a flipped byte in the last record") << 2 << QByteArray("<p>start");
        QTest::newRow("stray bytes after the last record") << 3 << QByteArray("<p>start!");
        QTest::newRow("an edit outside the text") << 4 << QByteArray("<p>start!");
    }
    void aDamagedEndKeepsTheWholeRecords()
    {
        auto [damage, text] = tw::test::fetch<int, QByteArray>("damage", "text");
        QByteArray bytes = twoEdits();
        QVERIFY(!bytes.isEmpty());
        if (damage == 1)
            bytes.chop(3);
        else if (damage == 2)
            bytes[bytes.size() - 6] = char(bytes[bytes.size() - 6] ^ 0x20);
        else if (damage == 3)
            bytes.append("\x01\x02\x03", 3);
        else if (damage == 4) // insert nothing at 100, with a right check
            bytes.append(QByteArray("\x64\0\0\0\0\0\0\0" "\0\0\0\0\0\0\0\0" "\0\0\0\0" "\xf1\xa4\x13\xa7", 24));
        QVERIFY(writeBytes(path("two.twj"), bytes));
        const JournalRestore back = restoreJournal(path("two.twj"));
        QVERIFY2(back.ok, qPrintable(back.error));
        QCOMPARE(back.text, text);
        QCOMPARE(back.cutShort, damage != 0);
        QVERIFY(!back.pageDiffers);
    }

    void unusableJournalsAreRefused_data()
    {
        tw::test::columns<int, QString>("damage", "reason"); // damage: 0 foreign, 1 header, 2 start text cut short
        QTest::newRow("foreign file") << 0 << "it is not a recovery file of this program.";
        QTest::newRow("header cut short") << 1 << "it is damaged or cut short.";
        QTest::newRow("start text cut short") << 2 << "it is damaged or cut short.";
    }
    void unusableJournalsAreRefused()
    {
        auto [damage, reason] = tw::test::fetch<int, QString>("damage", "reason");
        QByteArray bytes = twoEdits();
        const qsizetype startEnd = bytes.indexOf("start") + 5;
        if (damage == 0)
            bytes = "<html>not a journal</html>";
        else if (damage == 1)
            bytes.truncate(12);
        else
            bytes.truncate(startEnd - 2);
        QVERIFY(writeBytes(path("two.twj"), bytes));
        const JournalRestore back = restoreJournal(path("two.twj"));
        QVERIFY(!back.ok && back.text.isEmpty());
        QCOMPARE(back.error, QStringLiteral("The recovery file \"%1\" was not used: ").arg(path("two.twj")) + reason);
        QCOMPARE(readBytes(path("two.twj")), bytes);
    }

    // The journal keeps the text the edits were made to, so the page's file
    // is only compared with it, in the page's encoding and with or without
    // the CR LF a save adds.
    void thePageOnDiskNeedNotHoldTheText_data()
    {
        // start: the editor's UTF-8 when the journal began; disk: "<deleted>" and "<folder>" stand for no file
        tw::test::columns<int, QByteArray, QByteArray, bool>("encoding", "start", "disk", "differs");
        const int utf8 = int(PageEncoding::Utf8), legacy = int(PageEncoding::Legacy),
                  references = int(PageEncoding::LegacyReferences);
        const QByteArray cafe("caf\xC3\xA9"), arrow("\xE2\x86\x92 caf\xC3\xA9");
        QTest::newRow("UTF-8, as opened") << utf8 << cafe << QByteArray("caf\xC3\xA9") << false;
        QTest::newRow("UTF-8, saved this session") << utf8 << cafe << QByteArray("caf\xC3\xA9\r\n") << false;
        QTest::newRow("UTF-8, changed since") << utf8 << cafe << QByteArray("cafe") << true;
        QTest::newRow("UTF-8, grown since") << utf8 << cafe << QByteArray("caf\xC3\xA9\r\n\r\n") << true;
        QTest::newRow("UTF-8, grown by two bytes, not CR LF") << utf8 << cafe << QByteArray("caf\xC3\xA9!?") << true;
        QTest::newRow("deleted since") << utf8 << cafe << QByteArray("<deleted>") << true;
        QTest::newRow("a folder now") << utf8 << cafe << QByteArray("<folder>") << true;
        QTest::newRow("Windows-1252, as opened") << legacy << cafe << QByteArray("caf\xE9") << false;
        QTest::newRow("Windows-1252, changed") << legacy << cafe << QByteArray("caf\xE8") << true;
        QTest::newRow("references, saved this session")
            << references << arrow << QByteArray("&#8594; caf\xE9\r\n") << false;
        QTest::newRow("references, changed since") << references << arrow << QByteArray("&#8594; cafe\r\n") << true;
    }
    void thePageOnDiskNeedNotHoldTheText()
    {
        auto [encoding, start, disk, differs] = tw::test::fetch<int, QByteArray, QByteArray, bool>(
            "encoding", "start", "disk", "differs");
        const QString page = path("page.htm");
        QFile::remove(page);
        QDir(page).removeRecursively();
        if (disk == "<folder>")
            QVERIFY(QDir().mkpath(page));
        else if (disk != "<deleted>")
            QVERIFY(writeBytes(page, disk));
        SourceEditor editor;
        JournalWriter journal;
        QVERIFY(follow(editor, journal, path("page.twj"), page, page, PageEncoding(encoding), start));
        editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        edit(editor, long(start.size()), long(start.size()), "!");
        QVERIFY(journal.flush());
        journal.close();
        const JournalRestore back = restoreJournal(path("page.twj"));
        QVERIFY2(back.ok, qPrintable(back.error));
        QCOMPARE(back.text, start + "!");
        QCOMPARE(back.encoding, PageEncoding(encoding));
        QCOMPARE(back.pageDiffers, differs);
        QFile::remove(page);
        QDir(page).removeRecursively();
    }

    // Journals written by earlier versions for an opened page hold no copy of
    // it: the page must still hold the text.
    void anOldJournalReadsItsStartFromThePage_data()
    {
        tw::test::columns<QByteArray, QByteArray>("disk", "text"); // text empty: refused
        QTest::newRow("as opened") << QByteArray("start") << QByteArray("start!");
        QTest::newRow("saved") << QByteArray("start\r\n") << QByteArray("start!");
        QTest::newRow("changed since") << QByteArray("Start") << QByteArray();
        QTest::newRow("grown by two bytes since") << QByteArray("start!?") << QByteArray();
    }
    void anOldJournalReadsItsStartFromThePage()
    {
        auto [disk, text] = tw::test::fetch<QByteArray, QByteArray>("disk", "text");
        QVERIFY(writeBytes(path("old.htm"), disk));
        const QByteArray page = path("old.htm").toUtf8();
        QByteArray bytes("TWJ1" "\x01\0\0\0" "\0" "\x01\0\0\0" "p", 14);
        bytes += QByteArray(1, char(page.size())) + QByteArray(3, '\0') + page;
        bytes += QByteArray("\x05\0\0\0\0\0\0\0" "\x1f\x25\xad\x45\xad\x97\x5d\xee" "\0", 17);
        bytes += QByteArray("\x05\0\0\0\0\0\0\0" "\0\0\0\0\0\0\0\0" "\x01\0\0\0" "!" "\xd0\xb1\xc0\x80", 25);
        QVERIFY(writeBytes(path("old.twj"), bytes));
        const JournalRestore back = restoreJournal(path("old.twj"));
        QCOMPARE(back.ok, !text.isEmpty());
        QCOMPARE(back.text, text);
        if (text.isEmpty())
            QCOMPARE(back.error, QStringLiteral("The recovery file \"%1\" was not used: the page it was made for "
                                                "has changed since.")
                                     .arg(path("old.twj")));
    }

    // A full disk: the records that do not fit are taken back whole and
    // written at the next flush; a start text that does not fit leaves no file.
    void aFailedWriteIsTakenBackAndTriedAgain()
    {
        SourceEditor editor;
        JournalWriter journal;
        QVERIFY(follow(editor, journal, path("full.twj"), QStringLiteral("Document 1"), QString(), PageEncoding::Utf8,
                       "start"));
        edit(editor, 0, 0, "<p>");
        QVERIFY(journal.flush());
        const qint64 whole = QFileInfo(path("full.twj")).size();
        edit(editor, 0, 0, QByteArray(8192, 'x'));
        bool flushed, opened;
        JournalWriter big;
        {
            tw::test::FileSizeLimit limit(rlim_t(whole + 4096));
            flushed = journal.flush();
            opened = big.open(path("big.twj"), QStringLiteral("Document 2"), QString(), PageEncoding::Utf8,
                              QByteArray(64 * 1024, 'y'));
        }
        QVERIFY(!flushed && !opened);
        QVERIFY(!journal.error().isEmpty());
        QVERIFY(!QFile::exists(path("big.twj")));
        QCOMPARE(QFileInfo(path("full.twj")).size(), whole);
        QVERIFY(writeBytes(path("copy.twj"), readBytes(path("full.twj"))));
        QCOMPARE(restoreJournal(path("copy.twj")).text, QByteArray("<p>start"));

        QVERIFY(journal.flush());
        journal.close();
        const JournalRestore back = restoreJournal(path("full.twj"));
        QVERIFY(back.ok && !back.cutShort);
        QCOMPARE(back.text, QByteArray(8192, 'x') + "<p>start");
    }
};

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
