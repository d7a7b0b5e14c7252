#include "../markup/MarkedEditor.h"
#include "../markup/ScriptedMarkupWindows.h"
#include "DataRows.h"
#include "ModalDriver.h"
#include "ScriptedDialogs.h"
#include "generators/PageProperties.h"
#include "generators/frmOptions.h"
#include "markup/FontCommands.h"
#include "markup/frmColor.h"

#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using namespace tw;
using namespace tw::test;

namespace {

const QString kDefaultBody = "<BODY TEXT=\"0\" BGCOLOR=\"#FFFFFF\" LINK=\"#0000FF\" VLINK=\"#800080\" ALINK=\"#FF0000\">";

// A Page Properties window whose user acts from a script: each opening runs
// the next step, which returns true for OK.
class ScriptedPageWindow final : public PagePropertiesWindow {
public:
    using Step = std::function<bool(ScriptedPageWindow &)>;
    ScriptedPageWindow(CommandState &state, Dialogs &dialogs, MarkupWindows &windows, QList<Step> &steps,
                       QMap<int, QColor> &labels)
        : PagePropertiesWindow(state, dialogs, windows), m_steps(steps), m_labels(labels)
    {
        m_labels.clear();
    }
    bool runModal() override { return m_steps.takeFirst()(*this); }
    void showPageColor(PageColor which, const QColor &fill) override { m_labels[int(which)] = fill; }
    bool previewShown = false;

protected:
    void showPreview(const QPixmap &picture) override { previewShown = !picture.isNull(); }
    QWidget *dialogParent() override { return nullptr; }

private:
    QList<Step> &m_steps;
    QMap<int, QColor> &m_labels;
};

struct Fixture {
    CommandState state;
    ScriptedDialogs dialogs;
    ScriptedMarkupWindows windows;
    QList<ScriptedPageWindow::Step> steps;
    int created = 0;
    QMap<int, QColor> labels; // drawn in the latest window since its creation
    PagePropertiesFactory make = [this](CommandState &s) {
        ++created;
        return std::unique_ptr<PagePropertiesWindow>(
            std::make_unique<ScriptedPageWindow>(s, dialogs, windows, steps, labels));
    };
    void open(MarkedEditor &page, ScriptedPageWindow::Step step)
    {
        steps << std::move(step);
        CmdProperties_Click(state, page.active, make);
    }
};

// One opening: the user's actions, then OK (true) or Cancel.
ScriptedPageWindow::Step closeWith(bool accept, std::function<void(ScriptedPageWindow &)> act = {})
{
    return [accept, act](ScriptedPageWindow &w) {
        if (act)
            act(w);
        return accept;
    };
}
ScriptedPageWindow::Step ok(std::function<void(ScriptedPageWindow &)> act = {}) { return closeWith(true, act); }
ScriptedPageWindow::Step cancel(std::function<void(ScriptedPageWindow &)> act = {}) { return closeWith(false, act); }

} // namespace

class PagePropertiesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_picture = m_dir.filePath("bg.png");
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(m_picture, "PNG"));
        m_notPicture = m_dir.filePath("notes.gif");
        QFile f(m_notPicture);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("plain text") > 0);
    }

    void bodyTag_data()
    {
        tw::test::columns<QString, QString>("built", "expected");
        QTest::newRow("defaults") << bodyTagText("0", "#FFFFFF", "#0000FF", "#800080", "#FF0000", std::nullopt)
                                  << kDefaultBody;
        QTest::newRow("background") << bodyTagText("a", "b", "c", "d", "e", QString("sky.gif"))
                                    << "<BODY TEXT=\"a\" BGCOLOR=\"b\" LINK=\"c\" VLINK=\"d\" ALINK=\"e\" "
                                       "BACKGROUND=\"sky.gif\">";
        QTest::newRow("background name cannot break the tag")
            << bodyTagText("0", "#FFFFFF", "#0000FF", "#800080", "#FF0000", QString("\"sky\"\n.gif"))
            << kDefaultBody.chopped(1) + " BACKGROUND=\"&quot;sky&quot;%0A.gif\">";
    }
    void bodyTag()
    {
        auto [built, expected] = tw::test::fetch<QString, QString>("built", "expected");
        QCOMPARE(built, expected);
    }

    void okWritesTheTagAsOneStepAndCancelNothing()
    {
        Fixture f;
        MarkedEditor page("<HTML>[<BODY>]");
        f.open(page, ok());
        QCOMPARE(page.text(), "<HTML>" + kDefaultBody);
        page.editor.undo();
        QCOMPARE(page.text(), QStringLiteral("<HTML><BODY>"));
        QVERIFY(!f.state.pageProperties); // gone after closing

        page.load("[x]");
        f.windows.picks = {cellIndex("b3")};
        f.open(page, cancel([](ScriptedPageWindow &w) { w.clickLabel(PageColor::Text, nullptr); }));
        QCOMPARE(page.text(), QStringLiteral("x"));
        QCOMPARE(f.state.TextColor, QStringLiteral("#FF0000"));
        f.open(page, ok()); // a new opening starts from the defaults again
        QCOMPARE(page.text(), kDefaultBody);

        page.load("[x]");
        page.gone = true; // no document window: nothing written, no crash
        f.open(page, ok());
        QCOMPARE(page.text(), QStringLiteral("x"));
    }

    void aLabelPickChangesOnlyItsColour()
    {
        Fixture f;
        MarkedEditor page;
        f.windows.picks = {cellIndex("c2")};
        f.open(page, ok([](ScriptedPageWindow &w) { w.clickLabel(PageColor::Link, nullptr); }));
        QCOMPARE(page.text(), QStringLiteral("<BODY TEXT=\"0\" BGCOLOR=\"#FFFFFF\" LINK=\"#00B700\" "
                                             "VLINK=\"#800080\" ALINK=\"#FF0000\">"));
        QCOMPARE(f.labels.keys(), QList<int>{int(PageColor::Link)});
        QCOMPARE(f.labels.value(int(PageColor::Link)), QColor(0, 192, 0));
        QCOMPARE(f.state.LinkColorPending, qint16(0));
    }

    void backgroundPictureChosenRemovedAndNeverLeftOver()
    {
        Fixture f;
        MarkedEditor page;
        f.dialogs.file(m_picture);
        f.open(page, ok([](ScriptedPageWindow &w) { w.browse(); }));
        QCOMPARE(page.text(), kDefaultBody.chopped(1) + " BACKGROUND=\"bg.png\">");
        QCOMPARE(f.dialogs.shown.last().text, QStringLiteral("Pictures Files|*.jpg;*.gif"));
        QCOMPARE(f.state.BgPictureChosen, qint16(1));

        // The next opening starts without a picture: no BACKGROUND="".
        page.load("");
        f.open(page, ok());
        QCOMPARE(page.text(), kDefaultBody);

        page.load("");
        f.dialogs.file(m_picture);
        bool shownThenEmptied = false;
        f.open(page, ok([&](ScriptedPageWindow &w) {
            w.browse();
            shownThenEmptied = w.previewShown;
            w.remove();
            shownThenEmptied = shownThenEmptied && !w.previewShown;
        }));
        QVERIFY(shownThenEmptied);
        QCOMPARE(page.text(), kDefaultBody);

        // Not a picture: refused with a message; a cancelled dialog changes nothing.
        page.load("");
        f.dialogs.file(m_picture).file(m_notPicture).acknowledge().file("");
        f.open(page, ok([](ScriptedPageWindow &w) {
            w.browse();
            w.browse();
            w.browse();
        }));
        QVERIFY(f.dialogs.shown.at(f.dialogs.shown.size() - 2).text.startsWith(m_notPicture));
        QCOMPARE(page.text(), kDefaultBody.chopped(1) + " BACKGROUND=\"bg.png\">");
        QCOMPARE(f.dialogs.remaining(), 0);
    }

    void aLeftOverRequestIsServedByTheNextPickInAHiddenWindow()
    {
        Fixture f;
        MarkedEditor page("[hot]");
        f.windows.picks = {-1};
        f.open(page, cancel([](ScriptedPageWindow &w) { w.clickLabel(PageColor::Link, nullptr); }));
        QCOMPARE(f.state.LinkColorPending, qint16(1));
        QCOMPARE(f.created, 1);

        f.windows.picks = {cellIndex("b3")};
        CmdFontColor_Click(f.state, page.active, f.windows, nullptr);
        QCOMPARE(page.text(), QStringLiteral("<FONT COLOR=\"#FF0000\">hot</FONT>"));
        QCOMPARE(f.created, 2); // created hidden for the request
        QVERIFY(f.state.pageProperties);
        QCOMPARE(f.labels.value(int(PageColor::Link)), QColor(255, 0, 0));
        QCOMPARE(f.state.LinkColor, QStringLiteral("#FF0000"));

        // The next opening shows that window, colour kept, without creating another.
        page.load("");
        f.open(page, ok());
        QCOMPARE(f.created, 2);
        QCOMPARE(page.text(), QStringLiteral("<BODY TEXT=\"0\" BGCOLOR=\"#FFFFFF\" LINK=\"#FF0000\" "
                                             "VLINK=\"#800080\" ALINK=\"#FF0000\">"));
    }

    void theRealWindowDrivenOffscreen()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        CommandState state;
        ScriptedDialogs dialogs;
        dialogs.file(m_picture);
        QtMarkupWindows windows; // the real palette too
        MarkedEditor page("[old]");
        QStringList seen;
        QList<QColor> colours;
        bool previewShown = false;
        onNextModal([&](QWidget *w) {
            auto *options = qobject_cast<frmOptions *>(w);
            if (!options) {
                w->close();
                return;
            }
            seen << options->windowTitle() << options->tbsOptions->tabText(0) << options->tbsOptions->tabToolTip(0)
                 << options->fraBackground->title() << options->fraColors->title() << options->CmdBrowse->text()
                 << options->CmdRemove->text() << options->cmdOK->text() << options->CmdCancel->text();
            for (const PageColor which : kPageColors) {
                seen << options->label(which)->text();
                colours << options->label(which)->palette().color(QPalette::ButtonText);
            }
            // Links label, then the real palette's cell d3 clicked with the mouse.
            onNextModal([](QWidget *p) {
                if (auto *palette = qobject_cast<frmColor *>(p))
                    QTest::mouseClick(palette->findChild<QPushButton *>("d3"), Qt::LeftButton);
                else
                    p->close();
            });
            QTest::mouseClick(options->Label1, Qt::LeftButton);
            colours << options->Label1->palette().color(QPalette::ButtonText);
            QTest::mouseClick(options->Image1, Qt::LeftButton); // the preview browses too
            previewShown = !options->Image1->icon().isNull();
            options->cmdOK->click();
        });
        CmdProperties_Click(state, page.active, realPageProperties(dialogs, windows, nullptr));
        QCOMPARE(seen, (QStringList{"Page Properties", "Options", "Set Options for Group 1", "BackGround", "Colors",
                                    "Browse", "Remove", "OK", "Cancel", "Links", "Active Links", "Visited Links",
                                    "Text", "BackGround"}));
        QCOMPARE(colours, (QList<QColor>{QColor(0, 0, 255), QColor(255, 0, 0), QColor(128, 0, 128), QColor(0, 0, 0),
                                         QColor(255, 255, 255), QColor(255, 0, 255)}));
        QVERIFY(previewShown);
        QCOMPARE(page.text(), QStringLiteral("<BODY TEXT=\"0\" BGCOLOR=\"#FFFFFF\" LINK=\"#FF00FF\" VLINK=\"#800080\" "
                                             "ALINK=\"#FF0000\" BACKGROUND=\"bg.png\">"));

        // Created hidden by the palette, then shown by the next opening; the close box inserts nothing.
        state.BgColorPending = 1;
        servePaletteCell(state, nullptr, paletteCells().at(cellIndex("a4")));
        auto *hidden = dynamic_cast<frmOptions *>(state.pageProperties.get());
        QVERIFY(hidden && !hidden->isVisible());
        QCOMPARE(hidden->Label5->palette().color(QPalette::ButtonText), QColor(0, 0, 0));
        QWidget *shown = nullptr;
        onNextModal([&](QWidget *w) {
            shown = w;
            w->close();
        });
        page.load("[kept]");
        CmdProperties_Click(state, page.active, realPageProperties(dialogs, windows, nullptr));
        QCOMPARE(shown, static_cast<QWidget *>(hidden));
        QCOMPARE(page.text(), QStringLiteral("kept"));
        QCOMPARE(state.BgColor, QStringLiteral("0"));
        QVERIFY(!state.pageProperties);
    }

private:
    QTemporaryDir m_dir;
    QString m_picture;
    QString m_notPicture;
};

QTEST_MAIN(PagePropertiesTest)
#include "tst_pageproperties.moc"
