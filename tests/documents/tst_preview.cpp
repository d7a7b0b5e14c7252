#include "DataRows.h"
#include "TestHost.h"
#include "documents/Preview.h"
#include "editor/SourceEditor.h"

#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;

namespace {

const QString kQuestion = QStringLiteral("You must save your page before view it. Do you want to save it ?");

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void previewSavesThenOpens_data()
    {
        // "DIR/..." lies in a temporary folder; the answer is "", "yes" or "no"; chosen is the save dialog's
        // answer (null: not shown); file must hold the page (null: none); failure: a message about the write.
        tw::test::columns<QString, QString, QString, bool, QString, bool>("caption", "answer", "chosen", "opened",
                                                                          "file", "failure");
        QTest::newRow("titled: saved over, no question")
            << "DIR/page.htm" << "" << QString() << true << "DIR/page.htm" << false;
        QTest::newRow("untitled, answered No") << "Document 3" << "no" << QString() << false << QString() << false;
        QTest::newRow("untitled, Yes, dialog cancelled")
            << "Document 3" << "yes" << "" << false << QString() << false;
        QTest::newRow("untitled, Yes, a name") << "document 3 - Template" << "yes" << "DIR/new page.htm" << true
                                               << "DIR/new page.htm" << false;
        QTest::newRow("titled, write fails") << "DIR/missing folder/page.htm" << "" << QString() << false
                                             << QString() << true;
    }
    void previewSavesThenOpens()
    {
        auto [caption, answer, chosen, file, failure] = tw::test::fetch<QString, QString, QString, QString, bool>(
            "caption", "answer", "chosen", "file", "failure");
        QTemporaryDir dir;
        for (QString *s : {&caption, &chosen, &file})
            s->replace(QLatin1String("DIR"), dir.path());
        QVERIFY(test::writeBytes(dir.filePath("page.htm"), "old"));

        frmDocument document;
        document.setCaption(caption);
        document.textEdit->loadBytes("<P>x</P>\n");
        tw::test::TestHost host;
        host.active = &document;
        if (answer == QLatin1String("yes"))
            host.scripted.yes();
        else if (answer == QLatin1String("no"))
            host.scripted.no();
        if (!chosen.isNull())
            host.scripted.file(chosen);
        if (failure)
            host.scripted.acknowledge();
        QStringList opened;
        QTEST(PreviewActiveDocument(host, [&](const QString &path) { opened << path; }), "opened");

        QCOMPARE(host.scripted.remaining(), 0);
        if (!answer.isEmpty())
            QCOMPARE(host.scripted.shown.first(), (test::Shown{"yesno", "Preview", kQuestion, {}}));
        if (!chosen.isNull())
            QCOMPARE(host.scripted.shown.at(1), (test::Shown{"save", {}, "HTML Document", "htm"}));
        if (failure)
            QCOMPARE(host.scripted.shown.last().kind, QStringLiteral("message"));
        if (file.isNull()) {
            QVERIFY(opened.isEmpty());
            QCOMPARE(test::readBytes(dir.filePath("page.htm")), QByteArray("old"));
            QCOMPARE(document.caption(), caption);
        } else {
            QCOMPARE(opened, QStringList{file});
            QCOMPARE(document.caption(), file);
            QCOMPARE(test::readBytes(file), QByteArray("<P>x</P>\n\r\n"));
        }
    }

    void previewTwiceOpensTwoWindowsOnTheSameFile()
    {
        QTemporaryDir dir;
        frmDocument document;
        document.setCaption(dir.filePath("p.htm"));
        tw::test::TestHost host;
        host.active = &document;
        QStringList opened;
        const auto open = [&](const QString &path) { opened << path; };
        QVERIFY(PreviewActiveDocument(host, open) && PreviewActiveDocument(host, open));
        QCOMPARE(opened, QStringList({dir.filePath("p.htm"), dir.filePath("p.htm")}));
    }

    // No document window, or another kind of window active: nothing asked,
    // written or opened, even when that window's caption names a file.
    void previewIgnoresOtherWindows()
    {
        QTemporaryDir dir;
        QWidget browser;
        browser.setWindowTitle(dir.filePath("page.htm"));
        tw::test::TestHost host;
        bool opened = false;
        QVERIFY(!PreviewActiveDocument(host, [&](const QString &) { opened = true; }));
        host.active = &browser;
        QVERIFY(!PreviewActiveDocument(host, [&](const QString &) { opened = true; }));
        QVERIFY(!opened);
        QVERIFY(host.scripted.shown.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("page.htm")));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
