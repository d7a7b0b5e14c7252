#include "DataRows.h"
#include "editor/HtmlNames.h"
#include "editor/TagContext.h"

#include <QtTest>

using namespace tw;

namespace {

// The page text with the caret written as '|'.
struct Page {
    QByteArray text;
    qsizetype caret;
};
Page page(const QByteArray &marked)
{
    QByteArray text(marked);
    const qsizetype caret = text.indexOf('|');
    text.remove(caret, 1);
    return {text, caret};
}

QString describe(const tagContext::Completion &c, const QByteArray &text)
{
    switch (c.kind) {
    case tagContext::Completion::Element:
        return QStringLiteral("element:") + QString::fromUtf8(text.mid(c.start));
    case tagContext::Completion::Attribute:
        return QStringLiteral("attribute of %1:%2").arg(QString::fromUtf8(c.element), QString::fromUtf8(text.mid(c.start)));
    default:
        return QStringLiteral("none");
    }
}

} // namespace

// The rules behind help while typing, as a table over page text and caret.
class TagContextTest : public QObject {
    Q_OBJECT
private slots:
    void closingTag_data()
    {
        tw::test::columns<QByteArray, QByteArray>("marked", "added");
        QTest::newRow("plain") << QByteArray("<p>|") << QByteArray("</p>");
        QTest::newRow("case kept") << QByteArray("<Div>|") << QByteArray("</Div>");
        QTest::newRow("attributes, lines") << QByteArray("<table\n border=1 class=\"a b\">|") << QByteArray("</table>");
        QTest::newRow("quoted > before") << QByteArray("<a title=\"x>y\" href='>'>|") << QByteArray("</a>");
        QTest::newRow("quoted < before") << QByteArray("<a title=\"a<b\">|") << QByteArray("</a>");
        QTest::newRow("single-quoted < before") << QByteArray("<a title='a<b'>|") << QByteArray("</a>");
        QTest::newRow("custom element") << QByteArray("<my-el>|") << QByteArray("</my-el>");
        QTest::newRow("in double quotes") << QByteArray("<a title=\"x>|") << QByteArray();
        QTest::newRow("in single quotes") << QByteArray("<a title='x>|") << QByteArray();
        QTest::newRow("void") << QByteArray("<br>|") << QByteArray();
        QTest::newRow("void upper, attributes") << QByteArray("<IMG src=\"a.gif\">|") << QByteArray();
        QTest::newRow("void of HTML 4.01") << QByteArray("<frame src=a.htm>|") << QByteArray();
        QTest::newRow("void of HTML5") << QByteArray("<source src=a.ogg>|") << QByteArray();
        QTest::newRow("self-closed") << QByteArray("<p/>|") << QByteArray();
        QTest::newRow("closing tag") << QByteArray("<p></p>|") << QByteArray();
        QTest::newRow("doctype") << QByteArray("<!DOCTYPE html>|") << QByteArray();
        QTest::newRow("text >") << QByteArray("a > b>|") << QByteArray();
        QTest::newRow("in a comment") << QByteArray("<!-- <p>|") << QByteArray();
        QTest::newRow("after a comment") << QByteArray("<!-- a --><p>|") << QByteArray("</p>");
        QTest::newRow("in script") << QByteArray("<script>if (a<b>|") << QByteArray();
        QTest::newRow("in style") << QByteArray("<STYLE type=text/css>p<b>|") << QByteArray();
        QTest::newRow("the script tag") << QByteArray("<p><script>|") << QByteArray("</script>");
        QTest::newRow("after a script") << QByteArray("<script>x</script><p>|") << QByteArray("</p>");
        QTest::newRow("a name that starts with script") << QByteArray("<scripts>x<b>|") << QByteArray("</b>");
        QTest::newRow("<!-- in an ended script")
            << QByteArray("<script>document.write('<!--')</script><b>|") << QByteArray("</b>");
        QTest::newRow("script in a comment") << QByteArray("<!-- <script> --><b>|") << QByteArray("</b>");
    }
    void closingTag()
    {
        auto [marked, added] = tw::test::fetch<QByteArray, QByteArray>("marked", "added");
        const Page p = page(marked);
        QCOMPARE(tagContext::closingTagAfter(p.text, p.caret), added);
    }

    void closingName_data()
    {
        tw::test::columns<QByteArray, QByteArray>("marked", "added");
        QTest::newRow("innermost") << QByteArray("<div><p>text</|") << QByteArray("p>");
        QTest::newRow("after a closed one") << QByteArray("<div><p>a</p>\n</|") << QByteArray("div>");
        QTest::newRow("nested same name") << QByteArray("<div><div>a</div></|") << QByteArray("div>");
        QTest::newRow("as written") << QByteArray("<DIV>x</|") << QByteArray("DIV>");
        QTest::newRow("voids skipped") << QByteArray("<td><br><img src=x><hr/></|") << QByteArray("td>");
        QTest::newRow("open li") << QByteArray("<ul><li>a<li>b</|") << QByteArray("li>");
        QTest::newRow("li closed by ul") << QByteArray("<div><ul><li>a</ul></|") << QByteArray("div>");
        QTest::newRow("comment skipped") << QByteArray("<div><!-- <span> --></|") << QByteArray("div>");
        QTest::newRow("script text skipped") << QByteArray("<p><script>'<b>'</script></|") << QByteArray("p>");
        QTest::newRow("style text skipped") << QByteArray("<div><style>a</b></style></|") << QByteArray("div>");
        QTest::newRow("in script") << QByteArray("<script>var s = '</|") << QByteArray("script>");
        QTest::newRow("in a comment") << QByteArray("<b><!-- </|") << QByteArray();
        QTest::newRow("in a value") << QByteArray("<b><a title=\"</|") << QByteArray();
        QTest::newRow("nothing open") << QByteArray("<p>a</p></|") << QByteArray();
        QTest::newRow("nothing at all") << QByteArray("</|") << QByteArray();
    }
    void closingName()
    {
        auto [marked, added] = tw::test::fetch<QByteArray, QByteArray>("marked", "added");
        const Page p = page(marked);
        QCOMPARE(tagContext::closingNameAfter(p.text, p.caret), added);
    }

    void completion_data()
    {
        tw::test::columns<QByteArray, QString>("marked", "context");
        QTest::newRow("after <") << QByteArray("<p>x <|") << QStringLiteral("element:");
        QTest::newRow("name begun") << QByteArray("<ta|") << QStringLiteral("element:ta");
        QTest::newRow("long name begun") << QByteArray("<blockquo|") << QStringLiteral("element:blockquo");
        QTest::newRow("after an unfinished script tag") << QByteArray("<script\n<|") << QStringLiteral("element:");
        QTest::newRow("a blank in a tag") << QByteArray("<a |") << QStringLiteral("attribute of a:");
        QTest::newRow("attribute begun") << QByteArray("<A\n  hr|") << QStringLiteral("attribute of A:hr");
        QTest::newRow("after a value") << QByteArray("<img src=\"x\" |") << QStringLiteral("attribute of img:");
        QTest::newRow("after a bare attribute") << QByteArray("<input checked |") << QStringLiteral("attribute of input:");
        QTest::newRow("in a value") << QByteArray("<a title=\"x |") << QStringLiteral("none");
        QTest::newRow("before a value") << QByteArray("<a href= |") << QStringLiteral("none");
        QTest::newRow("closing tag") << QByteArray("</p |") << QStringLiteral("none");
        QTest::newRow("text") << QByteArray("<p>some text |") << QStringLiteral("none");
        QTest::newRow("in a comment") << QByteArray("<!-- <|") << QStringLiteral("none");
        QTest::newRow("in script") << QByteArray("<script>if (a <|") << QStringLiteral("none");
    }
    void completion()
    {
        auto [marked, context] = tw::test::fetch<QByteArray, QString>("marked", "context");
        const Page p = page(marked);
        QCOMPARE(describe(tagContext::completionAt(p.text, p.caret), p.text), context);
    }

    // The lists offered: narrowed to what is typed, in the case it began with.
    void names()
    {
        using namespace htmlNames;
        QCOMPARE(startingWith(elements(), QStringLiteral("ta")), QStringList{"table"});
        QCOMPARE(startingWith(elements(), QStringLiteral("Te")), (QStringList{"TEMPLATE", "TEXTAREA"}));
        QCOMPARE(startingWith(elements(), QStringLiteral("h")),
                 (QStringList{"h1", "h2", "h3", "h4", "h5", "h6", "head", "header", "hgroup", "hr", "html"}));
        QCOMPARE(startingWith(attributes("A"), QStringLiteral("hr")), (QStringList{"href", "hreflang"}));
        QCOMPARE(startingWith(attributes("img"), QStringLiteral("s")),
                 (QStringList{"sizes", "spellcheck", "src", "srcset", "style"}));
        QCOMPARE(startingWith(attributes("IMG"), QString(), true).first(), QStringLiteral("ACCESSKEY"));
        // An element outside the table still gets the attributes of every element.
        QCOMPARE(startingWith(attributes("my-widget"), QStringLiteral("c")),
                 (QStringList{"class", "contenteditable"}));
        QVERIFY(elements().contains("article") && elements().contains("font") && elements().contains("wbr"));
    }

    void matching_data()
    {
        tw::test::columns<QByteArray, QString>("marked", "pair");
        QTest::newRow("opening") << QByteArray("<d|iv id=a><p>x</p></div>") << QStringLiteral("<div id=a> </div>");
        QTest::newRow("caret before the name")
            << QByteArray("<|b>x</b>") << QStringLiteral("<b> </b>");
        QTest::newRow("closing, nested")
            << QByteArray("<DIV>a<div>b</div></div|>") << QStringLiteral("<DIV> </div>");
        QTest::newRow("opening, nested")
            << QByteArray("<div|>a<div>b</div></div>") << QStringLiteral("<div> </div>@18");
        QTest::newRow("comment and script skipped")
            << QByteArray("<ul|><!-- </ul> --><script>'</ul>'</script></ul>") << QStringLiteral("<ul> </ul>@42");
        QTest::newRow("the script's own") << QByteArray("<script>a<b></scr|ipt>")
                                          << QStringLiteral("<script> </script>");
        QTest::newRow("p with no closing tag") << QByteArray("<p|>a<p>b</p>") << QStringLiteral("none");
        QTest::newRow("void") << QByteArray("<br|>") << QStringLiteral("none");
        QTest::newRow("self-closed") << QByteArray("<b|/></b>") << QStringLiteral("none");
        QTest::newRow("nothing opened it") << QByteArray("x</b|>") << QStringLiteral("none");
        QTest::newRow("in a comment") << QByteArray("<!-- <b|> </b> -->") << QStringLiteral("none");
        QTest::newRow("not in a name") << QByteArray("<b>|x</b>") << QStringLiteral("none");
        QTest::newRow("in an attribute") << QByteArray("<b cl|ass=x>x</b>") << QStringLiteral("none");
    }
    void matching()
    {
        QFETCH(QByteArray, marked);
        QFETCH(QString, pair);
        const Page p = page(marked);
        const auto found = tagContext::matchingTags(p.text, p.caret);
        QString seen = QStringLiteral("none");
        if (found) {
            const auto piece = [&](const tagContext::Tag &t) {
                return QString::fromUtf8(p.text.mid(t.start, t.end - t.start));
            };
            seen = piece(found->opening) + QLatin1Char(' ') + piece(found->closing);
            if (pair.contains(QLatin1Char('@')))
                seen += QLatin1Char('@') + QString::number(found->closing.start);
        }
        QCOMPARE(seen, pair);
    }
};

QTEST_GUILESS_MAIN(TagContextTest)
#include "tst_tag_context.moc"
