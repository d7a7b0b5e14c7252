#include "TestFiles.h"
#include "documents/RecoveryJournal.h"
#include "documents/SourceEditor.h"

#include <QTemporaryDir>
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

} // namespace

class JournalTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A journal for an editor holding `start` (from `page`, or untitled), after some edits.
    void journalled(SourceEditor &editor, JournalWriter &journal, const QByteArray &start, const QString &page)
    {
        editor.loadBytes(start);
        QVERIFY(journal.open(path("doc.twj"), QStringLiteral("Document 3"), page, PageEncoding::Legacy, start));
        followEdits(editor, journal);
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
        QTest::addColumn<bool>("titled");
        QTest::newRow("untitled, start kept in the journal") << false;
        QTest::newRow("titled, start read from the page") << true;
    }
    void replayGivesTheTextByteForByte()
    {
        QFETCH(bool, titled);
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
        editor.loadBytes(big);
        QVERIFY(journal.open(path("big.twj"), QStringLiteral("p"), path("p.htm"), PageEncoding::Utf8, big));
        followEdits(editor, journal);
        const qint64 before = QFileInfo(path("big.twj")).size();
        edit(editor, 100, 100, "ab");
        QVERIFY(journal.flush());
        QCOMPARE(QFileInfo(path("big.twj")).size() - before, qint64(2 + 24));
    }

    void badJournalsAreRefusedAndKept_data()
    {
        QTest::addColumn<int>("damage"); // 0 foreign, 1 cut short, 2 flipped byte, 3 page changed
        QTest::addColumn<QString>("reason");
        QTest::newRow("foreign file") << 0 << "it is not a recovery file of this program.";
        QTest::newRow("cut short") << 1 << "it is damaged or cut short.";
        QTest::newRow("a flipped byte") << 2 << "it is damaged or cut short.";
        QTest::newRow("page changed since") << 3 << "the page it was made for has changed since.";
    }
    void badJournalsAreRefusedAndKept()
    {
        QFETCH(int, damage);
        QFETCH(QString, reason);
        QVERIFY(writeBytes(path("page.htm"), "start"));
        SourceEditor editor;
        JournalWriter journal;
        journalled(editor, journal, "start", path("page.htm"));
        journal.close();
        QByteArray bytes = readBytes(path("doc.twj"));
        if (damage == 0)
            bytes = "<html>not a journal</html>";
        else if (damage == 1)
            bytes.chop(3);
        else if (damage == 2)
            bytes[bytes.size() - 10] = char(bytes[bytes.size() - 10] ^ 0x20);
        else
            QVERIFY(writeBytes(path("page.htm"), "Start"));
        QVERIFY(writeBytes(path("doc.twj"), bytes));
        const JournalRestore back = restoreJournal(path("doc.twj"));
        QVERIFY(!back.ok && back.text.isEmpty());
        QCOMPARE(back.error, QStringLiteral("The recovery file \"%1\" was not used: ").arg(path("doc.twj")) + reason);
        QCOMPARE(readBytes(path("doc.twj")), bytes);
    }
};

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
