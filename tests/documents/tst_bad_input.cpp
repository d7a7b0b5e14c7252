// Bad input, each case with the message the user gets and proof that nothing
// was lost: pages that are not files, paths the system refuses, full disks,
// read-only pages and odd arguments.
#include "Ceiling.h"
#include "DataRows.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "documents/DocumentFiles.h"
#include "pages/PageFile.h"
#include "pages/RecoveryJournal.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "shell/frmMain.h"

#include <QtTest>

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tw;
using tw::test::readBytes;
using tw::test::ScriptedDialogs;
using tw::test::writeBytes;

namespace {

const bool kRoot = geteuid() == 0;

QString longName()
{
    return QString(300, QLatin1Char('n')) + QStringLiteral(".htm");
}

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600) == 0);
        QVERIFY(QFile::link(path("loop-a"), path("loop-b")) && QFile::link(path("loop-b"), path("loop-a")));
        QVERIFY(writeBytes(path("plain.htm"), "plain"));
        QVERIFY(writeBytes(path("locked.htm"), "locked"));
        QVERIFY(QFile::setPermissions(path("locked.htm"), {}));
    }

    // A save or read that blocks on a pipe would hang here for good: the
    // watchdog ends the test instead.
    void init() { alarm(test::kWatchdogSeconds); }
    void cleanup() { alarm(0); }

    // Each path opened and saved: the reason each gives, or none where that
    // step is not tried here (a save onto a pipe is tried below).
    void refusedWithTheRightReason_data()
    {
        tw::test::columns<QString, QString, QString>("file", "openReason", "saveReason");
        const auto row = [](const char *name, const QString &file, const char *open, const QString &save) {
            QTest::newRow(name) << file << QString::fromUtf8(open) << save;
        };
        const char *folder = ": it is a folder, not a file.", *device = ": it is a device or pipe, not a file.";
        row("missing", path("nothing-here.htm"), ": there is no such file.", {});
        row("missing folder", path("missing/page.htm"), "",
            QStringLiteral(": the folder \"%1\" does not exist.").arg(path("missing")));
        row("folder", m_dir.path(), folder, folder);
        row("FIFO", path("pipe"), device, {});
        row("device", QStringLiteral("/dev/zero"), device, {});
        row("symbolic-link loop", path("loop-a"), ": its path holds a loop of symbolic links.",
            ": its path holds a loop of symbolic links.");
        row("too-long name", path(longName()), ": the name is too long.", ": the name is too long.");
        row("through a file", path("plain.htm/inner.htm"), ": a part of its path is not a folder.",
            ": a part of its path is not a folder.");
        row("/proc file that cannot be read", QStringLiteral("/proc/self/mem"), ": input/output error.", {});
        if (!kRoot) // root reads and writes any file
            row("no permission", path("locked.htm"), ": permission denied.", ": the file is read-only.");
    }
    void refusedWithTheRightReason()
    {
        auto [file, openReason, saveReason] =
            tw::test::fetch<QString, QString, QString>("file", "openReason", "saveReason");
        if (!openReason.isEmpty()) {
            const PageReadResult read = readPage(file);
            QVERIFY(!read.ok && read.utf8.isEmpty());
            QCOMPARE(read.error, QStringLiteral("Cannot open \"%1\"").arg(file) + openReason);
        }
        if (!saveReason.isEmpty()) {
            const PageWriteResult w = writePage(file, "new", 3, PageEncoding::Utf8);
            QVERIFY(!w.ok);
            QCOMPARE(w.error, QStringLiteral("Cannot save \"%1\"").arg(file) + saveReason);
            QCOMPARE(readBytes(path("plain.htm")), QByteArray("plain"));
        }
    }

    void procFileWithoutSizeReadsWhole()
    {
        const PageReadResult read = readPage(QStringLiteral("/proc/self/status"));
        QVERIFY2(read.ok, qPrintable(read.error));
        QVERIFY(read.utf8.startsWith("Name:"));
    }

    // A save never waits on a pipe: the open does not block, and a pipe is
    // refused whether or not something reads it. A character device is
    // written to (/dev/full stands in for a full disk); a save in place is
    // for regular files only.
    void specialFilesAreRefusedOrWritten_data()
    {
        tw::test::columns<QString, bool>("file", "inPlace");
        QTest::addColumn<bool>("reader"); // something holds the pipe open for reading
        QTest::addColumn<QString>("reason"); // empty when the save succeeds
        const QString notAFile = QStringLiteral(": it is a device or pipe, not a file.");
        QTest::newRow("FIFO") << path("pipe") << false << false << notAFile;
        QTest::newRow("FIFO, in place") << path("pipe") << true << false << notAFile;
        QTest::newRow("FIFO being read") << path("pipe") << false << true << notAFile;
        QTest::newRow("FIFO being read, in place") << path("pipe") << true << true << notAFile;
        QTest::newRow("/dev/null") << QStringLiteral("/dev/null") << false << false << QString();
        QTest::newRow("/dev/full") << QStringLiteral("/dev/full") << false << false
                                   << QStringLiteral(": there is not enough room on the disk.");
        QTest::newRow("/dev/null, in place") << QStringLiteral("/dev/null") << true << false << notAFile;
    }
    void specialFilesAreRefusedOrWritten()
    {
        auto [file, inPlace, reader, reason] = tw::test::fetch<QString, bool, bool, QString>(
            "file", "inPlace", "reader", "reason");
        const int readEnd = reader ? ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK) : -1;
        QVERIFY(!reader || readEnd >= 0);
        const PageWriteResult w = inPlace ? writePageInPlace(file, "new", 3, PageEncoding::Utf8)
                                          : writePage(file, "new", 3, PageEncoding::Utf8);
        char leaked[8];
        const ssize_t got = reader ? ::read(readEnd, leaked, sizeof leaked) : 0;
        if (readEnd >= 0)
            ::close(readEnd);
        QCOMPARE(got <= 0, true); // nothing reached the reader
        QCOMPARE(w.ok, reason.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(w.error, QStringLiteral("Cannot save \"%1\"").arg(file) + reason);
        struct stat pipe;
        QVERIFY(::stat(QFile::encodeName(path("pipe")).constData(), &pipe) == 0 && S_ISFIFO(pipe.st_mode));
    }

    // Save As onto a pipe, as the user chooses it: the message, and the window
    // keeps its text, still marked changed.
    void saveAsOntoAPipeKeepsTheWindow()
    {
        ScriptedDialogs dialogs;
        frmMain frame(dialogs);
        frame.MDIForm_Load();
        frmDocument *document = frame.documents().first();
        document->textEdit->replaceSelectionExact(QStringLiteral("typed"));
        dialogs.file(path("pipe")).acknowledge();
        QVERIFY(!saveDocumentAs(frame, document));
        QCOMPARE(dialogs.shown.last().kind, QStringLiteral("message"));
        QCOMPARE(dialogs.shown.last().title, QStringLiteral("Save"));
        QCOMPARE(dialogs.shown.last().text,
                 QStringLiteral("Cannot save \"%1\": it is a device or pipe, not a file.").arg(path("pipe")));
        QCOMPARE(document->textEdit->textExact(), QStringLiteral("typed"));
        QVERIFY(document->textEdit->isModified());
        QCOMPARE(document->caption(), QStringLiteral("Document 1"));
    }

    void fullDiskLeavesTheOldPageWhole_data()
    {
        QTest::addColumn<bool>("inPlace"); // the folder holds no temporary file
        QTest::addColumn<bool>("saveAs"); // to a new name
        tw::test::columns<int, QString>("encoding", "reason");
        const QString kept = QStringLiteral(": the file would be too large for the size limit in force. "
                                            "The page on disk was left as it was.");
        QTest::newRow("save") << false << false << int(PageEncoding::Utf8) << ": the file would be too large for the size limit in force.";
        QTest::newRow("save as") << false << true << int(PageEncoding::Utf8) << ": the file would be too large for the size limit in force.";
        QTest::newRow("save in place") << true << false << int(PageEncoding::Utf8) << kept;
        QTest::newRow("save in place, references") << true << false << int(PageEncoding::LegacyReferences) << kept;
    }
    void fullDiskLeavesTheOldPageWhole()
    {
        auto [inPlace, saveAs, encoding, reason] = tw::test::fetch<bool, bool, int, QString>(
            "inPlace", "saveAs", "encoding", "reason");
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(old, "old content\r\n"));
        const QString target = saveAs ? dir.filePath(QStringLiteral("new.htm")) : old;
        const QByteArray doc = QByteArray(100 * 1024, 'x') + "\xE2\x86\x92";
        PageWriteResult w;
        {
            tw::test::FileSizeLimit limit(64 * 1024);
            w = inPlace ? writePageInPlace(target, doc.constData(), doc.size(), PageEncoding(encoding))
                        : writePage(target, doc.constData(), doc.size(), PageEncoding(encoding));
        }
        QVERIFY(!w.ok);
        QCOMPARE(w.error, QStringLiteral("Cannot save \"%1\"").arg(target) + reason);
        QCOMPARE(readBytes(old), QByteArray("old content\r\n"));
        // No temporary or half-written file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"page.htm"});
    }

    // The same system error reads the same in a save's message and in the
    // recovery journal's reason (which the notice about it quotes).
    void aReasonReadsTheSameEverywhere_data()
    {
        // Where the page and the journal go, the file-size limit (0 for none), the reason.
        tw::test::columns<QString, qint64, QString>("folder", "limit", "reason");
        QTest::newRow("size limit") << m_dir.path() << qint64(4096)
                                    << QStringLiteral("the file would be too large for the size limit in force.");
        QTest::newRow("through a file") << path("plain.htm") << qint64(0)
                                        << QStringLiteral("a part of its path is not a folder.");
        QTest::newRow("too-long name") << path(longName()) << qint64(0) << QStringLiteral("the name is too long.");
    }
    void aReasonReadsTheSameEverywhere()
    {
        auto [folder, limit, reason] = tw::test::fetch<QString, qint64, QString>("folder", "limit", "reason");
        const QString page = QDir(folder).filePath(QStringLiteral("page.htm"));
        const QByteArray text(64 * 1024, 'x');
        PageWriteResult saved;
        JournalWriter journal;
        bool opened = true;
        const auto both = [&, folder = folder] {
            saved = writePage(page, text.constData(), text.size(), PageEncoding::Utf8);
            opened = journal.open(QDir(folder).filePath(QStringLiteral("page.twj")), QStringLiteral("Document 1"),
                                  QString(), PageEncoding::Utf8, text);
        };
        {
            std::optional<tw::test::FileSizeLimit> small;
            if (limit > 0)
                small.emplace(rlim_t(limit));
            both();
        }
        QVERIFY(!saved.ok && !opened);
        QCOMPARE(saved.error, QStringLiteral("Cannot save \"%1\": ").arg(page) + reason);
        QCOMPARE(journal.error(), reason);
        QFile::remove(page);
    }

    void smallDiskLeavesTheOldPageWhole()
    {
        tw::test::SmallDisk disk("256k"); // a real full disk
        if (disk.why)
            QSKIP(disk.why);
        const QString page = disk.path() + QStringLiteral("/page.htm");
        QVERIFY(writeBytes(page, "old content\r\n"));
        const QByteArray doc(1024 * 1024, 'x');
        const PageWriteResult safe = writePage(page, doc.constData(), doc.size(), PageEncoding::Utf8);
        const PageWriteResult inPlace = writePageInPlace(page, doc.constData(), doc.size(), PageEncoding::Utf8);
        const QByteArray after = readBytes(page);
        disk.unmount();
        QCOMPARE(safe.error, QStringLiteral("Cannot save \"%1\": there is not enough room on the disk.").arg(page));
        QCOMPARE(inPlace.error, QStringLiteral("Cannot save \"%1\": there is not enough room on the disk. "
                                               "The page on disk was left as it was.").arg(page));
        QCOMPARE(after, QByteArray("old content\r\n"));
    }

    void readOnlyFolderSavesInPlace()
    {
        if (kRoot)
            QSKIP("root may create files in any folder; the in-place write is tested directly");
        QTemporaryDir dir;
        const QString page = dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(page, "a much longer old content\r\n"));
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const PageWriteResult w = writePage(page, "new", 3, PageEncoding::Utf8);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(readBytes(page), QByteArray("new\r\n"));
    }

    void manyAndOptionLikeFileArgumentsOpen()
    {
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 0; i < 20; ++i) {
            paths << dir.filePath(QStringLiteral("page%1.htm").arg(i));
            QVERIFY(writeBytes(paths.last(), QByteArray::number(i)));
        }
        for (const char *odd : {"-h", "--version", "-", "--", " lead.htm", "two words.htm"}) {
            paths << dir.filePath(QString::fromLatin1(odd));
            QVERIFY(writeBytes(paths.last(), odd));
        }
        ScriptedDialogs dialogs;
        frmMain frame(dialogs);
        frame.openFiles(paths);
        const QList<frmDocument *> docs = frame.documents();
        QCOMPARE(docs.size(), paths.size());
        for (int i = 0; i < paths.size(); ++i) {
            QCOMPARE(docs.at(i)->caption(), paths.at(i));
            QCOMPARE(docs.at(i)->textEdit->documentBytes(), readBytes(paths.at(i)));
        }
        QVERIFY(dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_bad_input.moc"
