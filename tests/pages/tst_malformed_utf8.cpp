// Byte sequences that look like UTF-8 but are not (surrogates, overlong forms,
// code points beyond U+10FFFF) count as stray bytes when a page is judged:
// alone they make the page Windows-1252; among at least as many well-formed
// characters the page stays UTF-8 with the bytes kept. Either way the page is
// written back byte for byte, whatever the pieces it was read in.
#include "DataRows.h"
#include "TestFiles.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"

#include <QtTest>

using namespace tw;
using tw::test::readBytes;
using tw::test::writeBytes;

class MalformedUtf8Test : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void judgedAndKeptByteForByte_data()
    {
        tw::test::columns<QByteArray, bool>("bytes", "legacy");
        QTest::addColumn<QString>("shown"); // the editor's text when legacy

        struct Kind {
            const char *name;
            QByteArray bytes;
            QString legacy; // the bytes' Windows-1252 meaning
            int stray; // bytes that begin no well-formed character
        };
        const Kind kinds[] = {
            {"surrogate U+D800", "\xED\xA0\x80", QStringLiteral(u"í\u00A0€"), 3},
            {"overlong '/' in two bytes", "\xC0\xAF", QStringLiteral(u"À¯"), 2},
            {"overlong '/' in three bytes", "\xE0\x80\xAF", QStringLiteral(u"à€¯"), 3},
            {"beyond U+10FFFF", "\xF4\x90\x80\x80", QStringLiteral(u"ô\u0090€€"), 4},
        };
        const QByteArray e = "\xC3\xA9"; // é, one well-formed character
        for (const Kind &k : kinds) {
            QTest::addRow("%s alone", k.name)
                << "<p>" + k.bytes + "</p>" << true << QStringLiteral("<p>") + k.legacy + QStringLiteral("</p>");
            QTest::addRow("%s among as many characters", k.name) << e.repeated(k.stray) + k.bytes << false << QString();
            QString fewer;
            for (int i = 1; i < k.stray; ++i)
                fewer += QStringLiteral(u"Ã©");
            QTest::addRow("%s among fewer characters", k.name)
                << e.repeated(k.stray - 1) + k.bytes << true << fewer + k.legacy;
        }
    }
    void judgedAndKeptByteForByte()
    {
        auto [bytes, legacy, shown] = tw::test::fetch<QByteArray, bool, QString>("bytes", "legacy", "shown");
        const QString page = m_dir.filePath(QStringLiteral("page.htm"));
        // Pieces of one and three bytes cut the sequences at every place.
        for (const qsizetype piece : {qsizetype(1), qsizetype(3), PageReader::kChunkSize}) {
            QVERIFY(writeBytes(page, bytes));
            PageReader reader(page, piece);
            SourceEditor editor;
            QVERIFY2(reader.open() && editor.loadPage(reader), qPrintable(reader.error()));
            QCOMPARE(reader.encoding(), legacy ? PageEncoding::Legacy : PageEncoding::Utf8);
            if (legacy)
                QCOMPARE(editor.textExact(), shown);
            const PageWriteResult saved =
                writePage(page, editor.documentData(), editor.documentLength(), reader.encoding());
            QVERIFY2(saved.ok, qPrintable(saved.error));
            QCOMPARE(readBytes(page), bytes + "\r\n");
        }
    }
};

QTEST_MAIN(MalformedUtf8Test)
#include "tst_malformed_utf8.moc"
