#include "DataRows.h"
#include "TestHost.h"
#include "platform/NoticeBar.h"
#include "editor/SourceEditor.h"

#include <QtTest>

using namespace tw;
using tw::test::readBytes;
using tw::test::writeBytes;

namespace {

QStringList journalsIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.twj")}, QDir::Files, QDir::Name);
}

} // namespace

class DocumentJournalTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString folder() const { return m_dir.filePath(QStringLiteral("recovery")); }

private slots:
    void cleanup() { QDir(folder()).removeRecursively(); }

    void aJournalLivesWhileTheTextIsUnsaved()
    {
        frmDocument document;
        document.setCaption(QStringLiteral("Document 1"));
        document.textEdit->loadBytes("start");
        auto *journal = new DocumentJournal(&document, folder());
        QVERIFY(!journal->isActive()); // nothing unsaved, nothing kept
        document.textEdit->replaceSelectedBytes("typed ");
        QVERIFY(journal->isActive());
        journal->flushNow();
        QCOMPARE(test::journalText(journal->path()), QByteArray("typed start"));
        // Saved: the text counts as unchanged and the journal goes.
        document.textEdit->setModified(false);
        QVERIFY(!journal->isActive());
        QVERIFY(journalsIn(folder()).isEmpty());
        // The next change starts a new one from the saved text; closing the window removes it.
        document.textEdit->replaceSelectedBytes("more ");
        QCOMPARE(journalsIn(folder()).size(), 1);
        delete journal;
        QVERIFY(journalsIn(folder()).isEmpty());
    }

    void restoreOffersEveryJournalInOneQuestion()
    {
        const QString page = m_dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(page, "<p>page</p>\r\n"));
        // Two documents left unsaved by a process that died.
        {
            test::TestHost before(folder());
            frmDocument *untitled = before.createDocument(QStringLiteral("Document 2"));
            untitled->textEdit->replaceSelectedBytes("new \xC3\xA9");
            frmDocument *titled = before.createDocument(page);
            titled->textEdit->loadBytes("<p>page</p>\r\n");
            titled->textEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            titled->textEdit->replaceSelectedBytes("end");
            for (frmDocument *d : before.documents()) {
                auto *journal = d->findChild<DocumentJournal *>();
                journal->keep(); // what an end request does; SIGKILL leaves the same files
            }
        }
        QCOMPARE(journalsIn(folder()).size(), 2);
        QVERIFY(writeBytes(QDir(folder()).filePath(QStringLiteral("0-damaged.twj")), "TWJ1 cut"));
        QVERIFY(QDir(folder()).mkpath(QStringLiteral("set aside")));
        QVERIFY(writeBytes(QDir(folder()).filePath(QStringLiteral("set aside/0-damaged.twj")), "set aside before"));

        test::TestHost after(folder());
        auto &dialogs = after.scripted.acknowledge().yes();
        const QList<frmDocument *> restored = offerRecovery(after, folder());
        QCOMPARE(dialogs.remaining(), 0);
        QCOMPARE(dialogs.shown.at(0).text,
                 QStringLiteral("The recovery file \"%1\" was not used: it is damaged or cut short.\n\n"
                                "Recovery files that cannot be used are kept in \"%2\" and not offered again.")
                     .arg(QDir(folder()).filePath(QStringLiteral("0-damaged.twj")),
                          QDir(folder()).filePath(QStringLiteral("set aside"))));
        QCOMPARE(dialogs.shown.at(1).title, QStringLiteral("Restore"));
        QVERIFY(dialogs.shown.at(1).text.contains(QStringLiteral("Document 2\n")));
        QVERIFY(dialogs.shown.at(1).text.contains(page + QStringLiteral("\n")));
        QCOMPARE(restored.size(), 2);
        QMap<QString, QByteArray> texts;
        for (frmDocument *d : restored) {
            QVERIFY2(d->textEdit->isModified(), qPrintable(d->caption() + " " + d->textEdit->documentBytes()));
            texts[d->caption()] = d->textEdit->documentBytes();
        }
        QCOMPARE(texts.value(QStringLiteral("Document 2")), QByteArray("new \xC3\xA9"));
        QCOMPARE(texts.value(page), QByteArray("<p>page</p>\r\nend"));
        // The damaged journal is set aside, beside the one of its name set aside
        // before; the restored documents journal themselves anew.
        QCOMPARE(readBytes(QDir(folder()).filePath(QStringLiteral("set aside/2-0-damaged.twj"))), QByteArray("TWJ1 cut"));
        QCOMPARE(readBytes(QDir(folder()).filePath(QStringLiteral("set aside/0-damaged.twj"))),
                 QByteArray("set aside before"));
        QCOMPARE(journalsIn(folder()).size(), 2);
        for (frmDocument *d : restored) {
            auto *journal = d->findChild<DocumentJournal *>();
            QVERIFY(journal->isActive());
            journal->flushNow();
            QCOMPARE(test::journalText(journal->path()), d->textEdit->documentBytes());
        }
        // The next start says nothing of the journal set aside (the others are in use).
        test::TestHost again(folder());
        auto &next = again.scripted;
        QVERIFY(offerRecovery(again, folder()).isEmpty());
        QVERIFY(next.shown.isEmpty());
    }

    // A page saved during the session, in Windows-1252 with a character
    // written as a reference, then edited: it comes back with its text and
    // encoding, the page on disk holds what the edits were made to, and the
    // restored window's own journal keeps the encoding for a second crash.
    void aPageSavedThisSessionComesBackInItsEncoding()
    {
        const QString page = m_dir.filePath(QStringLiteral("legacy.htm"));
        QVERIFY(writeBytes(page, "caf\xE9"));
        {
            test::TestHost before(folder());
            before.scripted.pick(0); // write the arrow as a character reference
            int count = 0;
            frmDocument *document = openPage(before, page, count);
            QVERIFY(document);
            QCOMPARE(document->encoding, PageEncoding::Legacy);
            document->textEdit->replaceSelectedBytes("\xE2\x86\x92");
            QVERIFY(saveDocument(before, document));
            QCOMPARE(readBytes(page), QByteArray("&#8594;caf\xE9\r\n"));
            document->textEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            document->textEdit->replaceSelectedBytes("!");
            document->findChild<DocumentJournal *>()->keep();
        }
        for (int round = 0; round < 2; ++round) {
            test::TestHost after(folder());
            auto &dialogs = after.scripted.yes();
            const QList<frmDocument *> restored = offerRecovery(after, folder());
            QCOMPARE(restored.size(), 1);
            QCOMPARE(dialogs.shown.size(), 1); // no word of a page that differs
            QCOMPARE(restored[0]->caption(), page);
            QCOMPARE(restored[0]->textEdit->documentBytes(), QByteArray("\xE2\x86\x92""caf\xC3\xA9!"));
            QCOMPARE(restored[0]->encoding, PageEncoding::LegacyReferences);
            restored[0]->findChild<DocumentJournal *>()->keep(); // ends again before a save
        }
    }

    // The page was changed or deleted before the restart, or the journal's
    // last record is cut short: the text still comes back, marked changed,
    // and a message says so.
    void whatDiffersFromThePageIsSaid_data()
    {
        QTest::addColumn<int>("happening"); // 0 page changed, 1 page deleted, 2 journal cut short
        tw::test::columns<QByteArray, QString>("text", "note");
        const QString differs = QStringLiteral(": the page on disk differs from the text these changes were made to "
                                               "(it was changed or deleted since). Saving the window writes the "
                                               "restored text over it.");
        QTest::newRow("page changed") << 0 << QByteArray("<p>page</p>end!") << differs;
        QTest::newRow("page deleted") << 1 << QByteArray("<p>page</p>end!") << differs;
        QTest::newRow("journal cut short")
            << 2 << QByteArray("<p>page</p>end")
            << QStringLiteral(": the last changes could not be read back; the window holds the text as it was "
                              "before them.");
    }
    void whatDiffersFromThePageIsSaid()
    {
        auto [happening, text, note] = tw::test::fetch<int, QByteArray, QString>("happening", "text", "note");
        const QString page = m_dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(page, "<p>page</p>"));
        QString journalPath;
        {
            test::TestHost before(folder());
            int count = 0;
            frmDocument *document = openPage(before, page, count);
            document->textEdit->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            auto *journal = document->findChild<DocumentJournal *>();
            document->textEdit->replaceSelectedBytes("end");
            journal->flushNow();
            document->textEdit->replaceSelectedBytes("!");
            journal->keep();
            journalPath = journal->path();
        }
        if (happening == 0)
            QVERIFY(writeBytes(page, "<p>theirs</p>"));
        else if (happening == 1)
            QVERIFY(QFile::remove(page));
        else
            QVERIFY(writeBytes(journalPath, readBytes(journalPath).chopped(2)));
        test::TestHost after(folder());
        auto &dialogs = after.scripted.yes().acknowledge();
        const QList<frmDocument *> restored = offerRecovery(after, folder());
        QCOMPARE(dialogs.remaining(), 0);
        QCOMPARE(restored.size(), 1);
        QCOMPARE(restored[0]->textEdit->documentBytes(), text);
        QVERIFY(restored[0]->textEdit->isModified());
        QCOMPARE(dialogs.shown.at(1).title, QStringLiteral("Restore"));
        QCOMPARE(dialogs.shown.at(1).text, page + note);
        QFile::remove(page);
    }

    // Typing on while the journal folder cannot take a file: said once in the
    // window's notice bar with the reason, and the next pause after the
    // folder is usable again keeps the whole text.
    void anUnusableJournalFolderIsToldOnce()
    {
        const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
        QVERIFY(writeBytes(blocked, "a file where the folder should be"));
        frmDocument document;
        document.setCaption(QStringLiteral("Document 1"));
        auto *journal = new DocumentJournal(&document, blocked);
        for (const char *key : {"a", "b", "c"}) {
            document.textEdit->replaceSelectedBytes(key);
            journal->flushNow();
            QCoreApplication::processEvents();
        }
        QVERIFY(!journal->isActive());
        const auto told = [&](const char *reason) {
            return QStringLiteral("Tagwright cannot keep a recovery copy of unsaved changes in \"%1\": %2 Until it "
                                  "can, changes you have not saved are lost if Tagwright ends unexpectedly: save "
                                  "your pages to keep them.")
                .arg(blocked, QLatin1String(reason));
        };
        QCOMPARE(document.notices->texts(), QStringList{told("a part of its path is not a folder.")});

        QVERIFY(QFile::remove(blocked));
        document.textEdit->replaceSelectedBytes("d");
        QTRY_VERIFY_WITH_TIMEOUT(journal->isActive(), 30000); // at the next pause
        QCOMPARE(test::journalText(journal->path()), QByteArray("abcd"));

        // The folder fills up: told once more, and the edits wait for room.
        const QByteArray big(8192, 'x');
        document.textEdit->replaceSelectedBytes(big);
        {
            const tw::test::FileSizeLimit small(rlim_t(QFileInfo(journal->path()).size() + 1024));
            journal->flushNow();
            journal->flushNow();
        }
        QCoreApplication::processEvents();
        QCOMPARE(document.notices->texts(),
                 (QStringList{told("a part of its path is not a folder."),
                              told("the file would be too large for the size limit in force.")}));
        QCOMPARE(test::journalText(journal->path()), QByteArray("abcd"));
        journal->flushNow();
        QCOMPARE(test::journalText(journal->path()), "abcd" + big);
        delete journal;
    }

    void decliningRemovesTheJournals()
    {
        {
            test::TestHost before(folder());
            before.createDocument(QStringLiteral("Document 5"))->textEdit->replaceSelectedBytes("x");
            before.documents().at(0)->findChild<DocumentJournal *>()->keep();
        }
        test::TestHost after(folder());
        after.scripted.no();
        QVERIFY(offerRecovery(after, folder()).isEmpty());
        QVERIFY(journalsIn(folder()).isEmpty());
        QVERIFY(after.documents().isEmpty());
    }

};

QTEST_MAIN(DocumentJournalTest)
#include "tst_document_journal.moc"
