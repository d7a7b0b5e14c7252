#include "documents/PageFile.h"
#include "documents/SourceEditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tw;

namespace {

QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void spit(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

PageWriteResult saveEditor(const QString &path, const SourceEditor &editor, PageEncoding enc)
{
    return writePage(path, editor.documentData(), editor.documentLength(), enc);
}

QByteArray allBytes(int from, int to)
{
    QByteArray b;
    for (int i = from; i <= to; ++i)
        b.append(char(i));
    return b;
}

} // namespace

class TestPageFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void openThenSaveGivesOriginalBytesPlusCrLf_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("legacy");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("no final line end") << QByteArray("<p>x</p>") << false;
        QTest::newRow("CR LF, LF and CR mixed") << QByteArray("a\r\nb\nc\rd\r\n\r\n\n") << false;
        QTest::newRow("NUL bytes") << QByteArray("a\0b\0\0\r\n\0", 8) << false;
        QTest::newRow("UTF-8 scripts") << QByteArray(
            "\xEF\xBB\xBF<p>Gr\xC3\xBC\xC3\x9F""e \xCE\xB1\xCE\xB2 \xD0\xB6 \xD7\xA9\xD7\x9C "
            "\xD8\xB3\xD9\x84 \xE0\xA4\xB9\xE0\xA4\xBF \xE4\xB8\xAD\xE6\x96\x87 \xE3\x81\x82 "
            "\xED\x95\x9C \xE0\xB8\x81 e\xCC\x81 \xC2\xA0\xE2\x80\xA8 \xF0\x9F\x98\x80</p>\r\n")
            << false;
        QTest::newRow("legacy 0x80-0xFF") << "<p>" + allBytes(0x80, 0xFF) + "</p>\r\n" << true;
        QTest::newRow("every byte") << allBytes(0, 255) << true;
        QTest::newRow("legacy, NUL and mixed ends")
            << QByteArray("caf\xE9\0\r\n\x81\n\x9D\r", 11) << true;
        QTest::newRow("malformed UTF-8") << QByteArray("\xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82")
                                         << true;
    }
    void openThenSaveGivesOriginalBytesPlusCrLf()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, legacy);
        const QString file = path("page.htm");
        spit(file, bytes);

        const PageReadResult read = readPage(file);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.encoding, legacy ? PageEncoding::Legacy : PageEncoding::Utf8);
        SourceEditor editor;
        editor.loadBytes(read.utf8);

        const PageWriteResult written = saveEditor(file, editor, read.encoding);
        QVERIFY2(written.ok, qPrintable(written.error));
        QCOMPARE(written.written, read.encoding);
        QCOMPARE(slurp(file), bytes + "\r\n");
    }

    void bytesShowWithTheirMeaning_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8") << QByteArray("\xE6\x97\xA5 \xC3\xA9") << QStringLiteral(u"日 é");
        QTest::newRow("Windows-1252") << QByteArray("\x80\x85\x9F\xE9\xA0\xFF")
                                      << QStringLiteral(u"€…Ÿé\u00A0ÿ");
        QTest::newRow("undefined 1252 bytes")
            << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringLiteral(u"\u0081\u008D\u008F\u0090\u009D");
    }
    void bytesShowWithTheirMeaning()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        spit(path("shown.htm"), bytes);
        const PageReadResult read = readPage(path("shown.htm"));
        SourceEditor editor;
        editor.loadBytes(read.utf8);
        QCOMPARE(editor.textExact(), text);
    }

    void loadingIsNotAnEdit()
    {
        SourceEditor editor;
        editor.replaceSelectionExact(QStringLiteral("typed before"));
        QSignalSpy changed(&editor, &QsciScintilla::textChanged);
        editor.loadBytes(QByteArray("new\r\nline"));
        QVERIFY(changed.count() >= 1);
        QVERIFY(!editor.isUndoAvailable());
        QVERIFY(!editor.isModified());
        // Edits after the load are recorded again and undo back to the loaded text.
        editor.replaceSelectionExact(QStringLiteral("x"));
        QVERIFY(editor.isUndoAvailable());
        editor.undo();
        QCOMPARE(editor.documentBytes(), QByteArray("new\r\nline"));
    }

    void typedTextSurvivesSaveAndOpen_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("staysLegacy");
        const QByteArray utf8("<p>\xC3\xA9</p>\r\n");
        const QByteArray legacy("<p>\xE9</p>\r\n");
        const QString scripts = QStringLiteral(u"Ωмשعहि中文かな한글ไทย e\u0301 😀");
        QTest::newRow("UTF-8 page, many scripts") << utf8 << scripts << false;
        QTest::newRow("legacy page, 1252 text") << legacy << QStringLiteral(u"€ “ok” Œ ñ") << true;
        QTest::newRow("legacy page, Chinese") << legacy << QStringLiteral(u"中文 😀") << false;
        QTest::newRow("legacy page, C1 char 1252 lacks") << legacy << QStringLiteral(u"\u0085") << false;
    }
    void typedTextSurvivesSaveAndOpen()
    {
        QFETCH(QByteArray, start);
        QFETCH(QString, typed);
        QFETCH(bool, staysLegacy);
        const QString file = path("typed.htm");
        spit(file, start);
        const PageReadResult first = readPage(file);
        SourceEditor editor;
        editor.loadBytes(first.utf8);
        editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        // Typed through an input method, then once more as a command would insert it.
        QInputMethodEvent typing;
        typing.setCommitString(typed);
        QCoreApplication::sendEvent(&editor, &typing);
        editor.replaceSelectionExact(typed);
        const QString expected = editor.textExact() + QStringLiteral("\r\n");
        QVERIFY(expected.count(typed) == 2);

        const PageWriteResult written = saveEditor(file, editor, first.encoding);
        QVERIFY2(written.ok, qPrintable(written.error));
        QCOMPARE(written.written, staysLegacy ? PageEncoding::Legacy : PageEncoding::Utf8);
        const PageReadResult again = readPage(file);
        QCOMPARE(QString::fromUtf8(again.utf8), expected);
        QCOMPARE(again.encoding, written.written);
        if (staysLegacy) // the page's own byte is written back as the single byte it was
            QVERIFY(slurp(file).startsWith("<p>\xE9</p>"));
    }

    void unreadableFileIsNamedWithReason_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << path("nothing-here.htm") << QStringLiteral("no such file");
        QTest::newRow("folder") << m_dir.path() << QStringLiteral("folder");
        QTest::newRow("pipe") << path("pipe") << QStringLiteral("pipe");
        QTest::newRow("permission") << path("locked.htm") << QStringLiteral("permission denied");
        QTest::newRow("read error") << QStringLiteral("/proc/self/mem") << QStringLiteral("error");
    }
    void unreadableFileIsNamedWithReason()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        if (file.endsWith(QLatin1String("locked.htm"))) {
            if (geteuid() == 0)
                QSKIP("permissions are not enforced for root");
            spit(file, "x");
            QFile::setPermissions(file, QFileDevice::WriteOwner);
        }
        if (file.endsWith(QLatin1String("pipe")))
            QVERIFY(mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        if (!QFileInfo::exists(file) && file.startsWith(QLatin1String("/proc")))
            QSKIP("no /proc here");
        const PageReadResult read = readPage(file);
        QVERIFY(!read.ok);
        QVERIFY(read.utf8.isEmpty());
        QVERIFY2(read.error.contains(QDir::toNativeSeparators(file)), qPrintable(read.error));
        QVERIFY2(read.error.contains(reason, Qt::CaseInsensitive), qPrintable(read.error));
    }

    void failedSaveIsReportedAndChangesNothing()
    {
        const QByteArray doc(1 << 20, 'x');
        // A folder, and a file in a missing folder.
        PageWriteResult w = writePage(m_dir.path(), doc.constData(), doc.size(), PageEncoding::Utf8);
        QVERIFY(!w.ok && w.error.contains(QLatin1String("folder")));
        const QString orphan = path("missing/page.htm");
        w = writePage(orphan, doc.constData(), doc.size(), PageEncoding::Utf8);
        QVERIFY(!w.ok && w.error.contains(QLatin1String("does not exist")));
        QVERIFY(w.error.contains(QDir::toNativeSeparators(orphan)));
        QVERIFY(!QFileInfo::exists(orphan));

        // The disk fills up part way: the old page stays whole, no temporary file is left.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("page.htm"));
        spit(file, "old content\r\n");
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        w = writePage(file, doc.constData(), doc.size(), PageEncoding::Utf8);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!w.ok);
        QVERIFY2(w.error.contains(QDir::toNativeSeparators(file)), qPrintable(w.error));
        QVERIFY2(w.error.contains(QLatin1String("too large")), qPrintable(w.error));
        QCOMPARE(slurp(file), QByteArray("old content\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        if (geteuid() == 0)
            QSKIP("permissions are not enforced for root");
        QFile::setPermissions(file, QFileDevice::ReadOwner);
        w = writePage(file, "new", 3, PageEncoding::Utf8);
        QVERIFY(!w.ok && w.error.contains(QLatin1String("read-only")));
        QCOMPARE(slurp(file), QByteArray("old content\r\n"));
    }

    void saveKeepsWhatTheFileIs()
    {
        QTemporaryDir dir;
        const auto at = [&](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
        // Permissions, owner and group, and a symbolic link.
        spit(at("page.htm"), "old");
        const QFileDevice::Permissions perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                               | QFileDevice::ReadGroup;
        QFile::setPermissions(at("page.htm"), perms);
        const bool root = geteuid() == 0;
        if (root)
            QCOMPARE(chown(QFile::encodeName(at("page.htm")).constData(), 65534, 65534), 0);
        QVERIFY(QFile::link(at("page.htm"), at("link.htm")));
        QVERIFY(writePage(at("link.htm"), "new", 3, PageEncoding::Utf8).ok);
        QVERIFY(QFileInfo(at("link.htm")).isSymLink());
        QCOMPARE(slurp(at("page.htm")), QByteArray("new\r\n"));
        struct stat st;
        QCOMPARE(stat(QFile::encodeName(at("page.htm")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        if (root)
            QVERIFY(st.st_uid == 65534 && st.st_gid == 65534);

        // A pipe is written to, not replaced by a regular file.
        QVERIFY(mkfifo(QFile::encodeName(at("pipe")).constData(), 0600) == 0);
        const int reader = open(QFile::encodeName(at("pipe")).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QVERIFY(writePage(at("pipe"), "<p>", 3, PageEncoding::Utf8).ok);
        char got[16] = {};
        QCOMPARE(read(reader, got, sizeof got), ssize_t(5));
        close(reader);
        QCOMPARE(QByteArray(got), QByteArray("<p>\r\n"));
        QVERIFY(!QFileInfo(at("pipe")).isFile());

        // A writable page in a folder that cannot take a temporary file.
        if (root)
            QSKIP("permissions are not enforced for root");
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const PageWriteResult w = writePage(at("page.htm"), "in place", 8, PageEncoding::Utf8);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(slurp(at("page.htm")), QByteArray("in place\r\n"));
    }
};

QTEST_MAIN(TestPageFile)
#include "tst_pagefile.moc"
