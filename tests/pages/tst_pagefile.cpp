#include "documents/DocumentEncoding.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"

#include <QtTest>

#include <limits>
#include <sys/stat.h>

#include "DataRows.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

using namespace tw;
using tw::test::readBytes;
using tw::test::writeBytes;

namespace {

// Opens the page into the editor as a document window does; the encoding to save with.
PageEncoding openInto(SourceEditor &editor, const QString &path)
{
    PageReader reader(path);
    if (!reader.open() || !editor.loadPage(reader))
        QTest::qFail(qPrintable(reader.error()), __FILE__, __LINE__);
    return reader.encoding();
}

// Keeps what the reader gives, and the size announced at the last start.
struct CollectingSink : PageSink {
    bool start(qsizetype sizeHint) override
    {
        text.clear();
        hint = sizeHint;
        return true;
    }
    bool append(const char *data, qsizetype size) override
    {
        if (size > roomLeft)
            return false;
        roomLeft -= size;
        text.append(data, size);
        return true;
    }
    QByteArray text;
    qsizetype hint = -1;
    qsizetype roomLeft = std::numeric_limits<qsizetype>::max();
};

} // namespace

class TestPageFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void openEditSaveGivesExactBytes_data()
    {
        // Read as Windows-1252 or not; typed at the end before saving; saved null: the bytes and CR LF; shown
        // null: not checked.
        tw::test::columns<QByteArray, bool, QString, QByteArray, QString>("bytes", "legacy", "typed", "saved", "shown");
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
        // UTF-8 apart from a few stray bytes: read as UTF-8, the stray bytes written back as they were.
        const QByteArray stray("<p>Gr\xC3\xBC\xC3\x9F""e \xE2\x86\x92</p>\xFF");
        row("UTF-8 with a stray byte at its end", stray, false, QStringLiteral(u"ü"),
            "<p>Gr\xC3\xBC\xC3\x9F""e \xE2\x86\x92</p>\xFF\xC3\xBC\r\n");
        row("UTF-8 with a cut-off sequence inside", "\xC3\xA4 \xE2\x82 \xC3\xB6\r\n", false, {},
            "\xC3\xA4 \xE2\x82 \xC3\xB6\r\n\r\n");
        row("more stray bytes than UTF-8 is legacy", "caf\xE9 \xC3\xA9 na\xEFve \xE0", true, {}, {},
            QStringLiteral(u"café Ã© naïve à"));
    }
    void openEditSaveGivesExactBytes()
    {
        auto [bytes, legacy, typed, saved, shown] = tw::test::fetch<QByteArray, bool, QString, QByteArray, QString>(
            "bytes", "legacy", "typed", "saved", "shown");
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

    // Whatever the size of the pieces the file is read in, the text and the
    // encoding are those of the page read whole, and the size announced first
    // is the text's exact size.
    void readingInPiecesJudgesThePageWhole_data()
    {
        tw::test::columns<QByteArray, QByteArray, bool>("bytes", "text", "legacy");
        const auto row = [](const char *name, const QByteArray &bytes, const QByteArray &text, bool legacy) {
            QTest::newRow(name) << bytes << text << legacy;
        };
        row("ASCII", "<p>plain</p>\r\n", "<p>plain</p>\r\n", false);
        const QByteArray scripts("a\xC3\xA9z\xE2\x82\xAC\xF0\x9F\x98\x80\xE4\xB8\xAD!");
        row("two- to four-byte characters", scripts, scripts, false);
        row("one stray byte per character", "\xC3\xA9\xFF", "\xC3\xA9\xFF", false);
        row("more stray bytes than characters", "\xC3\xA9\xFF\xFF",
            "\xC3\x83\xC2\xA9\xC3\xBF\xC3\xBF", true);
        row("a cut-off character, then a whole one", "\xE2\x82\xC3\xB6",
            "\xC3\xA2\xE2\x80\x9A\xC3\x83\xC2\xB6", true);
        row("a cut-off character among whole ones", "\xC3\xA4 \xE2\x82 \xC3\xB6\xE2\x86\x92",
            "\xC3\xA4 \xE2\x82 \xC3\xB6\xE2\x86\x92", false);
        row("a cut-off character at the end", "x\xF0\x9F\x98", "x\xC3\xB0\xC5\xB8\xCB\x9C", true);
        row("Windows-1252", "caf\xE9 \x80\x81\x93q\x94", "caf\xC3\xA9 \xE2\x82\xAC\xC2\x81\xE2\x80\x9Cq\xE2\x80\x9D",
            true);
    }
    void readingInPiecesJudgesThePageWhole()
    {
        auto [bytes, text, legacy] = tw::test::fetch<QByteArray, QByteArray, bool>("bytes", "text", "legacy");
        QVERIFY(writeBytes(path("pieces.htm"), bytes));
        for (const qsizetype chunk : {1, 2, 3, 4, 5, 7}) {
            PageReader reader(path("pieces.htm"), chunk);
            CollectingSink sink;
            QVERIFY2(reader.open() && reader.read(sink), qPrintable(reader.error()));
            QCOMPARE(sink.text, text);
            QCOMPARE(sink.hint, text.size());
            QCOMPARE(reader.encoding(), legacy ? PageEncoding::Legacy : PageEncoding::Utf8);
        }
        const PageReadResult whole = readPage(path("pieces.htm"));
        QVERIFY(whole.ok);
        QCOMPARE(whole.utf8, text);
    }

    void readingFailsWhenTheSinkRunsOutOfMemory()
    {
        QVERIFY(writeBytes(path("big.htm"), QByteArray(100, 'x')));
        PageReader reader(path("big.htm"), 16);
        CollectingSink sink;
        sink.roomLeft = 40;
        QVERIFY(reader.open());
        QVERIFY(!reader.read(sink));
        QCOMPARE(reader.error(), QStringLiteral("Cannot open \"%1\": there is not enough memory to hold it.")
                                     .arg(path("big.htm")));
    }

    // The text may arrive in any pieces, and a load may start over; the first
    // line end sets the line-end mode even when split between two pieces.
    // Loading is not an edit: nothing to undo, nothing for the followers of
    // edits; listeners hear of the new text, and later edits undo back to it.
    void loadingInPieces_data()
    {
        tw::test::columns<QByteArrayList, int>("pieces", "eol");
        QTest::newRow("CR LF split") << QByteArrayList{"a\r", "\nb\n"} << int(QsciScintilla::EolWindows);
        QTest::newRow("CR then text") << QByteArrayList{"a\r", "b\r\n"} << int(QsciScintilla::EolMac);
        QTest::newRow("CR at the end") << QByteArrayList{"a", "\r"} << int(QsciScintilla::EolMac);
        QTest::newRow("LF before CR") << QByteArrayList{"a\n", "\r\n"} << int(QsciScintilla::EolUnix);
        QTest::newRow("no line end") << QByteArrayList{"a", "", "b"} << int(QsciScintilla::EolUnix);
    }
    void loadingInPieces()
    {
        auto [pieces, eol] = tw::test::fetch<QByteArrayList, int>("pieces", "eol");
        SourceEditor editor;
        editor.replaceSelectionExact(QStringLiteral("typed before"));
        editor.flushEdits();
        QSignalSpy edited(&editor, &SourceEditor::edited);
        QSignalSpy changed(&editor, &QsciScintilla::textChanged);
        editor.beginLoad(6);
        QVERIFY(editor.appendLoaded("dropped", 7));
        editor.beginLoad(pieces.join().size()); // starting over
        for (const QByteArray &piece : pieces)
            QVERIFY(editor.appendLoaded(piece.constData(), piece.size()));
        editor.endLoad();
        QVERIFY(!changed.isEmpty()); // at once, not on a later turn of the event loop
        QCOMPARE(editor.documentBytes(), pieces.join());
        QCOMPARE(int(editor.eolMode()), eol);
        QVERIFY(!editor.isUndoAvailable());
        QVERIFY(!editor.isModified());
        QCoreApplication::processEvents();
        QCOMPARE(edited.size(), 0);
        editor.replaceSelectionExact(QStringLiteral("x"));
        editor.undo();
        QCOMPARE(editor.documentBytes(), pieces.join());
    }

    // A save keeps the page's mode, its owner (only root can give a file
    // away) and the symbolic link it was reached through.
    void saveKeepsModeOwnerAndLink()
    {
        const bool root = geteuid() == 0; // root may write a page whatever its mode
        const QByteArray page = QFile::encodeName(path("mode.htm"));
        QVERIFY(QFile::link(path("mode.htm"), path("link.htm")));
        for (const mode_t mode : {0600, 0644, 0640, 0755, 0604, 0444, 0400}) {
            if (!root && !(mode & 0200))
                continue; // refused as read-only for everyone else
            QVERIFY(writeBytes(path("mode.htm"), "old"));
            QCOMPARE(chmod(page.constData(), mode), 0);
            QVERIFY(!root || chown(page.constData(), 65534, 65534) == 0);
            const PageWriteResult w = writePage(path("link.htm"), "new", 3, PageEncoding::Utf8);
            QVERIFY2(w.ok, qPrintable(w.error));
            QVERIFY(QFileInfo(path("link.htm")).isSymLink());
            struct stat st;
            QCOMPARE(stat(page.constData(), &st), 0);
            QCOMPARE(st.st_mode & 07777, mode);
            QVERIFY(!root || (st.st_uid == 65534 && st.st_gid == 65534));
            QCOMPARE(readBytes(path("mode.htm")), QByteArray("new\r\n"));
        }
    }

    void inPlaceWriteGivesExactBytes_data()
    {
        tw::test::columns<QByteArray, QByteArray, int, QByteArray>("old", "text", "encoding", "saved"); // text in UTF-8
        const QByteArray longer(70000, 'o');
        QTest::newRow("grows") << QByteArray("old") << QByteArray("new page") << int(PageEncoding::Utf8)
                               << QByteArray("new page\r\n");
        QTest::newRow("shrinks") << longer << QByteArray("short") << int(PageEncoding::Utf8)
                                 << QByteArray("short\r\n");
        QTest::newRow("same size") << QByteArray("12345\r\n") << QByteArray("abcde") << int(PageEncoding::Utf8)
                                   << QByteArray("abcde\r\n");
        QTest::newRow("Windows-1252") << longer << QByteArray("\xC3\xA9\xE2\x82\xAC") << int(PageEncoding::Legacy)
                                      << QByteArray("\xE9\x80\r\n");
        QTest::newRow("references") << QByteArray("o") << QByteArray("\xC3\xA9\xE2\x86\x92\xF0\x9F\x98\x80")
                                    << int(PageEncoding::LegacyReferences)
                                    << QByteArray("\xE9&#8594;&#128512;\r\n");
    }
    void inPlaceWriteGivesExactBytes()
    {
        auto [old, text, encoding, saved] = tw::test::fetch<QByteArray, QByteArray, int, QByteArray>(
            "old", "text", "encoding", "saved");
        QVERIFY(writeBytes(path("inplace.htm"), old));
        const PageWriteResult w =
            writePageInPlace(path("inplace.htm"), text.constData(), text.size(), PageEncoding(encoding));
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(readBytes(path("inplace.htm")), saved);
    }

    void charactersWindows1252LacksAreChosenForOnce_data()
    {
        // The answer to the question (-1 cancels), the document's encoding afterwards, saved (null: nothing written).
        tw::test::columns<int, int, QByteArray>("pick", "encoding", "saved");
        QTest::newRow("references") << 0 << int(PageEncoding::LegacyReferences)
                                    << QByteArray("<p>\xE9 &#8594; &#20013;</p>\r\n");
        QTest::newRow("convert to UTF-8") << 1 << int(PageEncoding::Utf8)
                                          << QByteArray("<p>\xC3\xA9 \xE2\x86\x92 \xE4\xB8\xAD</p>\r\n");
        QTest::newRow("cancel") << -1 << int(PageEncoding::Legacy) << QByteArray();
    }
    void charactersWindows1252LacksAreChosenForOnce()
    {
        auto [pick, encoding, saved] = tw::test::fetch<int, int, QByteArray>("pick", "encoding", "saved");
        QVERIFY(writeBytes(path("w1252.htm"), "<p>\xE9</p>"));
        SourceEditor editor;
        PageEncoding current = openInto(editor, path("w1252.htm"));
        QCOMPARE(current, PageEncoding::Legacy);
        // Text that fits asks nothing.
        test::ScriptedDialogs none;
        QVERIFY(settleEncoding(none, path("w1252.htm"), current, editor.documentData(), editor.documentLength()));
        QCOMPARE(current, PageEncoding::Legacy);

        editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 5UL);
        editor.replaceSelectionExact(QStringLiteral(u" → 中"));
        test::ScriptedDialogs dialogs;
        dialogs.pick(pick);
        const bool go = settleEncoding(dialogs, path("w1252.htm"), current, editor.documentData(),
                                       editor.documentLength());
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown.at(0),
                 (test::Shown{"choose", "Save",
                              QStringLiteral("%1 is saved as Windows-1252, which cannot hold some of the characters "
                                             "in it (the first is \"→\", U+2192).\n\nWrite those characters as HTML "
                                             "character references such as &#8594;, or convert the whole page to "
                                             "UTF-8?")
                                  .arg(path("w1252.htm")),
                              "Write character references|Convert the page to UTF-8"}));
        QCOMPARE(go, !saved.isNull());
        QCOMPARE(current, PageEncoding(encoding));
        if (!go) {
            // Never written as the old encoding would have done silently.
            const PageWriteResult refused =
                writePage(path("w1252.htm"), editor.documentData(), editor.documentLength(), current);
            QVERIFY(!refused.ok && refused.error.endsWith("it holds characters that Windows-1252 cannot store."));
            QCOMPARE(readBytes(path("w1252.htm")), QByteArray("<p>\xE9</p>"));
            return;
        }
        const PageWriteResult w = writePage(path("w1252.htm"), editor.documentData(), editor.documentLength(), current);
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(readBytes(path("w1252.htm")), saved);
        // The choice holds: the next save asks nothing.
        QVERIFY(settleEncoding(none, path("w1252.htm"), current, editor.documentData(), editor.documentLength()));
        QCOMPARE(none.shown.size(), 0);
    }
};

QTEST_MAIN(TestPageFile)
#include "tst_pagefile.moc"
