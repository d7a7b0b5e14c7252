#include "DataRows.h"
#include "MarkedEditor.h"
#include "ScriptedMarkupWindows.h"
#include "TestHost.h"
#include "markup/CommandState.h"
#include "markup/FontCommands.h"
#include "markup/ImageCommand.h"
#include "markup/LinkCommand.h"

#include <QtTest>

using namespace tw;
using namespace tw::test;

namespace {

// Records which page colour labels were drawn, and in what colour.
struct LabelsSeen final : PageColorLabels {
    QMap<int, QColor> drawn;
    void showPageColor(PageColor which, const QColor &fill) override { drawn[int(which)] = fill; }
};

const QString kPicturesFilter = QStringLiteral("Pictures Files|*.jpg;*.gif;*.bmp");

} // namespace

class MarkupCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void generatedText_data()
    {
        tw::test::columns<QString, QString>("built", "expected");
        QTest::newRow("size") << fontSizeText("3", "big") << "<FONT SIZE=3>big</FONT>";
        QTest::newRow("size empty") << fontSizeText("", "x") << "<FONT SIZE=>x</FONT>";
        QTest::newRow("size as typed") << fontSizeText("+2", " a\nb ") << "<FONT SIZE=+2> a\nb </FONT>";
        QTest::newRow("colour") << fontColorText("#FF8040", "warm") << "<FONT COLOR=\"#FF8040\">warm</FONT>";
        QTest::newRow("colour black") << fontColorText("0", "<B>x</B>") << "<FONT COLOR=\"0\"><B>x</B></FONT>";
        QTest::newRow("link") << linkText("shop.htm", "our shop") << "<A HREF=\"shop.htm\">our shop</A>";
        QTest::newRow("link empty") << linkText("", " x ") << "<A HREF=\"\"> x </A>";
        QTest::newRow("link quote") << linkText("a \"b\".htm", "s") << "<A HREF=\"a &quot;b&quot;.htm\">s</A>";
        QTest::newRow("image") << imageTag("logo.gif", "Home") << "<IMG SRC=\"logo.gif\" BORDER=0 ALT=\"Home\">";
        QTest::newRow("image no tip") << imageTag("a b.jpg", "") << "<IMG SRC=\"a b.jpg\" BORDER=0 ALT=\"\">";
        QTest::newRow("link cannot add an attribute")
            << linkText("a.htm\" onclick=\"alert(1)", "s") << "<A HREF=\"a.htm&quot; onclick=&quot;alert(1)\">s</A>";
        QTest::newRow("link with a line break") << linkText("a\r\nb.htm", "s") << "<A HREF=\"a%0D%0Ab.htm\">s</A>";
        QTest::newRow("image name and tip cannot break the tag")
            << imageTag("say \"hi\"<\n.gif", "a \"tip\" <b>\n2")
            << "<IMG SRC=\"say &quot;hi&quot;<%0A.gif\" BORDER=0 ALT=\"a &quot;tip&quot; <b>\n2\">";
        QTest::newRow("target") << pictureTarget("/web", "logo.gif") << "/web/logo.gif";
        QTest::newRow("target slash") << pictureTarget("/web/", "logo.gif") << "/web/logo.gif";
        QTest::newRow("folder of choice") << folderOfChoice("/web/docs/intro.html", "intro.html") << "/web/docs/";
    }
    void generatedText()
    {
        auto [built, expected] = tw::test::fetch<QString, QString>("built", "expected");
        QCOMPARE(built, expected);
    }

    void paletteCellsKeepTheirOwnFillAndText()
    {
        const QList<PaletteCell> &cells = paletteCells();
        QCOMPARE(cells.size(), 16);
        // Where fill and text part ways, and black's single zero.
        const QMap<QString, QPair<QColor, QString>> odd = {
            {"b2", {QColor(255, 128, 0), "#FF8040"}}, {"b4", {QColor(192, 0, 0), "#800000"}},
            {"c2", {QColor(0, 192, 0), "#00B700"}},   {"c3", {QColor(0, 192, 192), "#00BFBF"}},
            {"a4", {QColor(0, 0, 0), "0"}}};
        QSet<QString> names;
        for (int i = 0; i < cells.size(); ++i) {
            const PaletteCell &cell = cells.at(i);
            const QString name = QString::fromLatin1(cell.name);
            names << name;
            QCOMPARE(name, QString(QChar('a' + i / 4)) + QChar('1' + i % 4));
            QCOMPARE(cell.left, 48 + 480 * (i / 4));
            QCOMPARE(cell.top, 48 + 360 * (i % 4));
            if (odd.contains(name)) {
                QCOMPARE(cell.fill, odd[name].first);
                QCOMPARE(QString::fromLatin1(cell.text), odd[name].second);
            } else {
                QCOMPARE(QString::fromLatin1(cell.text), cell.fill.name().toUpper());
            }
        }
        QCOMPARE(names.size(), 16);
        QCOMPARE(paletteCells().at(cellIndex("d4")).fill, QColor(128, 0, 128));
    }

    void fontSizeWrapsOnlyASelectionAsOneStep()
    {
        MarkedEditor page("a [big] b");
        CmdSize_Click(page.active, "3");
        QCOMPARE(page.text(), QStringLiteral("a <FONT SIZE=3>big</FONT> b"));
        page.editor.undo();
        QCOMPARE(page.text(), QStringLiteral("a big b"));

        page.load("caret here");
        CmdSize_Click(page.active, "3");
        QCOMPARE(page.text(), QStringLiteral("caret here"));
        page.load("[x]");
        page.gone = true;
        CmdSize_Click(page.active, "3"); // no document window: nothing, no crash
        QCOMPARE(page.text(), QStringLiteral("x"));
    }

    void fontColourRequestIsServedOnceAndEndsWithThePalette()
    {
        CommandState state;
        ScriptedMarkupWindows windows;
        MarkedEditor page("[warm]");
        windows.picks = {cellIndex("b2")};
        CmdFontColor_Click(state, page.active, windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("<FONT COLOR=\"#FF8040\">warm</FONT>"));
        QCOMPARE(state.FontColorPending, qint16(0));
        page.editor.undo();
        QCOMPARE(page.text(), QStringLiteral("warm"));

        page.load("[cold]");
        windows.picks = {-1}; // the close box
        CmdFontColor_Click(state, page.active, windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("cold"));
        QCOMPARE(state.FontColorPending, qint16(0));

        page.load("nothing selected");
        windows.shown.clear();
        CmdFontColor_Click(state, page.active, windows, nullptr);
        QVERIFY(windows.shown.isEmpty());
    }

    void pageColourRequestsOutliveAClosedPalette()
    {
        CommandState state;
        ScriptedMarkupWindows windows;
        auto *labels = new LabelsSeen;
        state.pageProperties.reset(labels);
        state.VLinkColorPending = 1;
        windows.picks = {-1, cellIndex("d1")};
        ShowColorPalette(state, nullptr, windows, nullptr);
        QCOMPARE(state.VLinkColorPending, qint16(1));
        state.TextColorPending = 1;
        ShowColorPalette(state, nullptr, windows, nullptr);
        QCOMPARE(state.VLinkColor, QStringLiteral("#0000FF"));
        QCOMPARE(state.TextColor, QStringLiteral("#0000FF"));
        QCOMPARE(state.VLinkColorPending + state.TextColorPending, 0);
        QCOMPARE(labels->drawn.value(int(PageColor::VLink)), QColor(0, 0, 255));
        QCOMPARE(labels->drawn.value(int(PageColor::Text)), QColor(0, 0, 255));
        QCOMPARE(labels->drawn.size(), 2);
    }

    void linksOpenOnlyForMoreThanSpacesAndKeepTheSelectionWhole_data()
    {
        tw::test::columns<QString, bool, QString, bool>("before", "opens", "after", "cancelled");
        QTest::newRow("nothing") << "ab" << false << "ab" << false;
        QTest::newRow("spaces") << "a[   ]b" << false << "a   b" << false;
        QTest::newRow("line break") << "a[\n]b" << true << "a<A HREF=\"a.htm\">\n</A>b" << false;
        QTest::newRow("blanks kept") << "[ x ]" << true << "<A HREF=\"a.htm\"> x </A>" << false;
        QTest::newRow("cancelled") << "[x]" << true << "x" << true;
    }
    void linksOpenOnlyForMoreThanSpacesAndKeepTheSelectionWhole()
    {
        auto [before, opens, after, cancelled] = tw::test::fetch<QString, bool, QString, bool>(
            "before", "opens", "after", "cancelled");
        ScriptedDialogs dialogs;
        ScriptedMarkupWindows windows;
        windows.addresses = {cancelled ? std::nullopt : std::optional<QString>(QStringLiteral("a.htm"))};
        MarkedEditor page(before);
        CmdLinks_Click(dialogs, page.active, windows, nullptr);
        QCOMPARE(windows.shown.size(), opens ? 1 : 0);
        QCOMPARE(page.text(), after);
        page.editor.undo();
        QCOMPARE(page.text(), before.remove('[').remove(']'));
    }

    void imageWarningAnswers()
    {
        QTemporaryDir dir;
        const QString pictures = dir.filePath("pics");
        const QString web = dir.filePath("web");
        QVERIFY(QDir().mkpath(pictures) && QDir().mkpath(web));
        const QString logo = pictures + "/logo.gif";
        QVERIFY(writeBytes(logo, "GIF89a picture bytes"));

        CommandState state;
        TestHost host;
        ScriptedMarkupWindows windows;
        MarkedEditor page("a[old]b");

        // YES: the tag goes in, the picture beside the page, the folder text kept as typed.
        windows.picPaths = {answerPicPath(PicPathAnswer::Yes, web)};
        host.scripted.file(logo).answer("Home");
        CmdImage_Click(state, page.active, host, windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("a<IMG SRC=\"logo.gif\" BORDER=0 ALT=\"Home\">b"));
        QCOMPARE(readBytes(web + "/logo.gif"), QByteArray("GIF89a picture bytes"));
        QCOMPARE(state.PicHtmlPath, web);
        QCOMPARE(host.scripted.shown.first().text, kPicturesFilter);
        QCOMPARE(host.scripted.promptLog(), QStringList{"Tip Text Image|Enter a TIP TEXT for the image (Optional) :"});
        page.editor.undo();
        QCOMPARE(page.text(), QStringLiteral("aoldb"));

        // YES, then the picture dialog cancelled: only the folder is remembered.
        windows.picPaths = {answerPicPath(PicPathAnswer::Yes, "elsewhere")};
        host.scripted.file("");
        CmdImage_Click(state, page.active, host, windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("aoldb"));
        QCOMPARE(state.PicHtmlPath, QStringLiteral("elsewhere"));
        QCOMPARE(windows.shown.last(), QStringLiteral("picpath ") + web);

        // NO: inserted as it is, tip cancelled gives ALT="", nothing copied.
        QVERIFY(QFile::remove(web + "/logo.gif"));
        windows.picPaths = {answerPicPath(PicPathAnswer::No, web)};
        page.load("a[old]b");
        host.scripted.file(logo).answer("");
        CmdImage_Click(state, page.active, host, windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("a<IMG SRC=\"logo.gif\" BORDER=0 ALT=\"\">b"));
        QVERIFY(!QFile::exists(web + "/logo.gif"));
        QCOMPARE(state.DontShowPicWarning, qint16(0));

        // Close box with "Dont show again": nothing now, no warning from then on.
        windows.picPaths = {answerPicPath(PicPathAnswer::Closed, web, true)};
        page.load("[x]");
        CmdImage_Click(state, page.active, host, windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("x"));
        windows.shown.clear();
        host.scripted.file(logo).answer("t");
        CmdImage_Click(state, page.active, host, windows, nullptr);
        QVERIFY(windows.shown.isEmpty());
        QCOMPARE(page.text(), QStringLiteral("<IMG SRC=\"logo.gif\" BORDER=0 ALT=\"t\">"));
        QCOMPARE(host.scripted.remaining(), 0);
    }

    // The tag goes in (or, without a document window, nothing) and the picture
    // is copied into the folder typed in the warning, whatever the names hold;
    // a copy that cannot be made says why.
    void imageInsertsTheTagAndCopiesThePicture_data()
    {
        // The folder typed in the warning (%1 is the test's folder); gone: no document window; the page's text
        // afterwards; where the copy lies in the test's folder, if anywhere.
        tw::test::columns<QString, QString, bool, QString, QString, QString, QString>(
            "picture", "folder", "gone", "tip", "text", "copy", "message");
        const QString quoted = "<IMG SRC=\"say &quot;hi&quot;.gif\" BORDER=0 ALT=";
        QTest::newRow("quotes in the names") << "say \"hi\".gif" << "%1/web" << false << "a \"tip\""
                                             << quoted + "\"a &quot;tip&quot;\">" << "web/say \"hi\".gif" << "";
        QTest::newRow("a folder that does not exist")
            << "say \"hi\".gif" << "%1/missing" << false << "" << quoted + "\"\">" << ""
            << "The picture could not be copied to %1/missing/say \"hi\".gif: the folder \"%1/missing\" does not exist.";
        QTest::newRow("an empty folder box") << "logo.gif" << "" << false << "" << "<IMG SRC=\"logo.gif\" BORDER=0 ALT=\"\">"
                                             << "" << "No folder was given, so the picture was not copied.";
        QTest::newRow("no document window") << "logo.gif" << "%1/web" << true << "tip" << "x" << "web/logo.gif" << "";
    }
    void imageInsertsTheTagAndCopiesThePicture()
    {
        auto [picture, folder, gone, tip, text, copy, message] =
            tw::test::fetch<QString, QString, bool, QString, QString, QString, QString>(
                "picture", "folder", "gone", "tip", "text", "copy", "message");
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("web")));
        QVERIFY(writeBytes(dir.filePath(picture), "GIF89a " + picture.toUtf8()));
        CommandState state;
        TestHost host;
        ScriptedMarkupWindows windows;
        MarkedEditor page("[x]");
        page.gone = gone;
        windows.picPaths = {answerPicPath(PicPathAnswer::Yes, folder.replace("%1", dir.path()))};
        host.scripted.file(dir.filePath(picture)).answer(tip);
        if (!message.isEmpty())
            host.scripted.acknowledge();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path() + "/");
        CmdImage_Click(state, page.active, host, windows, nullptr);
        QDir::setCurrent(cwd);
        QCOMPARE(page.text(), text);
        QCOMPARE(host.scripted.remaining(), 0);
        const Shown &last = host.scripted.shown.last();
        QCOMPARE(last.kind == "message" ? last.text : QString(), message.replace("%1", dir.path()));
        if (!copy.isEmpty())
            QCOMPARE(readBytes(dir.filePath(copy)), "GIF89a " + picture.toUtf8());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{picture});
        QVERIFY(!QFile::exists("/" + picture));
    }

    void saveHtmlWritesAsSaveDoesAndGivesTheFolder()
    {
        QTemporaryDir dir;
        TestHost host;
        frmDocument *document = host.createDocument("Document 1");
        document->textEdit->loadBytes("<P>caf\xc3\xa9</P>\n");
        const QString path = dir.filePath("page.htm");
        host.scripted.file(path);
        QCOMPARE(savePageForPicture(host), std::optional<QString>(dir.path() + "/"));
        QCOMPARE(readBytes(path), QByteArray("<P>caf\xc3\xa9</P>\n\r\n"));
        QCOMPARE(document->caption(), path);
        QCOMPARE(host.scripted.shown.first().kind, QStringLiteral("save"));
        QCOMPARE(host.scripted.shown.first().text, QStringLiteral("HTML Document"));

        // A write that fails says why and changes neither caption nor folder.
        host.scripted.file(dir.filePath("missing/page.htm")).acknowledge();
        QCOMPARE(savePageForPicture(host), std::nullopt);
        QCOMPARE(document->caption(), path);
        QVERIFY(host.scripted.shown.last().text.contains(dir.filePath("missing/page.htm")));

        // No document: no file dialog, no file, a message.
        host.active = nullptr;
        host.scripted.acknowledge();
        const qsizetype before = host.scripted.shown.size();
        QCOMPARE(savePageForPicture(host), std::nullopt);
        QCOMPARE(host.scripted.shown.size(), before + 1);
        QCOMPARE(host.scripted.shown.last().text, QStringLiteral("There is no page to save."));
    }
};

QTEST_MAIN(MarkupCommandsTest)
#include "tst_markupcommands.moc"
