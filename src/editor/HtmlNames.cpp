#include "editor/HtmlNames.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace tw::htmlNames {

namespace {

struct Element {
    const char *name;
    const char *attributes; // its own, separated by blanks
};

const char kCellParts[] = "align char charoff valign";
const char kCell[] = "abbr align axis bgcolor char charoff colspan headers height nowrap rowspan scope valign width";
const char kEdit[] = "cite datetime";

// Sorted by name: looked up by binary search.
const Element kElements[] = {
    {"a", "charset coords download href hreflang name ping referrerpolicy rel rev shape target type"},
    {"abbr", ""},
    {"acronym", ""},
    {"address", ""},
    {"applet", "align alt archive code codebase height hspace name object vspace width"},
    {"area", "alt coords download href hreflang nohref ping referrerpolicy rel shape target"},
    {"article", ""},
    {"aside", ""},
    {"audio", "autoplay controls crossorigin loop muted preload src"},
    {"b", ""},
    {"base", "href target"},
    {"basefont", "color face size"},
    {"bdi", ""},
    {"bdo", ""},
    {"big", ""},
    {"blockquote", "cite"},
    {"body", "alink background bgcolor link onload onunload text vlink"},
    {"br", "clear"},
    {"button", "autofocus disabled form formaction formenctype formmethod formnovalidate formtarget name type value"},
    {"canvas", "height width"},
    {"caption", "align"},
    {"center", ""},
    {"cite", ""},
    {"code", ""},
    {"col", "align char charoff span valign width"},
    {"colgroup", "align char charoff span valign width"},
    {"data", "value"},
    {"datalist", ""},
    {"dd", ""},
    {"del", kEdit},
    {"details", "open"},
    {"dfn", ""},
    {"dialog", "open"},
    {"dir", "compact"},
    {"div", "align"},
    {"dl", "compact"},
    {"dt", ""},
    {"em", ""},
    {"embed", "height src type width"},
    {"fieldset", "disabled form name"},
    {"figcaption", ""},
    {"figure", ""},
    {"font", "color face size"},
    {"footer", ""},
    {"form", "accept accept-charset action autocomplete enctype method name novalidate onreset onsubmit target"},
    {"frame", "frameborder longdesc marginheight marginwidth name noresize scrolling src"},
    {"frameset", "cols onload onunload rows"},
    {"h1", "align"},
    {"h2", "align"},
    {"h3", "align"},
    {"h4", "align"},
    {"h5", "align"},
    {"h6", "align"},
    {"head", "profile"},
    {"header", ""},
    {"hgroup", ""},
    {"hr", "align noshade size width"},
    {"html", "manifest version xmlns"},
    {"i", ""},
    {"iframe", "align allow allowfullscreen frameborder height loading longdesc marginheight marginwidth name "
               "referrerpolicy sandbox scrolling src srcdoc width"},
    {"img", "align alt border crossorigin decoding height hspace ismap loading longdesc name referrerpolicy sizes "
            "src srcset usemap vspace width"},
    {"input", "accept align alt autocomplete autofocus checked dirname disabled form formaction formenctype "
              "formmethod formnovalidate formtarget height list max maxlength min minlength multiple name onselect "
              "pattern placeholder readonly required size src step type usemap value width"},
    {"ins", kEdit},
    {"isindex", "prompt"},
    {"kbd", ""},
    {"label", "for form"},
    {"legend", "align"},
    {"li", "type value"},
    {"link", "as charset crossorigin href hreflang integrity media rel rev sizes target type"},
    {"main", ""},
    {"map", "name"},
    {"mark", ""},
    {"menu", "compact"},
    {"meta", "charset content http-equiv name scheme"},
    {"meter", "high low max min optimum value"},
    {"nav", ""},
    {"noframes", ""},
    {"noscript", ""},
    {"object", "align archive border classid codebase codetype data declare height hspace name standby type usemap "
               "vspace width"},
    {"ol", "compact reversed start type"},
    {"optgroup", "disabled label"},
    {"option", "disabled label selected value"},
    {"output", "for form name"},
    {"p", "align"},
    {"param", "name type value valuetype"},
    {"picture", ""},
    {"pre", "width"},
    {"progress", "max value"},
    {"q", "cite"},
    {"rp", ""},
    {"rt", ""},
    {"ruby", ""},
    {"s", ""},
    {"samp", ""},
    {"script", "async charset crossorigin defer integrity language nomodule referrerpolicy src type"},
    {"search", ""},
    {"section", ""},
    {"select", "autocomplete autofocus disabled form multiple name required size"},
    {"slot", "name"},
    {"small", ""},
    {"source", "media sizes src srcset type"},
    {"span", ""},
    {"strike", ""},
    {"strong", ""},
    {"style", "media type"},
    {"sub", ""},
    {"summary", ""},
    {"sup", ""},
    {"table", "align bgcolor border cellpadding cellspacing frame rules summary width"},
    {"tbody", kCellParts},
    {"td", kCell},
    {"template", ""},
    {"textarea", "autocomplete autofocus cols dirname disabled form maxlength minlength name onselect placeholder "
                 "readonly required rows wrap"},
    {"tfoot", kCellParts},
    {"th", kCell},
    {"thead", kCellParts},
    {"time", "datetime"},
    {"title", ""},
    {"tr", "align bgcolor char charoff valign"},
    {"track", "default kind label src srclang"},
    {"tt", ""},
    {"u", ""},
    {"ul", "compact type"},
    {"var", ""},
    {"video", "autoplay controls crossorigin height loop muted playsinline poster preload src width"},
    {"wbr", ""},
};

// What every element takes: the core, language and event attributes of
// HTML 4.01 and the global attributes of HTML5.
const char kGlobal[] = "accesskey class contenteditable dir draggable hidden id lang onblur onchange onclick "
                       "ondblclick onfocus oninput onkeydown onkeypress onkeyup onmousedown onmousemove onmouseout "
                       "onmouseover onmouseup spellcheck style tabindex title translate";

// The void elements of HTML5 and the empty ones HTML 4.01 has besides.
const QByteArrayView kVoid[] = {"area", "base", "basefont", "br", "col", "embed", "frame", "hr", "img",
                             "input", "isindex", "link", "meta", "param", "source", "track", "wbr"};
const QByteArrayView kOptionalEnd[] = {"body", "colgroup", "dd", "dt", "head", "html", "li", "optgroup", "option",
                                    "p", "rp", "rt", "tbody", "td", "tfoot", "th", "thead", "tr"};

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = b.size();
    if (a.size() != n)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

template<size_t N>
bool listed(const QByteArrayView (&names)[N], QByteArrayView name)
{
    return std::any_of(std::begin(names), std::end(names),
                       [name](QByteArrayView n) { return equalsIgnoringCase(name, n); });
}

const Element *find(QByteArrayView name)
{
    for (const Element &e : kElements)
        if (equalsIgnoringCase(name, e.name))
            return &e;
    return nullptr;
}

} // namespace

const QStringList &elements()
{
    static const QStringList names = [] {
        QStringList out;
        for (const Element &e : kElements)
            out << QString::fromLatin1(e.name);
        return out;
    }();
    return names;
}

QStringList attributes(QByteArrayView element)
{
    QStringList out = QString::fromLatin1(kGlobal).split(QLatin1Char(' '));
    if (const Element *e = find(element))
        out += QString::fromLatin1(e->attributes).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    out.sort();
    out.removeDuplicates();
    return out;
}

bool isVoid(QByteArrayView element)
{
    return listed(kVoid, element);
}

bool hasOptionalEnd(QByteArrayView element)
{
    return listed(kOptionalEnd, element);
}

bool isRawText(QByteArrayView element)
{
    return equalsIgnoringCase(element, "script") || equalsIgnoringCase(element, "style");
}

QStringList startingWith(const QStringList &names, const QString &typed, bool upper)
{
    if (!typed.isEmpty())
        upper = typed.at(0).isUpper();
    QStringList out;
    for (const QString &name : names)
        if (name.startsWith(typed, Qt::CaseInsensitive))
            out << (upper ? name.toUpper() : name);
    return out;
}

} // namespace tw::htmlNames
