#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "documents/DocumentFiles.h"
#include "documents/DocumentJournal.h"
#include "documents/SourceEditor.h"
#include "documents/frmDocument.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tw;
using tw::test::readBytes;
using tw::test::ScriptedDialogs;
using tw::test::writeBytes;

namespace {

// Windows as the frame makes them, each with its journal.
class Host final : public DocumentHost {
public:
    Host(ScriptedDialogs &dialogs, const QString &folder) : m_dialogs(dialogs), m_folder(folder) {}
    ~Host() override { qDeleteAll(m_documents); }
    Dialogs &dialogs() override { return m_dialogs; }
    frmDocument *createDocument(const QString &caption) override
    {
        auto *document = new frmDocument;
        document->setCaption(caption);
        new DocumentJournal(document, m_folder);
        m_documents << document;
        return document;
    }
    QWidget *activeChild() const override { return m_documents.isEmpty() ? nullptr : m_documents.last(); }
    QList<frmDocument *> documents() const override { return m_documents; }

private:
    ScriptedDialogs &m_dialogs;
    QString m_folder;
    QList<frmDocument *> m_documents;
};

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
        QCOMPARE(restoreJournalAfterCrash(journal->path()), QByteArray("typed start"));
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
            ScriptedDialogs none;
            Host before(none, folder());
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

        ScriptedDialogs dialogs;
        dialogs.acknowledge().yes();
        Host after(dialogs, folder());
        const QList<frmDocument *> restored = offerRecovery(after, folder());
        QCOMPARE(dialogs.remaining(), 0);
        QCOMPARE(dialogs.shown.at(0).text,
                 QStringLiteral("The recovery file \"%1\" was not used: it is damaged or cut short.")
                     .arg(QDir(folder()).filePath(QStringLiteral("0-damaged.twj"))));
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
        // The damaged journal is kept; the restored documents journal themselves anew.
        const QStringList left = journalsIn(folder());
        QVERIFY(left.contains(QStringLiteral("0-damaged.twj")));
        QCOMPARE(left.size(), 3);
        for (frmDocument *d : restored) {
            auto *journal = d->findChild<DocumentJournal *>();
            QVERIFY(journal->isActive());
            journal->flushNow();
            QCOMPARE(restoreJournalAfterCrash(journal->path()), d->textEdit->documentBytes());
        }
    }

    void decliningRemovesTheJournals()
    {
        {
            ScriptedDialogs none;
            Host before(none, folder());
            before.createDocument(QStringLiteral("Document 5"))->textEdit->replaceSelectedBytes("x");
            before.documents().at(0)->findChild<DocumentJournal *>()->keep();
        }
        ScriptedDialogs dialogs;
        dialogs.no();
        Host after(dialogs, folder());
        QVERIFY(offerRecovery(after, folder()).isEmpty());
        QVERIFY(journalsIn(folder()).isEmpty());
        QVERIFY(after.documents().isEmpty());
    }

private:
    // The journal as the next start would read it: with its writer gone.
    static QByteArray restoreJournalAfterCrash(const QString &path)
    {
        const QByteArray bytes = readBytes(path);
        const QString copy = path + QStringLiteral(".copy");
        writeBytes(copy, bytes);
        const JournalRestore back = restoreJournal(copy);
        QFile::remove(copy);
        return back.ok ? back.text : back.error.toUtf8();
    }
};

QTEST_MAIN(DocumentJournalTest)
#include "tst_document_journal.moc"
