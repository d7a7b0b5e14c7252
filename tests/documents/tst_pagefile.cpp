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
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"

using namespace tw;
using tw::test::readBytes;
using tw::test::writeBytes;

namespace {

// Opens the page into the editor as a document window does; the encoding to save with.
PageEncoding openInto(SourceEditor &editor, const QString &path)
{
    const PageReadResult read = readPage(path);
    if (!read.ok)
        QTest::qFail(qPrintable(read.error), __FILE__, __LINE__);
    editor.loadBytes(read.utf8);
    return read.encoding;
}

} // namespace

class TestPageFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void openEditSaveGivesExactBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("legacy"); // read as Windows-1252
        QTest::addColumn<QString>("typed"); // at the end of the page before saving
        QTest::addColumn<QByteArray>("saved"); // null: the bytes and CR LF
        QTest::addColumn<QString>("shown"); // null: not checked
        const auto row = [](const char *name, const QByteArray &bytes, bool legacy, const QString &typed = {},
                            const QByteArray &saved = {}, const QString &shown = {}) {
            QTest::newRow(name) << bytes << legacy << typed << saved << shown;
        };
        QByteArray everyByte;
        for (int i = 0; i < 256; ++i)
            everyByte.append(char(i));
        row("empty", QByteArray(), false);
        row("no final line end", "<p>x</p>", false);
        row("CR LF, LF and CR mixed", "a\r\nb\nc\rd\r\n\r\n\n", false);
        row("NUL bytes", QByteArray("a\0b\0\0\r\n\0", 8), false);
        row("UTF-8 scripts",
            "\xEF\xBB\xBF<p>Gr\xC3\xBC\xC3\x9F""e \xCE\xB1\xCE\xB2 \xD0\xB6 \xD7\xA9\xD7\x9C \xD8\xB3\xD9\x84 "
            "\xE0\xA4\xB9\xE0\xA4\xBF \xE4\xB8\xAD\xE6\x96\x87 \xE3\x81\x82 \xED\x95\x9C \xE0\xB8\x81 e\xCC\x81 "
            "\xC2\xA0\xE2\x80\xA8 \xF0\x9F\x98\x80</p>\r\n", false);
        // Shown with its Windows-1252 meaning; the undefined bytes as the C1 controls of the same number.
        const QString from0x80 = QStringLiteral(
            u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
            u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178");
        const QString everyChar = QString::fromLatin1(everyByte).replace(0x80, 32, from0x80);
        row("legacy, every byte", everyByte, true, {}, {}, everyChar);
        row("malformed UTF-8 is legacy", "\xC0\x80 \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82", true);

        const QByteArray utf8("<p>\xC3\xA9</p>\r\n"), legacy("<p>\xE9</p>\r\n");
        const QString scripts = QStringLiteral(u"Ωмשعहि中文かな한글ไทย e\u0301 😀");
        row("UTF-8 page, typed scripts", utf8, false, scripts, utf8 + scripts.toUtf8() + "\r\n");
        row("legacy page, typed 1252 text", legacy, true, QStringLiteral(u"€ “ok” Œ ñ"),
            legacy + "\x80 \x93ok\x94 \x8C \xF1\r\n");
        row("legacy page, typed Chinese goes UTF-8", legacy, true, QStringLiteral(u"中文 😀"),
            utf8 + "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80\r\n");
        row("legacy page, typed C1 char 1252 lacks", legacy, true, QStringLiteral(u"\u0085"), utf8 + "\xC2\x85\r\n");
    }
    void openEditSaveGivesExactBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, legacy);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        QFETCH(QString, shown);
        QVERIFY(writeBytes(path("page.htm"), bytes));
        SourceEditor editor;
        const PageEncoding encoding = openInto(editor, path("page.htm"));
        QCOMPARE(encoding, legacy ? PageEncoding::Legacy : PageEncoding::Utf8);
        if (!shown.isNull())
            QCOMPARE(editor.textExact(), shown);
        editor.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        QInputMethodEvent typing; // as an input method commits it
        typing.setCommitString(typed);
        QCoreApplication::sendEvent(&editor, &typing);

        const PageWriteResult written =
            writePage(path("page.htm"), editor.documentData(), editor.documentLength(), encoding);
        QVERIFY2(written.ok, qPrintable(written.error));
        QCOMPARE(readBytes(path("page.htm")), saved.isNull() ? bytes + "\r\n" : saved);
        SourceEditor reopened; // nothing lost, and the page reads back as written
        QCOMPARE(openInto(reopened, path("page.htm")), written.written);
        QCOMPARE(reopened.textExact(), editor.textExact() + "\r\n");
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
        editor.undo();
        QCOMPARE(editor.documentBytes(), QByteArray("new\r\nline"));
    }

    void unreadableFileIsNamedWithReason()
    {
        QVERIFY(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600) == 0);
        const QList<std::pair<QString, const char *>> cases = {
            {path("nothing-here.htm"), "no such file"}, {m_dir.path(), "folder"}, {path("pipe"), "pipe"},
            {QStringLiteral("/proc/self/mem"), "error"}, // exists but cannot be read
        };
        for (const auto &[file, reason] : cases) {
            const PageReadResult read = readPage(file);
            QVERIFY(!read.ok && read.utf8.isEmpty());
            QVERIFY2(read.error.contains(QDir::toNativeSeparators(file)), qPrintable(read.error));
            QVERIFY2(read.error.contains(QLatin1String(reason), Qt::CaseInsensitive), qPrintable(read.error));
        }
    }

    void failedSaveIsReportedAndChangesNothing()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(file, "old content\r\n"));
        const QByteArray doc(1 << 20, 'x');
        const auto refused = [&](const QString &target, const char *reason) {
            const PageWriteResult w = writePage(target, doc.constData(), doc.size(), PageEncoding::Utf8);
            QVERIFY2(!w.ok && w.error.contains(QDir::toNativeSeparators(target)), qPrintable(w.error));
            QVERIFY2(w.error.contains(QLatin1String(reason)), qPrintable(w.error));
        };
        refused(dir.path(), "folder");
        refused(dir.filePath(QStringLiteral("missing/page.htm")), "does not exist");
        // The disk fills up part way.
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved, small;
        getrlimit(RLIMIT_FSIZE, &saved);
        small = {64 * 1024, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        refused(file, "too large");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        // The old page is whole; no temporary file or folder is left behind.
        QCOMPARE(readBytes(file), QByteArray("old content\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"page.htm"});
    }

    void saveKeepsPermissionsOwnerAndLink()
    {
        QVERIFY(writeBytes(path("kept.htm"), "old"));
        QVERIFY(QFile::setPermissions(path("kept.htm"),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        const bool root = geteuid() == 0; // only root can give the file away
        if (root)
            QCOMPARE(chown(QFile::encodeName(path("kept.htm")).constData(), 65534, 65534), 0);
        QVERIFY(QFile::link(path("kept.htm"), path("link.htm")));
        QVERIFY(writePage(path("link.htm"), "new", 3, PageEncoding::Utf8).ok);
        QVERIFY(QFileInfo(path("link.htm")).isSymLink());
        QCOMPARE(readBytes(path("kept.htm")), QByteArray("new\r\n"));
        struct stat st;
        QCOMPARE(stat(QFile::encodeName(path("kept.htm")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QVERIFY(!root || (st.st_uid == 65534 && st.st_gid == 65534));
    }
};

QTEST_MAIN(TestPageFile)
#include "tst_pagefile.moc"
