// A page, a reload or a restore that needs more memory than is left: the
// load ends in the message, the new window goes, the windows already open
// keep their text and a journal stays to be offered again. Real shortages run
// in a child process whose address space is limited; the editor's steps fail
// on purpose in this process.
#include "DataRows.h"
#include "LowMemory.h"
#include "TestHost.h"
#include "documents/PageEvents.h"
#include "documents/PageWatcher.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <new>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::noMemory;
using tw::test::writeBytes;

namespace {

const char kChildFlag[] = "--open-with-little-memory";
const char kReloadFlag[] = "--reload-with-little-memory";
const char kRestoreFlag[] = "--restore-with-little-memory";

// What a child prints of the frame's windows.
void printWindows(QTextStream &out, const frmMain &frame)
{
    for (frmDocument *document : frame.documents())
        out << "window|" << document->caption() << '|' << document->textEdit->textExact() << '|'
            << (document->textEdit->isModified() ? "changed" : "unchanged") << '\n';
}

// The child: a frame with one window holding typed text opens the page with
// only `headroom` MB of address space to spare, then tells what it shows.
int openWithLittleMemory(const QString &page, rlim_t headroom)
{
    ScriptedDialogs dialogs;
    dialogs.acknowledge();
    frmMain frame(dialogs);
    frame.MDIForm_Load();
    frame.show();
    frame.documents().first()->textEdit->replaceSelectionExact(QStringLiteral("typed before"));

    SourceEditor editor;
    PageReader reader(page);
    bool loaded = false;
    {
        test::LittleMemory little(headroom);
        frame.openFiles({page});
        // An editor whose load failed takes the next one.
        loaded = reader.open() && editor.loadPage(reader);
    }
    editor.loadBytes("next page");

    QTextStream out(stdout);
    for (const auto &shown : dialogs.shown)
        out << shown.kind << '|' << shown.title << '|' << shown.text << '\n';
    printWindows(out, frame);
    out << "editor|" << loaded << '|' << reader.error() << '|' << editor.textExact().left(40) << '\n';
    return 0;
}

// The child: a frame holds the page with typed changes; the page grows on
// disk to `size` MB and is reloaded with only `headroom` MB of address space
// to spare: enough to read it, not to put it in the window as well.
int reloadWithLittleMemory(const QString &page, rlim_t headroom)
{
    ScriptedDialogs dialogs;
    frmMain frame(dialogs);
    frame.MDIForm_Load();
    frame.show();
    frame.openFiles({page});
    SourceEditor *editor = frame.documents().last()->textEdit;
    editor->replaceSelectionExact(QStringLiteral("typed "));
    PageWatcher watcher(frame);
    emit PageEvents::instance().pageRead(frame.documents().last(), page);
    QFile grown(page);
    if (!grown.open(QIODevice::ReadWrite) || !grown.resize(qint64(headroom) * 3 / 4))
        return 2;
    grown.close();

    dialogs.yes().acknowledge();
    {
        test::LittleMemory little(headroom);
        watcher.check(page);
    }

    QTextStream out(stdout);
    for (const auto &shown : dialogs.shown)
        out << shown.kind << '|' << shown.title << '|' << shown.text.left(20) << '\n';
    printWindows(out, frame);
    return 0;
}

// Throws as an allocation inside the editor control does, at the `nth` change
// the editor is about to make from now on.
void failAtChange(SourceEditor *editor, int nth)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(editor, &SourceEditor::aboutToChange, editor, [count, nth] {
        if (++*count == nth)
            throw std::bad_alloc();
    });
}

// Windows, shown, with their journals when given a folder; a window closed
// is no longer listed. The window captioned `failing` runs out of memory at
// one step: reserving room for its text, its first change, or settling the
// loaded text.
class FailingHost final : public DocumentHost {
public:
    enum Step { Reserve, FirstChange, Settle };
    explicit FailingHost(const QString &folder = {}, const QString &failing = {}, Step step = Reserve)
        : m_folder(folder), m_failing(failing), m_step(step)
    {
    }
    ~FailingHost() override
    {
        for (const QPointer<frmDocument> &document : m_documents)
            delete document.data();
    }
    Dialogs &dialogs() override { return scripted; }
    frmDocument *createDocument(const QString &caption) override
    {
        auto *document = new frmDocument;
        document->setCaption(caption);
        if (!m_folder.isEmpty())
            new DocumentJournal(document, m_folder);
        document->show();
        SourceEditor *editor = document->textEdit;
        if (caption != m_failing) {
        } else if (m_step == Reserve) {
            editor->beforeLoad = [](qsizetype) { throw std::bad_alloc(); };
        } else if (m_step == FirstChange) {
            failAtChange(editor, 1);
        } else {
            auto thrown = std::make_shared<bool>(false);
            QObject::connect(editor, &QsciScintilla::textChanged, editor, [thrown] {
                if (!std::exchange(*thrown, true))
                    throw std::bad_alloc();
            });
        }
        m_documents << document;
        return document;
    }
    QWidget *activeChild() const override { return m_documents.isEmpty() ? nullptr : m_documents.last(); }
    QList<frmDocument *> documents() const override
    {
        QList<frmDocument *> open;
        for (frmDocument *document : m_documents)
            if (document && document->isVisible())
                open << document;
        return open;
    }

    ScriptedDialogs scripted;

private:
    QString m_folder, m_failing;
    Step m_step;
    QList<QPointer<frmDocument>> m_documents;
};

// The child: the journals in the folder are offered with only `headroom` MB
// of address space to spare.
int restoreWithLittleMemory(const QString &folder, rlim_t headroom)
{
    FailingHost host(folder);
    host.scripted.acknowledge();
    QList<frmDocument *> restored;
    {
        test::LittleMemory little(headroom);
        restored = offerRecovery(host, folder);
    }
    QTextStream out(stdout);
    for (const auto &shown : host.scripted.shown)
        out << shown.kind << '|' << shown.title << '|' << shown.text << '\n';
    out << "restored|" << restored.size() << '\n';
    for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        out << "file|" << name << '\n';
    return 0;
}

} // namespace

class LowMemoryTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:

    // Where the memory runs out depends on the page: a file that says how
    // large it is gets its room reserved at once; one that says nothing (as
    // under /proc) grows piece by piece in the editor until an append fails.
    void realShortageClosesOnlyTheNewWindow_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("/proc/self/pagemap, no size, endless") << QStringLiteral("/proc/self/pagemap");
        const QString sparse = m_dir.filePath(QStringLiteral("sparse.htm"));
        QFile file(sparse);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 30));
        QTest::newRow("1 GB sparse page, reserved at once") << sparse;
    }
    void realShortageClosesOnlyTheNewWindow()
    {
#ifdef TW_ADDRESS_SANITIZER
        QSKIP("AddressSanitizer reserves more address space than the limit allows");
#endif
        QFETCH(QString, page);
        const auto lines = test::childLines(kChildFlag, {page, "256"});
        QVERIFY(lines);
        QCOMPARE(*lines, (QStringList{"message|Open|" + noMemory(page), "window|Document 1|typed before|changed",
                                     "editor|0|" + noMemory(page) + "|next page"}));
    }

    void failingStepEndsInTheMessage_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("reserving the room") << int(FailingHost::Reserve);
        QTest::newRow("settling the loaded text") << int(FailingHost::Settle);
    }
    void failingStepEndsInTheMessage()
    {
        QFETCH(int, step);
        const QString page = m_dir.filePath(QStringLiteral("page.htm"));
        QVERIFY(writeBytes(page, "<p>page</p>\r\n"));
        FailingHost host({}, QStringLiteral("Document 1"), FailingHost::Step(step)); // the new window
        frmDocument *first = host.createDocument(QStringLiteral("open before"));
        first->textEdit->replaceSelectionExact(QStringLiteral("typed before"));
        host.scripted.acknowledge();
        int openCount = 0;
        QVERIFY(!openPage(host, page, openCount));
        QCOMPARE(host.scripted.shown.size(), 1);
        QCOMPARE(host.scripted.shown.first().title, QStringLiteral("Open"));
        QCOMPARE(host.scripted.shown.first().text, noMemory(page));
        QCOMPARE(host.documents(), QList<frmDocument *>{first});
        QCOMPARE(first->textEdit->textExact(), QStringLiteral("typed before"));
        QCOMPARE(openCount, 0);
    }

    // A page changed on disk is reloaded into its window; the new text does
    // not fit. The window keeps the text it had, with its changed mark, its
    // journal follows it, and it takes further edits.
    void reloadWithoutMemoryKeepsTheText_data()
    {
        tw::test::columns<int, bool>("failingChange", "unsaved");
        QTest::newRow("before the old text goes, unsaved changes") << 1 << true;
        QTest::newRow("after the old text went, unsaved changes") << 2 << true;
        QTest::newRow("after the old text went, nothing unsaved") << 2 << false;
    }
    void reloadWithoutMemoryKeepsTheText()
    {
        auto [failingChange, unsaved] = tw::test::fetch<int, bool>("failingChange", "unsaved");
        const QString folder = m_dir.filePath(QStringLiteral("recovery-reload"));
        QDir(folder).removeRecursively();
        const QString page = m_dir.filePath(QStringLiteral("reloaded.htm"));
        QVERIFY(writeBytes(page, "<p>old</p>\r\n"));
        FailingHost host(folder);
        frmDocument *document = host.createDocument(page);
        SourceEditor *editor = document->textEdit;
        editor->loadBytes("<p>old</p>\r\n");
        if (unsaved)
            editor->replaceSelectedBytes("typed ");
        const QByteArray before = editor->documentBytes();
        PageWatcher watcher(host);
        emit PageEvents::instance().pageRead(document, page);
        QVERIFY(writeBytes(page, "<p>changed on disk</p>\r\n"));
        failAtChange(editor, failingChange);
        host.scripted.yes().acknowledge();
        watcher.check(page);

        QCOMPARE(host.scripted.remaining(), 0);
        QCOMPARE(host.scripted.shown.last().title, QStringLiteral("Tagwright"));
        QCOMPARE(host.scripted.shown.last().text, noMemory(page));
        QCOMPARE(editor->documentBytes(), before);
        QCOMPARE(editor->isModified(), unsaved);
        editor->SendScintilla(QsciScintilla::SCI_DOCUMENTSTART);
        editor->replaceSelectedBytes("<b>");
        QCOMPARE(editor->documentBytes(), "<b>" + before);
        auto *journal = document->findChild<DocumentJournal *>();
        journal->flushNow();
        QCOMPARE(test::journalText(journal->path()), "<b>" + before);
    }

    void realShortageOnReloadKeepsTheText()
    {
#ifdef TW_ADDRESS_SANITIZER
        QSKIP("AddressSanitizer reserves more address space than the limit allows");
#endif
        const QString page = m_dir.filePath(QStringLiteral("growing.htm"));
        QVERIFY(writeBytes(page, "<p>old</p>\r\n"));
        const auto lines = test::childLines(kReloadFlag, {page, "256"});
        QVERIFY(lines);
        QCOMPARE(*lines, (QStringList{"yesno|Tagwright|" + page.left(20), "message|Tagwright|" + noMemory(page).left(20),
                                     "window|Document 1||unchanged", "window|" + page + "|typed <p>old</p>\r",
                                     "|changed"}));
    }

    // A journal too large to read back with the memory left stays where it
    // is, to be offered again, and the start goes on.
    void realShortageOnRestoreKeepsTheJournal()
    {
#ifdef TW_ADDRESS_SANITIZER
        QSKIP("AddressSanitizer reserves more address space than the limit allows");
#endif
        const QString folder = m_dir.filePath(QStringLiteral("recovery-large"));
        QVERIFY(QDir().mkpath(folder));
        const QString journalPath = QDir(folder).filePath(QStringLiteral("1-large.twj"));
        {
            JournalWriter writer;
            const QByteArray start(192 << 20, 'x');
            QVERIFY(writer.open(journalPath, QStringLiteral("Document 7"), QString(), PageEncoding::Utf8, start));
            writer.record(0, 0, "typed", 5);
            QVERIFY(writer.flush());
            writer.close();
        }
        const auto lines = test::childLines(kRestoreFlag, {folder, "256"});
        QVERIFY(lines);
        QCOMPARE(*lines, (QStringList{QStringLiteral("message|Restore|Cannot restore \"%1\": there is not enough memory "
                                                    "to hold it. Its recovery file is kept and offered again at the "
                                                    "next start.")
                                         .arg(journalPath),
                                     "restored|0", "file|1-large.twj"}));
        QDir(folder).removeRecursively();
    }

    // Restoring after a crash: one window has no memory for its text. It
    // goes, its journal stays for the next start, and the other comes back.
    void restoreWithoutMemoryKeepsTheJournal_data()
    {
        QTest::addColumn<bool>("failLoad");
        QTest::newRow("loading the text the edits were made to") << true;
        QTest::newRow("putting the restored text in") << false;
    }
    void restoreWithoutMemoryKeepsTheJournal()
    {
        QFETCH(bool, failLoad);
        const QString folder = m_dir.filePath(QStringLiteral("recovery-restore"));
        QDir(folder).removeRecursively();
        QString kept, other;
        {
            FailingHost before(folder);
            for (const char *caption : {"Document 2", "Document 3"}) {
                frmDocument *document = before.createDocument(QString::fromLatin1(caption));
                document->textEdit->replaceSelectedBytes(QByteArray("typed in ") + caption);
                auto *journal = document->findChild<DocumentJournal *>();
                journal->keep();
                (document->caption() == QStringLiteral("Document 3") ? kept : other) = journal->path();
            }
        }
        FailingHost after(folder, QStringLiteral("Document 3"), failLoad ? FailingHost::Reserve : FailingHost::FirstChange);
        after.scripted.yes().acknowledge();
        const QList<frmDocument *> restored = offerRecovery(after, folder);

        QCOMPARE(after.scripted.remaining(), 0);
        QCOMPARE(after.scripted.shown.last().title, QStringLiteral("Restore"));
        QCOMPARE(after.scripted.shown.last().text,
                 QStringLiteral("Cannot restore \"Document 3\": there is not enough memory to hold it. Its recovery "
                                "file is kept and offered again at the next start."));
        QCOMPARE(restored.size(), 1);
        QCOMPARE(after.documents(), restored);
        QCOMPARE(restored.first()->caption(), QStringLiteral("Document 2"));
        QCOMPARE(restored.first()->textEdit->documentBytes(), QByteArray("typed in Document 2"));
        QVERIFY(!QFile::exists(other));
        QCOMPARE(test::journalText(kept), QByteArray("typed in Document 3"));
        // Beside it only the restored window's own journal: the failed window left none.
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.twj")}, QDir::Files).size(), 2);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc == 4) {
        const QString path = QString::fromLocal8Bit(argv[2]);
        const rlim_t headroom = test::headroomArgument(argv[3]);
        for (const auto &[flag, child] : {std::pair{kChildFlag, &openWithLittleMemory},
                                          {kReloadFlag, &reloadWithLittleMemory},
                                          {kRestoreFlag, &restoreWithLittleMemory}})
            if (qstrcmp(argv[1], flag) == 0)
                return child(path, headroom);
    }
    LowMemoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_low_memory.moc"
