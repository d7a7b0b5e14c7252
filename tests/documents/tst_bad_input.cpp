// Bad input, each case with the message the user gets and proof that nothing
// was lost: pages that are not files, paths the system refuses, full disks,
// read-only pages, garbage settings and odd arguments.
#include "Ceiling.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "documents/DocumentFiles.h"
#include "pages/PageFile.h"
#include "pages/RecoveryJournal.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/Settings.h"
#include "shell/frmMain.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

    // -----------------------------------------------------------------------
    // Opening

    void openRefusesWithTheRightReason_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const QString &file, const char *reason) {
            QTest::newRow(name) << file << QString::fromUtf8(reason);
        };
        row("missing", path("nothing-here.htm"), ": there is no such file.");
        row("folder", m_dir.path(), ": it is a folder, not a file.");
        row("FIFO", path("pipe"), ": it is a device or pipe, not a file.");
        row("device", QStringLiteral("/dev/zero"), ": it is a device or pipe, not a file.");
        row("symbolic-link loop", path("loop-a"), ": its path holds a loop of symbolic links.");
        row("too-long name", path(longName()), ": the name is too long.");
        row("through a file", path("plain.htm/inner.htm"), ": a part of its path is not a folder.");
        row("/proc file that cannot be read", QStringLiteral("/proc/self/mem"), ": input/output error.");
        if (!kRoot) // root reads any file
            row("no permission", path("locked.htm"), ": permission denied.");
    }
    void openRefusesWithTheRightReason()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const PageReadResult read = readPage(file);
        QVERIFY(!read.ok && read.utf8.isEmpty());
        QCOMPARE(read.error, QStringLiteral("Cannot open \"%1\"").arg(file) + reason);
    }

    void procFileWithoutSizeReadsWhole()
    {
        const PageReadResult read = readPage(QStringLiteral("/proc/self/status"));
        QVERIFY2(read.ok, qPrintable(read.error));
        QVERIFY(read.utf8.startsWith("Name:"));
    }

    // -----------------------------------------------------------------------
    // Saving

    void saveRefusesWithTheRightReason_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const QString &file, const QString &reason) {
            QTest::newRow(name) << file << reason;
        };
        row("folder", m_dir.path(), ": it is a folder, not a file.");
        row("missing folder", path("missing/page.htm"),
            QStringLiteral(": the folder \"%1\" does not exist.").arg(path("missing")));
        row("symbolic-link loop", path("loop-a"), ": its path holds a loop of symbolic links.");
        row("too-long name", path(longName()), ": the name is too long.");
        row("through a file", path("plain.htm/inner.htm"), ": a part of its path is not a folder.");
        if (!kRoot)
            row("read-only page", path("locked.htm"), ": the file is read-only.");
    }
    void saveRefusesWithTheRightReason()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        const PageWriteResult w = writePage(file, "new", 3, PageEncoding::Utf8);
        QVERIFY(!w.ok);
        QCOMPARE(w.error, QStringLiteral("Cannot save \"%1\"").arg(file) + reason);
        QCOMPARE(readBytes(path("plain.htm")), QByteArray("plain"));
    }

    // A save never waits on a pipe: the open does not block, and a pipe is
    // refused whether or not something reads it. A character device is
    // written to (/dev/full stands in for a full disk); a save in place is
    // for regular files only.
    void specialFilesAreRefusedOrWritten_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("inPlace");
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
        QFETCH(QString, file);
        QFETCH(bool, inPlace);
        QFETCH(bool, reader);
        QFETCH(QString, reason);
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
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("reason");
        const QString kept = QStringLiteral(": the file would be too large for the size limit in force. "
                                            "The page on disk was left as it was.");
        QTest::newRow("save") << false << false << int(PageEncoding::Utf8) << ": the file would be too large for the size limit in force.";
        QTest::newRow("save as") << false << true << int(PageEncoding::Utf8) << ": the file would be too large for the size limit in force.";
        QTest::newRow("save in place") << true << false << int(PageEncoding::Utf8) << kept;
        QTest::newRow("save in place, references") << true << false << int(PageEncoding::LegacyReferences) << kept;
    }
    void fullDiskLeavesTheOldPageWhole()
    {
        QFETCH(bool, inPlace);
        QFETCH(bool, saveAs);
        QFETCH(int, encoding);
        QFETCH(QString, reason);
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
        QTest::addColumn<QString>("folder"); // where the page and the journal go
        QTest::addColumn<qint64>("limit");   // the file-size limit, 0 for none
        QTest::addColumn<QString>("reason");
        QTest::newRow("size limit") << m_dir.path() << qint64(4096)
                                    << QStringLiteral("the file would be too large for the size limit in force.");
        QTest::newRow("through a file") << path("plain.htm") << qint64(0)
                                        << QStringLiteral("a part of its path is not a folder.");
        QTest::newRow("too-long name") << path(longName()) << qint64(0) << QStringLiteral("the name is too long.");
    }
    void aReasonReadsTheSameEverywhere()
    {
        QFETCH(QString, folder);
        QFETCH(qint64, limit);
        QFETCH(QString, reason);
        const QString page = QDir(folder).filePath(QStringLiteral("page.htm"));
        const QByteArray text(64 * 1024, 'x');
        PageWriteResult saved;
        JournalWriter journal;
        bool opened = true;
        const auto both = [&] {
            saved = writePage(page, text.constData(), text.size(), PageEncoding::Utf8);
            opened = journal.open(QDir(folder).filePath(QStringLiteral("page.twj")), QStringLiteral("Document 1"),
                                  QString(), PageEncoding::Utf8, text);
        };
        if (limit > 0) {
            const tw::test::FileSizeLimit small{rlim_t(limit)};
            both();
        } else {
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

    // -----------------------------------------------------------------------
    // Settings

    void garbageSettingsGiveAReachableFrame_data()
    {
        QTest::addColumn<QStringList>("stored"); // MainLeft, MainTop, MainWidth, MainHeight
        QTest::addColumn<QRect>("frame");
        const QRect defaults(67, 67, 433, 433);
        const auto row = [](const char *name, QStringList stored, QRect frame) {
            QTest::newRow(name) << stored << frame;
        };
        row("words", {"left edge", "top", "wide", "tall"}, defaults);
        row("empty", {"", "", "", ""}, defaults);
        row("nan and inf", {"nan", "inf", "-inf", "nan"}, defaults);
        row("blanks around numbers", {" 1500 ", "1500 ", " 7500", "6000"}, {100, 100, 500, 400});
        row("3e10 wide", {"1000", "1000", "3e10", "6500"}, {0, 67, 1280, 433});
        row("600000 wide and high", {"1000", "1000", "600000", "600000"}, {0, 24, 1280, 1000});
        row("beyond float range", {"1e39", "1e39", "1e39", "1e39"}, defaults);
        row("negative sizes", {"1000", "1000", "-1e30", "-6500"}, defaults);
        row("far off", {"-3e10", "3e10", "6500", "6500"}, defaults);
    }
    void garbageSettingsGiveAReachableFrame()
    {
        QFETCH(QStringList, stored);
        QFETCH(QRect, frame);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("t.conf")), QSettings::IniFormat);
        const char *keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        for (int i = 0; i < 4; ++i)
            store.setValue(QStringLiteral("Settings/") + QLatin1String(keys[i]), stored.at(i));
        const QVector<QRect> screens{QRect(0, 24, 1280, 1000)};
        QCOMPARE(reachablePlacement(placementPixels(Settings::loadPlacement(store), 96),
                                    placementPixels(Placement(), 96), screens),
                 frame);
    }

    // -----------------------------------------------------------------------
    // Arguments

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
