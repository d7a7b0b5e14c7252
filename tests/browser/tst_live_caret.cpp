// The live view and the editor's caret both ways, and the widths the page is
// laid out at, with the real engine offscreen.
#include "browser/BrowserEngine.h"
#include "browser/LiveArea.h"
#include "browser/LiveCaret.h"
#include "browser/LivePreviewDock.h"
#include "browser/LiveViewOptions.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"

#include "FakeBrowserHost.h"
#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QMainWindow>
#include <QSettings>
#include <QtTest>

using namespace tw;

namespace {

using test::kLoad;

QVariant run(LiveArea *area, const QString &script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    area->runScript(script, [result](const QVariant &v) { *result = v; });
    (void)QTest::qWaitFor([&] { return result->has_value(); }, kLoad);
    return result->value_or(QVariant());
}

// The element's index in tree order, as the view's own world counts it.
QString indexOf(const QString &selector)
{
    return QStringLiteral("Array.prototype.indexOf.call(document.querySelectorAll('*'), document.querySelector('%1'))")
        .arg(selector);
}

} // namespace

class LiveCaretTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    test::FakeBrowserHost m_host;
    QMainWindow m_frame;
    LivePreviewDock *m_dock = nullptr;
    std::vector<std::unique_ptr<frmDocument>> m_documents;

    LiveArea *area() const { return m_dock->area(); }
    SourceEditor *editor() const { return m_dock->document()->textEdit; }
    QByteArray text() const { return editor()->documentBytes(); }

    // Shows the text in a new document window, and waits for the view's map of it.
    void show(const QByteArray &page)
    {
        auto d = std::make_unique<frmDocument>();
        d->setCaption(QStringLiteral("Page %1").arg(m_documents.size() + 1));
        d->textEdit->loadBytes(page);
        d->show(); // a window of its own, to take the focus
        m_dock->setDocument(d.get());
        const QString caption = d->caption();
        m_documents.push_back(std::move(d));
        QTRY_VERIFY_WITH_TIMEOUT(
            run(area(), QStringLiteral("decodeURIComponent(location.pathname) + ' ' + document.readyState"))
                .toString()
                .endsWith(caption + QStringLiteral(" complete")),
            kLoad);
        remap();
    }
    void remap()
    {
        QSignalSpy mapped(m_dock->caret(), &LiveCaret::mapped);
        m_dock->caret()->remap();
        QVERIFY(mapped.wait(kLoad));
    }
    // The text at the caret the element sends it to.
    QByteArray tagText(const QString &selector)
    {
        const qsizetype at = m_dock->caret()->map().tagOf(run(area(), indexOf(selector)).toInt());
        return at < 0 ? QByteArray("none") : text().mid(at, 6);
    }
    // Where the outline of the element belongs.
    QRect outlineOf(const char *selector)
    {
        return boxOf(QLatin1String(selector)).adjusted(-2, -2, 2, 2).intersected(area()->widget()->rect());
    }
    QRect boxOf(const QString &selector)
    {
        const QVariantList r = run(area(), QStringLiteral("(function(){const r=document.querySelector('%1')"
                                                          ".getBoundingClientRect();return [r.x,r.y,r.width,r.height];})()")
                                                   .arg(selector))
                                   .toList();
        const double z = area()->zoom();
        return QRectF(r[0].toDouble() * z, r[1].toDouble() * z, r[2].toDouble() * z, r[3].toDouble() * z).toAlignedRect();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        test::startIn(m_dir.path());
        QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright")).clear();
        addBrowserModuleDir(QStringLiteral(TW_BROWSER_MODULE_DIR));
        m_frame.resize(1000, 700);
        m_frame.setCentralWidget(new QWidget);
        m_dock = new LivePreviewDock(m_host, &m_frame);
        m_frame.addDockWidget(Qt::RightDockWidgetArea, m_dock);
        m_frame.resizeDocks({m_dock}, {450}, Qt::Horizontal);
        m_frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_frame, test::kCeiling));
        QVERIFY(m_dock->area());
    }
    void cleanupTestCase() { delete m_dock; }

    // Pages with made-up and left-out tags. '|' marks a caret place in the
    // text (taken out before the page is shown); `holds` names the element
    // that holds each, and `tags` gives where the caret goes for an
    // element: the text there.
    void caretAndElementsMeet_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QStringList>("holds");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("html, head and body left out")
            << QByteArray("<!DOCTYPE html>\n<title>T|</title>\nte|xt<p>on|e<p>two")
            << QStringList{"title", "body", "p"}
            << QStringList{"html=<title", "head=<title", "title=<title", "body=<p>one", "p:nth-of-type(2)=<p>two"};
        QTest::newRow("written html and body twice")
            << QByteArray("<html lang=en><body class=a><p>x|</p><body class=b><div>y|</div></html>")
            << QStringList{"p", "div"} << QStringList{"html=<html ", "body=<body ", "div=<div>y", "head=<body "};
        QTest::newRow("tables") << QByteArray("<table> | <tr><td>|a<td>b</table><table><col><tr><td>c</table>")
                                << QStringList{"tbody", "td"}
                                << QStringList{"tbody=<tr><t", "td:nth-child(2)=<td>b<", "colgroup=<col><",
                                               "table:nth-of-type(2) td=<td>c<", "table:nth-of-type(2)=<table"};
        QTest::newRow("items and paragraphs without end tags")
            << QByteArray("<ul><li>one<li>tw|o</ul>af|ter<p>|a<div>b</div>")
            << QStringList{"li:nth-child(2)", "body", "p"} << QStringList{"li:nth-child(2)=<li>tw", "div=<div>b"};
        QTest::newRow("comments and scripts")
            << QByteArray("<p>x<!-- <b>not</b> -->y|</p><script>var s = '<i>n|o</i>';</script><em>e|</em>")
            << QStringList{"p", "script", "em"} << QStringList{"em=<em>e<", "script=<scrip"};
        QTest::newRow("inline svg")
            << QByteArray("<p>before</p><svg width=50 height=50><linearGradient id=g></linearGradient>"
                          "<circle cx=25 cy=25 r=2|0 fill=red /><rect width=5 height=5/></svg><p>af|ter</p>")
            << QStringList{"circle", "p:nth-of-type(2)"}
            << QStringList{"circle=<circl", "rect=<rect ", "p:nth-of-type(2)=<p>aft", "linearGradient=<linea"};
        QTest::newRow("formatting carried over")
            << QByteArray("<p><b>bold<p>agai|n</b></p>") << QStringList{"p:nth-of-type(2) b"}
            << QStringList{"p:nth-of-type(2) b=again<", "p:nth-of-type(2)=<p>aga"};
    }
    void caretAndElementsMeet()
    {
        QFETCH(QByteArray, page);
        QFETCH(QStringList, holds);
        QFETCH(QStringList, tags);
        QList<qsizetype> places;
        for (qsizetype at; (at = page.indexOf('|')) >= 0; page.remove(at, 1))
            places << at;
        QCOMPARE(places.size(), holds.size());
        show(page);
        const LiveTagMap &map = m_dock->caret()->map();
        const auto check = [&] {
            for (int k = 0; k < places.size(); ++k)
                QVERIFY2(map.elementAt(places[k]) == run(area(), indexOf(holds[k])).toInt(), qPrintable(holds[k]));
            for (const QString &row : tags) {
                const QStringList parts = row.split(QLatin1Char('='));
                QCOMPARE(QString::fromUtf8(tagText(parts[0])), parts[1]);
            }
        };
        check();
        // After an edit above everything, before the view shows it and after.
        QSignalSpy updated(m_dock, &LivePreviewDock::pageUpdated);
        const QByteArray edit("<!-- edited -->\n");
        editor()->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0UL, edit.constData());
        for (qsizetype &at : places)
            at += edit.size();
        check();
        QTRY_VERIFY_WITH_TIMEOUT(!updated.isEmpty(), kLoad);
        remap();
        check();
    }

    // Edits shown in place, one after another: after each the map is made
    // again on its own, and the elements and their tags still meet both
    // ways, whether an edit changed text only or added or took away elements.
    void mapFollowsEditsInPlace()
    {
        show("<p id=a>one</p><p id=b>two <b>bold</b></p>");
        const struct {
            const char *find, *replace;
            QStringList tags; // as in caretAndElementsMeet
        } rows[] = {
            {"one", "one more", {"#a=<p id=", "b=<b>bol"}},
            {"two ", "two <i>new</i> ", {"i=<i>new", "b=<b>bol"}},
            {"bold", "bolder", {"i=<i>new", "b=<b>bol"}},
            {"<p id=a>one more</p>", "", {"#b=<p id=", "i=<i>new", "b=<b>bol"}},
            {"</b>", "</b><em>e</em>", {"em=<em>e<", "b=<b>bol"}},
        };
        for (const auto &row : rows) {
            const qsizetype at = text().indexOf(row.find);
            QVERIFY(at >= 0);
            QSignalSpy mapped(m_dock->caret(), &LiveCaret::mapped);
            editor()->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, at, at + qstrlen(row.find));
            editor()->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, -1, row.replace);
            QVERIFY(mapped.wait(kLoad));
            for (const QString &tag : row.tags) {
                const QString selector = tag.section(QLatin1Char('='), 0, 0), written = tag.section(QLatin1Char('='), 1);
                QCOMPARE(QString::fromUtf8(tagText(selector)), written);
                const qsizetype inside = text().indexOf(written.toUtf8()) + 1;
                QCOMPARE(m_dock->caret()->map().elementAt(inside), run(area(), indexOf(selector)).toInt());
            }
        }
    }

    // Ctrl+click puts the caret on the element's tag and gives the editor
    // the focus; the page never sees it. A plain click still reaches the
    // page's buttons.
    void ctrlClickPutsTheCaret()
    {
        show("<title>none</title><p style='margin:40px'>first <b>bold</b></p><a id=l href='other.htm'>link</a> "
             "<button id=b onclick='document.title = \"clicked \" + (++clicks)'>go</button>"
             "<script>var clicks = 0; addEventListener('mousedown', () => { document.title = 'pressed'; });"
             "</script>");
        QWidget *input = area()->widget()->focusProxy();
        QVERIFY(input);
        const auto click = [&](const char *selector, Qt::KeyboardModifiers keys) {
            QSignalSpy placed(m_dock->caret(), &LiveCaret::placedCaret);
            const QPoint at = boxOf(QLatin1String(selector)).center();
            QTest::mouseMove(input, at);
            QTest::mouseClick(input, Qt::LeftButton, keys, at);
            return keys ? placed.wait(kLoad) : true;
        };
        for (const char *selector : {"b", "#l", "#b", "p"}) {
            m_frame.activateWindow();
            area()->widget()->setFocus();
            QVERIFY(click(selector, Qt::ControlModifier));
            const qsizetype caret = editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
            QCOMPARE(caret, m_dock->caret()->map().tagOf(run(area(), indexOf(QLatin1String(selector))).toInt()));
            QVERIFY(text().mid(caret).startsWith(selector[0] == '#' ? (selector[1] == 'l' ? "<a " : "<button")
                                                                    : QByteArray("<") + selector));
            QTRY_VERIFY_WITH_TIMEOUT(editor()->hasFocus(), kLoad);
        }
        const auto title = [&] { return run(area(), QStringLiteral("document.title")).toString(); };
        QCOMPARE(title(), QStringLiteral("none")); // the page saw no click
        QCOMPARE(m_host.area.subWindowList().size(), 0); // and the link opened nothing
        click("#b", {});
        QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("clicked 1"), kLoad);
    }

    // The outline follows the caret and brings its element into sight, and
    // the page finds nothing of it: no element, attribute or global name,
    // and no change at all to its document.
    void outlineIsOursAlone()
    {
        show("<p id=top>top</p><div style='height:3000px'></div><p id=far class=x>far away</p><script>"
             "let names, count, attributes, changes = 0;"
             "addEventListener('load', () => {"
             " names = Object.getOwnPropertyNames(window).sort().join();"
             " count = document.querySelectorAll('*').length;"
             " attributes = document.querySelectorAll('[class],[style],[id],[data-tw]').length;"
             " new MutationObserver(l => { changes += l.length; }).observe(document,"
             " {subtree: true, childList: true, attributes: true, characterData: true}); });"
             "addEventListener('report', () => { document.title = [changes,"
             " document.querySelectorAll('*').length - count,"
             " document.querySelectorAll('[class],[style],[id],[data-tw]').length - attributes,"
             " Object.getOwnPropertyNames(window).sort().join() === names].join(); });"
             "</script>");
        QCOMPARE(run(area(), QStringLiteral("window.scrollY")).toInt(), 0);
        LiveCaret *caret = m_dock->caret();
        QVERIFY(caret->follows());
        editor()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(text().indexOf("far away")));
        QTRY_VERIFY_WITH_TIMEOUT(run(area(), QStringLiteral("window.scrollY")).toInt() > 0, kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(caret->outline(), outlineOf("#far"), kLoad);
        // Scrolling the page moves the outline along.
        run(area(), QStringLiteral("window.scrollBy(0, -20)"));
        QTRY_COMPARE_WITH_TIMEOUT(caret->outline(), outlineOf("#far"), kLoad);
        QVERIFY(caret->outline().top() > 20);
        editor()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 5UL);
        QTRY_VERIFY_WITH_TIMEOUT(boxOf(QStringLiteral("#top")).top() >= 0, kLoad);
        QTRY_COMPARE_WITH_TIMEOUT(caret->outline(), outlineOf("#top"), kLoad);
        QVERIFY(!caret->outline().isEmpty());
        run(area(), QStringLiteral("dispatchEvent(new Event('report'))"));
        QCOMPARE(run(area(), QStringLiteral("document.title")).toString(), QStringLiteral("0,0,0,true"));
        // Follow Caret off: no outline, kept in the settings.
        auto *follow = m_dock->findChild<QCheckBox *>(QStringLiteral("chkLiveFollowCaret"));
        follow->setChecked(false);
        QCOMPARE(caret->outline(), QRect());
        QVERIFY(!LiveViewOptions::storedFollow());
        follow->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!caret->outline().isEmpty(), kLoad);
    }

    // Each width lays the page out as on a screen that wide, scaled to the
    // view, and is kept.
    void widthsActAsScreens()
    {
        show("<style>#m{width:1px} @media (min-width:500px){#m{width:2px}} @media (min-width:1000px){#m{width:3px}}"
             "</style><div id=m>m</div>");
        LiveViewOptions *options = m_dock->options();
        const int view = area()->widget()->width();
        QVERIFY2(view >= 330 && view < 500, qPrintable(QString::number(view)));
        const struct {
            int width;
            int laidOut;
            int media; // the width the page's media queries give #m
        } rows[] = {{1280, 1280, 3}, {768, 768, 2}, {375, 375, 1}, {0, view, 1}};
        for (const auto &row : rows) {
            options->chooseWidth(row.width);
            QCOMPARE(LiveViewOptions::storedWidth(), row.width);
            QTRY_VERIFY_WITH_TIMEOUT(qAbs(run(area(), QStringLiteral("innerWidth")).toInt() - row.laidOut) <= 1, kLoad);
            QCOMPARE(run(area(), QStringLiteral("Math.round(parseFloat(getComputedStyle("
                                                 "document.getElementById('m')).width))")).toInt(),
                     row.media);
            QCOMPARE(area()->zoom(), row.width ? double(view) / row.width : 1.0);
        }
    }

    // What the settings hold, read back; anything else gives the default.
    void settingsAreRead()
    {
        QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
        const struct {
            const char *follow;
            const char *width;
            bool follows;
            int chosen;
        } rows[] = {{"false", "768", false, 768}, {"true", "375", true, 375}, {"garbage", "999", true, 0},
                    {"", "-1", true, 0}, {"0", "1280 px", true, 0}};
        for (const auto &row : rows) {
            store.setValue(QStringLiteral("Editor/liveFollowCaret"), QLatin1String(row.follow));
            store.setValue(QStringLiteral("Editor/liveWidth"), QLatin1String(row.width));
            store.sync();
            QCOMPARE(LiveViewOptions::storedFollow(), row.follows);
            QCOMPARE(LiveViewOptions::storedWidth(), row.chosen);
        }
    }
};

QTEST_MAIN(LiveCaretTest)
#include "tst_live_caret.moc"
