// Files the user chooses are read only when they are regular files, and only
// up to a bound: a pipe named like a picture, a folder or a device gives a
// message naming it, at every place that reads a chosen file, and never
// blocks; a file that holds more than the bound (or never ends) is refused.
#include "../markup/ScriptedMarkupWindows.h"
#include "Ceiling.h"
#include "DataRows.h"
#include "TestHost.h"
#include "pages/PageFile.h"
#include "generators/PageProperties.h"
#include "markup/ImageCommand.h"
#include "platform/RegularFile.h"
#include "rollover/RolloverCommands.h"

#include <QPixmap>
#include <QtTest>

#include <sys/stat.h>

using namespace tw;
using namespace tw::test;

namespace {

const QString kPipeReason = QStringLiteral("it is a device or pipe, not a file.");
const QString kFolderReason = QStringLiteral("it is a folder, not a file.");

// A Page Properties window without widgets, for Browse.
class BrowsingWindow final : public PagePropertiesWindow {
public:
    using PagePropertiesWindow::PagePropertiesWindow;
    bool runModal() override { return false; }
    void showPageColor(PageColor, const QColor &) override {}
    bool previewShown = false;

protected:
    void showPreview(const QPixmap &picture) override { previewShown = !picture.isNull(); }
    QWidget *dialogParent() override { return nullptr; }
};

// What each place that reads a chosen file shows for it: the message (or
// error) text, and whether it went on as if the file had been read.
struct Outcome {
    QString text;
    bool used = true;
};

Outcome openAsPage(const QString &file)
{
    TestHost host;
    host.scripted.acknowledge();
    int openCount = 0;
    const bool opened = openPage(host, file, openCount) != nullptr;
    const QString shown = host.scripted.shown.isEmpty() ? QString()
                                                        : host.scripted.shown.first().title + '|' + host.scripted.shown.first().text;
    return {shown, opened || !host.documents().isEmpty()};
}

Outcome readAsFragment(const QString &file)
{
    QString error;
    const QString text = readFragment(file, &error);
    return {error, !text.isEmpty() || error.isEmpty()};
}

Outcome browseBackground(const QString &file)
{
    CommandState state;
    ScriptedDialogs dialogs;
    ScriptedMarkupWindows windows;
    dialogs.file(file).acknowledge();
    BrowsingWindow window(state, dialogs, windows);
    window.browse();
    const QString shown = dialogs.shown.size() < 2 ? QString() : dialogs.shown.at(1).title + '|' + dialogs.shown.at(1).text;
    return {shown, state.BgPictureChosen != 0 || window.previewShown};
}

Outcome copyAsPicture(const QString &file)
{
    QTemporaryDir web;
    const QString target = web.filePath(QStringLiteral("copy.gif"));
    const PictureCopy copy = copyPicture(file, target);
    return {copy.error, copy.outcome != PictureCopy::Failed || QFile::exists(target)};
}

} // namespace

class ChosenFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(mkfifo(QFile::encodeName(path("pipe.gif")).constData(), 0600) == 0);
        QVERIFY(QFile::link(path("pipe.gif"), path("link-to-pipe.htm")));
        QVERIFY(QDir().mkpath(path("folder.gif")));
    }
    // A read that blocks on a pipe would hang here for good: the watchdog
    // ends the test instead.
    void init() { alarm(test::kWatchdogSeconds); }
    void cleanup() { alarm(0); }

    void specialFilesAreRefusedEverywhere_data()
    {
        tw::test::columns<QString, QString, QString>("site", "file", "reason");
        const QList<std::pair<const char *, QString>> files{
            {"pipe", path("pipe.gif")},
            {"link to a pipe", path("link-to-pipe.htm")},
            {"folder", path("folder.gif")},
            {"device", QStringLiteral("/dev/zero")},
        };
        for (const char *site : {"page", "fragment", "background picture", "picture copy"}) {
            for (const auto &[kind, file] : files) {
                QTest::addRow("%s, %s", site, kind)
                    << QString::fromLatin1(site) << file
                    << (file.endsWith(QLatin1String("folder.gif")) ? kFolderReason : kPipeReason);
            }
        }
    }
    void specialFilesAreRefusedEverywhere()
    {
        auto [site, file, reason] = tw::test::fetch<QString, QString, QString>("site", "file", "reason");
        const QString cannotOpen = QStringLiteral("Cannot open \"%1\": %2").arg(file, reason);
        Outcome outcome;
        QString expected;
        if (site == QLatin1String("page")) {
            outcome = openAsPage(file);
            expected = QStringLiteral("Open|") + cannotOpen;
        } else if (site == QLatin1String("fragment")) {
            outcome = readAsFragment(file);
            expected = cannotOpen;
        } else if (site == QLatin1String("background picture")) {
            outcome = browseBackground(file);
            expected = QStringLiteral("Page Properties|%1 cannot be shown as a picture: %2").arg(file, reason);
        } else {
            outcome = copyAsPicture(file);
            expected = QStringLiteral("cannot read %1: %2").arg(file, reason);
        }
        QCOMPARE(outcome.text, expected);
        QVERIFY(!outcome.used);
    }

    // The bound holds whatever size the file reports: exactly the limit is
    // read, one byte more is refused, and a file that never ends stops there.
    void readingStopsAtTheBound_data()
    {
        tw::test::columns<QString, qint64>("file", "limit");
        QTest::addColumn<QString>("error"); // empty: read whole
        const QString sized = path("sized.htm");
        QVERIFY(writeBytes(sized, QByteArray(1000, 'x')));
        const QString legacy = path("legacy.htm"); // 600 bytes that become 1200 of UTF-8
        QVERIFY(writeBytes(legacy, QByteArray(600, '\xE9')));
        const QString mixed = path("mixed-legacy.htm"); // 600 bytes that become 900 of UTF-8
        QVERIFY(writeBytes(mixed, QByteArray(300, 'a') + QByteArray(300, '\xE9')));
        const QString larger = QStringLiteral(": it is larger than %1, too large to read.");
        QTest::newRow("exactly the limit") << sized << qint64(1000) << QString();
        QTest::newRow("one byte over") << sized << qint64(999) << larger.arg("999 bytes");
        QTest::newRow("Windows-1252 text grows over") << legacy << qint64(1000) << larger.arg("1 kB");
        QTest::newRow("Windows-1252 text grows within") << mixed << qint64(1000) << QString();
        QTest::newRow("endless /proc file") << QStringLiteral("/proc/self/pagemap") << qint64(1000000)
                                            << larger.arg("1 MB");
    }
    void readingStopsAtTheBound()
    {
        auto [file, limit, error] = tw::test::fetch<QString, qint64, QString>("file", "limit", "error");
        PageReader reader(file, 4096);
        reader.setLimit(limit);
        QByteArray text;
        struct : PageSink {
            QByteArray *text;
            bool start(qsizetype) override { return text->clear(), true; }
            bool append(const char *data, qsizetype size) override { return text->append(data, size), true; }
        } sink;
        sink.text = &text;
        const bool read = reader.open() && reader.read(sink);
        QCOMPARE(reader.error(), error.isEmpty() ? QString() : QStringLiteral("Cannot open \"%1\"").arg(file) + error);
        QCOMPARE(read, error.isEmpty());

        const RegularFileRead whole = readRegularFile(file, limit);
        if (file.endsWith(QLatin1String("legacy.htm")))
            return; // 600 bytes as they lie on disk: within the limit
        QCOMPARE(whole.ok, error.isEmpty());
        QCOMPARE(whole.reason, error.mid(2));
        QCOMPARE(whole.bytes.size(), whole.ok ? limit : 0);

        QFile source;
        QString reason;
        QVERIFY(openRegularFile(source, file, reason));
        QTemporaryDir web;
        const PictureCopy copy = copyPictureFrom(source, web.filePath(QStringLiteral("copy.gif")), limit);
        QCOMPARE(copy.error, error.mid(2));
        QCOMPARE(QDir(web.path()).entryList(QDir::Files), error.isEmpty() ? QStringList{"copy.gif"} : QStringList());
    }

    // A file larger than the bound is refused when it is opened, before any
    // of it is read: pages beyond 2 GB, pictures beyond 256 MB, script
    // fragments beyond 16 MB.
    void hugeFilesAreRefusedUnread()
    {
        const QString sparse = path("huge.gif");
        QFile file(sparse);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(3'000'000'000));
        file.close();
        QCOMPARE(openAsPage(sparse).text,
                 QStringLiteral("Open|Cannot open \"%1\": it is larger than 2 GB, too large to read.").arg(sparse));
        QCOMPARE(browseBackground(sparse).text,
                 QStringLiteral("Page Properties|%1 cannot be shown as a picture: "
                                "it is larger than 256 MB, too large to read.").arg(sparse));
        const Outcome copied = copyAsPicture(sparse);
        QCOMPARE(copied.text, QStringLiteral("it is larger than 256 MB, too large to read."));
        QVERIFY(!copied.used);
        QVERIFY(file.resize(16'000'001));
        QCOMPARE(readAsFragment(sparse).text,
                 QStringLiteral("Cannot open \"%1\": it is larger than 16 MB, too large to read.").arg(sparse));
    }
};

QTEST_MAIN(ChosenFilesTest)
#include "tst_chosen_files.moc"
