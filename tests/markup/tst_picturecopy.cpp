#include "DataRows.h"
#include "TestFiles.h"
#include "markup/ImageCommand.h"

#include <QtTest>

#include <cstring>
#include <functional>
#include <optional>

#include <sys/stat.h>

using namespace tw;
using namespace tw::test;

namespace {

ino_t inode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Gives its bytes and runs `during` before the last read: something the copy
// meets between writing its temporary file and putting it in place. A read
// past the bytes gives `atEnd`: 0 for the end, -1 for a source that breaks.
struct SourceWithAnEvent final : QIODevice {
    QByteArray bytes;
    std::function<void()> during;
    qint64 atEnd = 0;
    qint64 readData(char *data, qint64 max) override
    {
        if (bytes.isEmpty())
            return atEnd;
        const qint64 n = qMin<qint64>(max, bytes.size());
        memcpy(data, bytes.constData(), size_t(n));
        bytes.remove(0, n);
        if (bytes.isEmpty() && during)
            during();
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
    bool isSequential() const override { return true; }
};

} // namespace

// The picture copy against real files: a copy onto the picture itself must
// never damage it, a replaced target is swapped in whole, failures say why.
class PictureCopyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_web = m_dir.filePath("web");
        QVERIFY(QDir().mkpath(m_web));
        m_logo = m_web + "/logo.gif";
        QVERIFY(writeBytes(m_logo, "GIF89a the one picture"));
    }

    void theSameFileByAnySpellingIsLeftAlone_data()
    {
        columns<QString, QString>("source", "link"); // link: made as a symbolic link to the picture first
        QTest::newRow("same path") << "web/logo.gif" << "";
        QTest::newRow("dot and doubled separator") << "web/./..//web//logo.gif" << "";
        QTest::newRow("symbolic link as source") << "elsewhere.gif" << "elsewhere.gif";
        QTest::newRow("hard link as source") << "hard.gif" << "hard";
    }
    void theSameFileByAnySpellingIsLeftAlone()
    {
        auto [source, link] = fetch<QString, QString>("source", "link");
        if (link == "hard")
            QCOMPARE(::link(QFile::encodeName(m_logo).constData(), QFile::encodeName(m_dir.filePath(source)).constData()), 0);
        else if (!link.isEmpty())
            QVERIFY(QFile::link(m_logo, m_dir.filePath(link)));
        const ino_t before = inode(m_logo);
        const PictureCopy copy = copyPicture(m_dir.filePath(source), pictureTarget(m_web, "logo.gif"));
        QCOMPARE(copy.outcome, PictureCopy::SameFile);
        QCOMPARE(readBytes(m_logo), QByteArray("GIF89a the one picture"));
        QCOMPARE(inode(m_logo), before);
    }

    void aTargetLinkedToTheSourceIsLeftAlone()
    {
        const QString pics = m_dir.filePath("pics");
        QVERIFY(QDir().mkpath(pics));
        QVERIFY(QFile::link(m_logo, pics + "/logo.gif"));
        QCOMPARE(copyPicture(m_logo, pics + "/logo.gif").outcome, PictureCopy::SameFile);
        QCOMPARE(readBytes(m_logo), QByteArray("GIF89a the one picture"));
    }

    void anExistingTargetIsReplacedThroughARename()
    {
        const QString other = m_dir.filePath("new.gif");
        QVERIFY(writeBytes(other, "GIF89a a newer picture, longer"));
        const QString target = m_web + "/new.gif";
        QVERIFY(writeBytes(target, "old"));
        // A second name for the old target: an in-place write would change it too.
        QVERIFY(::link(QFile::encodeName(target).constData(), QFile::encodeName(m_dir.filePath("old-name")).constData()) == 0);
        QCOMPARE(copyPicture(other, target).outcome, PictureCopy::Copied);
        QCOMPARE(readBytes(target), QByteArray("GIF89a a newer picture, longer"));
        QCOMPARE(readBytes(m_dir.filePath("old-name")), QByteArray("old"));
        QCOMPARE(QDir(m_web).entryList(QDir::Files).size(), 2); // no temporary file left
    }

    void aFailedCopyLeavesTheOldTargetWhole()
    {
        // A source that breaks after its first bytes: the copy fails after
        // the temporary file was begun.
        SourceWithAnEvent source;
        source.bytes = "GIF8";
        source.atEnd = -1;
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString target = m_web + "/old.gif";
        QVERIFY(writeBytes(target, "old picture"));
        const PictureCopy copy = copyPictureFrom(source, target);
        QCOMPARE(copy.outcome, PictureCopy::Failed);
        QVERIFY(!copy.error.isEmpty());
        QCOMPARE(readBytes(target), QByteArray("old picture"));
        QCOMPARE(QDir(m_web).entryList(QDir::Files), (QStringList{"logo.gif", "old.gif"}));
    }

    void aSourceWithoutAReportedSizeIsCopiedWhole()
    {
        QVERIFY(QFileInfo("/proc/self/cmdline").size() == 0);
        const QByteArray whole = readBytes("/proc/self/cmdline");
        QVERIFY(!whole.isEmpty());
        QCOMPARE(copyPicture("/proc/self/cmdline", m_web + "/cmdline").outcome, PictureCopy::Copied);
        QCOMPARE(readBytes(m_web + "/cmdline"), whole);
    }

    void failuresSayWhy_data()
    {
        columns<QString, QString, QString>("source", "target", "reason"); // %1 in reason: the test's folder
        QTest::newRow("folder missing") << "web/logo.gif" << "missing/logo.gif" << "the folder \"%1/missing\" does not exist.";
        QTest::newRow("folder is a file") << "web/logo.gif" << "web/logo.gif/logo.gif"
                                          << "a part of its path is not a folder.";
        QTest::newRow("target is a folder") << "web/logo.gif" << "web" << "it is a folder, not a file.";
        QTest::newRow("source missing") << "nowhere.gif" << "web/nowhere.gif"
                                        << "the picture %1/nowhere.gif does not exist.";
        QTest::newRow("source is a folder") << "web" << "copy" << "cannot read %1/web: it is a folder, not a file.";
    }
    void failuresSayWhy()
    {
        auto [source, target, reason] = fetch<QString, QString, QString>("source", "target", "reason");
        const PictureCopy copy = copyPicture(m_dir.filePath(source), m_dir.filePath(target));
        QCOMPARE(copy.outcome, PictureCopy::Failed);
        QCOMPARE(copy.error, reason.arg(m_dir.path()));
        QCOMPARE(readBytes(m_logo), QByteArray("GIF89a the one picture"));
    }

    // The disk filling up, or a file-size limit, during the copy: the reason
    // is named as page saves name it, the process lives on (SIGXFSZ keeps its
    // default action here), and the old target stays whole with no temporary
    // file beside it.
    void aFullDiskSaysWhy_data()
    {
        // realDisk: a small tmpfs, else a file-size limit; filler: bytes written to the disk first
        columns<bool, int, int, QString>("realDisk", "pictureSize", "filler", "reason");
        QTest::newRow("file-size limit") << false << (3 << 20) << 0
                                         << "the file would be too large for the size limit in force.";
        QTest::newRow("full disk") << true << (3 << 20) << 0 << "there is not enough room on the disk.";
        // Smaller than any write buffer: the failure must still come with its reason.
        QTest::newRow("small picture, nearly full disk") << true << 12000 << 52000
                                                         << "there is not enough room on the disk.";
    }
    void aFullDiskSaysWhy()
    {
        auto [realDisk, pictureSize, filler, reason] = fetch<bool, int, int, QString>(
            "realDisk", "pictureSize", "filler", "reason");
        std::optional<SmallDisk> disk;
        QString folder = m_web;
        if (realDisk) {
            disk.emplace("64k");
            if (disk->why)
                QSKIP(disk->why);
            folder = disk->path();
        }
        const QString big = m_dir.filePath("big.gif");
        QVERIFY(writeBytes(big, QByteArray(pictureSize, 'p')));
        const QString target = folder + "/big.gif";
        QVERIFY(writeBytes(target, "old picture"));
        if (filler > 0)
            QVERIFY(writeBytes(folder + "/filler", QByteArray(filler, 'f')));

        std::optional<FileSizeLimit> limit;
        if (!realDisk)
            limit.emplace(64 * 1024);
        const PictureCopy copy = copyPicture(big, target);
        limit.reset();
        const QByteArray after = readBytes(target);
        const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        disk.reset();

        QCOMPARE(copy.outcome, PictureCopy::Failed);
        QCOMPARE(copy.error, reason);
        QCOMPARE(after, QByteArray("old picture"));
        QStringList expected{"big.gif", "logo.gif"};
        if (realDisk)
            expected = filler > 0 ? QStringList{"big.gif", "filler"} : QStringList{"big.gif"};
        QCOMPARE(left, expected);
    }

    // The copy is written whole but cannot take the target's place (a folder
    // appeared under its name meanwhile): reported as a failure with its
    // reason, not as a copy, and no temporary file is left.
    void aFailedFinalStepIsReported()
    {
        const QString target = m_web + "/new.gif";
        SourceWithAnEvent source;
        source.bytes = "GIF89a a whole new picture";
        source.during = [&] {
            QVERIFY(QDir().mkpath(target + "/inside"));
        };
        QVERIFY(source.open(QIODevice::ReadOnly));
        const PictureCopy copy = copyPictureFrom(source, target);
        QCOMPARE(copy.outcome, PictureCopy::Failed);
        QCOMPARE(copy.error, QStringLiteral("it is a folder, not a file."));
        QVERIFY(QFileInfo(target + "/inside").isDir());
        QCOMPARE(QDir(m_web).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"logo.gif", "new.gif"}));
    }

    void aReadOnlyFolderFails()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        const QString locked = m_dir.filePath("locked");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        const PictureCopy copy = copyPicture(m_logo, locked + "/logo.gif");
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(copy.outcome, PictureCopy::Failed);
        QVERIFY(!copy.error.isEmpty());
    }

    void cleanup() { QVERIFY(m_dir.remove()); m_dir = {}; }

private:
    QTemporaryDir m_dir;
    QString m_web;
    QString m_logo;
};

QTEST_MAIN(PictureCopyTest)
#include "tst_picturecopy.moc"
