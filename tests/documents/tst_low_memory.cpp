// A page that needs more memory than is left: the load ends in the message,
// the new window goes, and the windows already open keep their text. Real
// shortages run in a child process whose address space is limited; the steps
// around the editor's appends fail on purpose in this process.
#include "LowMemory.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "documents/DocumentFiles.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

using namespace tw;
using tw::test::ScriptedDialogs;
using tw::test::noMemory;
using tw::test::writeBytes;

namespace {

const char kChildFlag[] = "--open-with-little-memory";

// The child: a frame with one window holding typed text opens the page with
// only `headroom` MB of address space to spare, then tells what it shows.
int openWithLittleMemory(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString page = QString::fromLocal8Bit(argv[2]);
    const rlim_t headroom = test::headroomArgument(argv[3]);
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
    for (frmDocument *document : frame.documents())
        out << "window|" << document->caption() << '|' << document->textEdit->textExact() << '|'
            << (document->textEdit->isModified() ? "changed" : "unchanged") << '\n';
    out << "editor|" << loaded << '|' << reader.error() << '|' << editor.textExact().left(40) << '\n';
    return 0;
}

// A frame stand-in whose new windows fail one step of the load for want of
// memory, as the editor control does when an allocation fails.
class FailingHost final : public DocumentHost {
public:
    enum Step { Reserve, Settle };
    explicit FailingHost(Step step) : m_step(step)
    {
        m_documents << new frmDocument;
        m_documents.first()->show();
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
        document->show();
        SourceEditor *editor = document->textEdit;
        if (m_step == Reserve) {
            editor->beforeLoad = [](qsizetype) { throw std::bad_alloc(); };
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
    QWidget *activeChild() const override { return m_documents.last(); }
    QList<frmDocument *> documents() const override
    {
        QList<frmDocument *> open;
        for (frmDocument *document : m_documents)
            if (document && document->isVisible())
                open << document;
        return open;
    }

    ScriptedDialogs scripted;
    QList<QPointer<frmDocument>> m_documents;

private:
    Step m_step;
};

} // namespace

class LowMemoryTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

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
        FailingHost host{FailingHost::Step(step)};
        frmDocument *first = host.documents().first();
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
};

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], kChildFlag) == 0)
        return openWithLittleMemory(argc, argv);
    QApplication app(argc, argv);
    LowMemoryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_low_memory.moc"
