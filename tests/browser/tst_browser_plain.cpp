// The parts of the browser that need no web engine: the value look-up
// behind System Info, and how typed addresses become targets.
#include "browser/Address.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/SystemInfo.h"

#include "DataRows.h"
#include "FakeBrowserHost.h"
#include "TestFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QMap>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;

namespace {

// A registry in memory that keeps count of the keys left open.
class FakeStore final : public KeyStore {
public:
    struct Value {
        quint32 type;
        QByteArray data;
    };
    QMap<QString, QMap<QString, Value>> keys; // "root\key" -> values
    int openKeys = 0;

    void set(const QString &key, const QString &name, quint32 type, const QByteArray &data)
    {
        keys[QString::number(kLocalMachine, 16) + QLatin1Char('\\') + key][name] = {type, data};
    }
    bool openKey(quint32 root, const QString &keyName, quint32 access, int *handle) override
    {
        const QString id = QString::number(root, 16) + QLatin1Char('\\') + keyName;
        if (access != kKeyAccess || !keys.contains(id))
            return false;
        m_open.append(id);
        *handle = int(m_open.size()) - 1;
        ++openKeys;
        return true;
    }
    bool queryValue(int handle, const QString &valueName, quint32 *type, char *buffer,
                    quint32 *size) override
    {
        const auto values = keys.value(m_open.at(handle));
        if (!values.contains(valueName))
            return false;
        const Value value = values.value(valueName);
        if (quint32(value.data.size()) > *size)
            return false;
        std::copy(value.data.begin(), value.data.end(), buffer);
        *size = quint32(value.data.size());
        *type = value.type;
        return true;
    }
    void closeKey(int) override { --openKeys; }

private:
    QStringList m_open;
};

const QString kKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocation = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

} // namespace

class TestBrowserPlain : public QObject {
    Q_OBJECT
private slots:
    // Root with the sandbox on would end the whole program inside the engine.
    void engineRefusesOnlyRootWithItsSandboxOn()
    {
        const struct {
            bool root;
            const char *disable;
            const char *flags;
            bool refused;
        } cases[] = {
            {false, "", "", false},
            {true, "", "", true},
            {true, "0", "--disable-gpu", true},
            {true, "1", "", false},
            {true, "", "--disable-gpu --no-sandbox", false},
            {true, "", "--no-sandboxes", true},
        };
        for (const auto &c : cases) {
            const QString why = engineRefusal(c.root, c.disable, c.flags);
            QVERIFY2(why.isEmpty() != c.refused, c.flags);
        }
    }
    void getKeyValue_data()
    {
        // type -1: no such value, -2: no such key; KeyVal comes in as "before"
        tw::test::columns<int, QByteArray, bool, QString>("type", "data", "read", "value");
        const auto row = [](const char *name, int type, const QByteArray &data, bool read,
                            const QString &value) { QTest::newRow(name) << type << data << read << value; };
        row("string with its NUL", 1, QByteArray("C:\\msinfo32.exe\0", 16), true, "C:\\msinfo32.exe");
        row("string without a NUL", 1, "C:\\msinfo32.exe", true, "C:\\msinfo32.exe");
        row("only a NUL", 1, QByteArray(1, '\0'), true, "");
        row("no data at all", 1, "", true, "");
        row("NUL inside is kept", 1, QByteArray("a\0b", 3), true, QString::fromUtf8("a\0b", 3));
        row("UTF-8 letters", 1, "/opt/\xc3\xa9t\xc3\xa9", true, QString::fromUtf8("/opt/été"));
        row("a full buffer", 1, QByteArray(1024, 'x'), true, QString(1024, QLatin1Char('x')));
        row("more than the buffer", 1, QByteArray(1025, 'x'), false, "");
        row("number 1", 4, QByteArray("\x01\0\0\0", 4), true, "1");
        row("number 256", 4, QByteArray("\0\x01\0\0", 4), true, "256");
        row("number 0x01020304", 4, QByteArray("\x04\x03\x02\x01", 4), true, "16909060");
        row("largest number", 4, "\xff\xff\xff\xff", true, "4294967295");
        row("expandable string", 2, QByteArray("%SystemRoot%\0", 13), true, "before");
        row("binary", 3, "\x01\x02", true, "before");
        row("missing value", -1, "", false, "");
        row("missing key", -2, "", false, "");
    }
    void getKeyValue()
    {
        auto [type, data] = tw::test::fetch<int, QByteArray>("type", "data");
        FakeStore store;
        if (type >= 0)
            store.set(kKey, QStringLiteral("PATH"), quint32(type), data);
        else if (type == -1)
            store.set(kKey, QStringLiteral("Other"), 1, "x");
        QString value = QStringLiteral("before");
        QTEST(GetKeyValue(store, kLocalMachine, kKey, QStringLiteral("PATH"), value), "read");
        QTEST(value, "value");
        QCOMPARE(store.openKeys, 0);
    }

    void startSysInfo_data()
    {
        // The first value and the second (null: none; "tmp": a folder); MSINFO32.EXE lies in the folder; the
        // program starts; what was started ("tmp/..." is inside the folder); a message.
        tw::test::columns<QString, QString, bool, bool, QString, bool>("path", "folder", "withProgram", "starts",
                                                                       "started", "message");
        QTest::newRow("path, started unchanged without a file test")
            << "/nowhere/msinfo32 x.exe" << QString() << false << true << "/nowhere/msinfo32 x.exe" << false;
        QTest::newRow("path beats folder") << "/a/b" << "tmp" << true << true << "/a/b" << false;
        QTest::newRow("folder holding the program")
            << QString() << "tmp" << true << true << "tmp/MSINFO32.EXE" << false;
        QTest::newRow("folder without the program") << QString() << "tmp" << false << true << QString() << true;
        QTest::newRow("nothing recorded") << QString() << QString() << false << true << QString() << true;
        QTest::newRow("program fails to start") << "/a/b" << QString() << false << false << "/a/b" << true;
    }
    void startSysInfo()
    {
        auto [path, folder, withProgram, starts, started, message] =
            tw::test::fetch<QString, QString, bool, bool, QString, bool>("path", "folder", "withProgram", "starts",
                                                                         "started", "message");
        QTemporaryDir dir;
        FakeStore store;
        if (!path.isNull())
            store.set(kKey, QStringLiteral("PATH"), 1, path.toUtf8() + '\0');
        if (folder == QLatin1String("tmp"))
            store.set(kLocation, QStringLiteral("MSINFO"), 1, dir.path().toUtf8() + '\0');
        if (withProgram)
            QVERIFY(test::writeBytes(dir.filePath("MSINFO32.EXE"), "x"));
        ScriptedDialogs dialogs;
        if (message)
            dialogs.acknowledge();
        QString ran;
        StartSysInfo(store, dialogs, [&, starts = starts](const QString &program) {
            ran = program;
            return starts;
        });
        QCOMPARE(ran, started.replace(QLatin1String("tmp/"), dir.path() + QLatin1Char('/')));
        QCOMPARE(dialogs.remaining(), 0);
        if (message)
            QCOMPARE(dialogs.shown.first(), (test::Shown{"message", "Tagwright", kUnavailable, {}}));
    }

    // Under Linux the store names the first known program found on PATH.
    void linuxStoreFindsAProgramOnPath()
    {
        QTemporaryDir dir;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        QString value;
        const bool none = GetKeyValue(systemKeyStore(), kLocalMachine, kKey, QStringLiteral("PATH"), value);
        const QString second = systemInfoPrograms().at(1);
        QVERIFY(test::writeBytes(dir.filePath(second), "#!/bin/sh\n"));
        QFile::setPermissions(dir.filePath(second), QFile::ReadOwner | QFile::ExeOwner);
        const bool found = GetKeyValue(systemKeyStore(), kLocalMachine, kKey, QStringLiteral("PATH"), value);
        qputenv("PATH", oldPath);
        QVERIFY(!none);
        QVERIFY(found);
        QCOMPARE(value, dir.filePath(second));
        QVERIFY(!GetKeyValue(systemKeyStore(), kLocalMachine, kLocation, QStringLiteral("MSINFO"), value));
    }

    // Without the module (this test's folder has none) a browser window
    // still opens and says why it shows no page.
    void missingEngineIsReported()
    {
        test::FakeBrowserHost host;
        host.edit = false;
        host.area.show();
        frmBrowser *w = openBrowserWindow(host, QStringLiteral("/tmp/page.htm"));
        QVERIFY(!browserEngineLoaded());
        QVERIFY(!w->page());
        QVERIFY(w->lblUnavailable && w->lblUnavailable->isVisible());
        QVERIFY(w->lblUnavailable->text().contains(browserModuleFileName()));
        QCOMPARE(w->cboAddress->currentText(), QStringLiteral("/tmp/page.htm"));
        w->cboAddress_Click();
        w->CmdBackUp_MouseUp();
        w->CmdStopUp_MouseUp();
        QCOMPARE(w->caption(), QString());
        QVERIFY(!w->mnuViewEdit->isChecked() && w->mnuViewToolbar->isChecked());
    }

    void addressToUrl_data()
    {
        tw::test::columns<QString, QString>("typed", "url"); // "BASE" and "HOME" in url: those folders' URLs
        const auto row = [](const char *typed, const char *url) {
            QTest::newRow(typed) << QString::fromUtf8(typed) << QString::fromUtf8(url);
        };
        row("", "");
        row("http://example.com/a b?q=1", "http://example.com/a%20b?q=1");
        row("https://example.com/", "https://example.com/");
        row("about:blank", "about:blank");
        row("file:///tmp/a%20b.htm", "file:///tmp/a%20b.htm");
        row("FILE:///tmp/x.htm", "file:///tmp/x.htm");
        row("file:/tmp/a b#1.htm", "file:///tmp/a%20b%231.htm");
        row("file:", "");
        row("/tmp/page.htm", "file:///tmp/page.htm");
        row("/tmp/ä ö.htm", "file:///tmp/%C3%A4%20%C3%B6.htm");
        row("/tmp/100%.htm?x", "file:///tmp/100%25.htm%3Fx");
        row("www.example.org", "http://www.example.org");
        row("example.org/a b", "http://example.org/a%20b");
        row("rel page.htm", "BASE/rel%20page.htm");
        row("sub/../rel page.htm", "BASE/rel%20page.htm");
        row("~/a b.htm", "HOME/a%20b.htm");
        row("file:~/x", "HOME/x");
    }
    void addressToUrl()
    {
        auto [typed, url] = tw::test::fetch<QString, QString>("typed", "url");
        QTemporaryDir dir;
        QVERIFY(test::writeBytes(dir.filePath("rel page.htm"), "x"));
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        url.replace(QLatin1String("BASE"), QUrl::fromLocalFile(dir.path()).toString(QUrl::FullyEncoded))
            .replace(QLatin1String("HOME"), QUrl::fromLocalFile(QDir::homePath()).toString(QUrl::FullyEncoded));
        QCOMPARE(tw::addressToUrl(typed, dir.path()).toString(QUrl::FullyEncoded), url);
    }

};

QTEST_MAIN(TestBrowserPlain)
#include "tst_browser_plain.moc"
