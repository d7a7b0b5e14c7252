#include "checking/TidyCheck.h"

#include "platform/MarkupChars.h"

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tw::checking {

const QList<std::pair<const char *, const char *>> &checkOptions()
{
    static const QList<std::pair<const char *, const char *>> options = {
        {"doctype", "auto"},             // judge the page by the doctype it has
        {"show-errors", "1000"},         // report every error, not just the first six
        {"show-warnings", "yes"},
        {"show-info", "yes"},
        {"tab-size", "8"},               // columns count a tab to the next multiple of 8
        {"drop-empty-elements", "no"},   // empty elements are the author's choice
        {"drop-empty-paras", "no"},
        {"uppercase-tags", "no"},        // the page's own letter case is kept
        {"uppercase-attributes", "no"},
        {"markup", "no"},                // only messages, never a tidied copy
    };
    return options;
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Error:
        return QStringLiteral("Error");
    case Kind::Warning:
        return QStringLiteral("Warning");
    case Kind::Info:
        return QStringLiteral("Info");
    }
    return QString();
}

namespace {

// What the message callback collects. Tidy calls the callback for every
// message before it decides what to print; this keeps what the tidy program
// prints: report messages only, none after `show-errors` errors.
struct Collector {
    int errors = 0;
    int errorLimit = 6;
    QList<CheckMessage> messages;
};

Bool TIDY_CALL collect(::TidyMessage message)
{
    auto *c = static_cast<Collector *>(tidyGetAppData(tidyGetMessageDoc(message)));
    const TidyReportLevel level = tidyGetMessageLevel(message);
    if (level > TidyFatal)
        return no; // the summary and the notes below it
    const bool shown = c->errors < c->errorLimit;
    if (level == TidyError)
        ++c->errors;
    if (!shown)
        return no;
    CheckMessage m;
    m.line = tidyGetMessageLine(message);
    m.column = tidyGetMessageColumn(message);
    m.kind = level == TidyInfo ? Kind::Info : level == TidyWarning || level == TidyAccess ? Kind::Warning : Kind::Error;
    m.text = QString::fromUtf8(tidyGetMessage(message));
    c->messages << m;
    return no; // tidy prints nothing itself
}

QList<CheckMessage> oneError(const char *text)
{
    CheckMessage m;
    m.kind = Kind::Error;
    m.text = QString::fromLatin1(text);
    return {m};
}

using markupChars::isNameChar;
using markupChars::oneOf;

bool isOptionalEnd(const QByteArray &name)
{
    return oneOf(name, {"p", "li", "dt", "dd", "option", "tr", "td", "th"});
}

} // namespace

int nestingDepth(const char *bytes, qsizetype size, int stopAt)
{
    const char *p = bytes;
    const char *end = bytes + size;
    std::vector<QByteArray> open;
    int deepest = 0;
    const auto find = [&](const char *from, const char *what) {
        const char *at = std::search(from, end, what, what + std::strlen(what));
        return at;
    };
    while (p < end) {
        p = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
        if (!p)
            break;
        if (end - p >= 4 && std::memcmp(p, "<!--", 4) == 0) {
            p = find(p + 4, "-->");
            continue;
        }
        const bool closing = p + 1 < end && p[1] == '/';
        const char *n = p + (closing ? 2 : 1);
        const char *nameEnd = n;
        while (nameEnd < end && isNameChar(*nameEnd))
            ++nameEnd;
        if (nameEnd == n || !((*n >= 'a' && *n <= 'z') || (*n >= 'A' && *n <= 'Z'))) {
            ++p;
            continue;
        }
        const QByteArray name = QByteArray(n, nameEnd - n).toLower();
        const char *close = static_cast<const char *>(std::memchr(nameEnd, '>', size_t(end - nameEnd)));
        const char *after = close ? close + 1 : end;
        if (closing) {
            // An end tag closes its element, and the elements above it whose
            // own end tag may be left out; it never closes other elements
            // (tidy keeps them open, or opens them again further on).
            auto at = open.rbegin();
            while (at != open.rend() && *at != name && isOptionalEnd(*at))
                ++at;
            if (at != open.rend() && *at == name)
                open.erase(std::prev(at.base()), open.end());
        } else if (oneOf(name, {"script", "style", "textarea", "title", "xmp"})) {
            const QByteArray endTag = "</" + name;
            const char *e = after;
            while ((e = find(e, "</")) != end
                   && (end - e < endTag.size() || qstrnicmp(e, endTag.constData(), endTag.size()) != 0))
                e += 2;
            after = e;
        } else if (!(close && close[-1] == '/')
                   && !oneOf(name, {"area", "base", "basefont", "br", "col", "embed", "frame", "hr",
                                    "img", "input", "isindex", "keygen", "link", "meta", "param",
                                    "source", "spacer", "track", "wbr", "!doctype"})) {
            // Elements whose end tag may be left out end where the next one begins.
            if (!(isOptionalEnd(name) && !open.empty() && open.back() == name))
                open.push_back(name);
            deepest = std::max(deepest, int(open.size()));
            if (deepest > stopAt)
                return deepest;
        }
        p = after;
    }
    return deepest;
}

QList<CheckMessage> tidyMessages(const char *bytes, qsizetype size, Input input)
{
    if (nestingDepth(bytes, size, kDeepestNesting) > kDeepestNesting)
        return oneError(kTooDeep);
    Collector collector;
    TidyDoc doc = tidyCreate();
    tidySetAppData(doc, &collector);
    tidySetMessageCallback(doc, collect);
    for (const auto &[name, value] : checkOptions())
        tidyOptParseValue(doc, name, value);
    tidyOptSetBool(doc, TidyQuiet, yes);
    tidyOptParseValue(doc, "input-encoding", input == Input::Windows1252 ? "win1252" : "utf8");
    collector.errorLimit = int(tidyOptGetInt(doc, TidyShowErrors));

    TidyBuffer buffer;
    tidyBufInit(&buffer);
    tidyBufAttach(&buffer, reinterpret_cast<byte *>(const_cast<char *>(bytes)), uint(size));
    int status = size > 0 ? tidyParseBuffer(doc, &buffer) : tidyParseString(doc, "");
    if (status >= 0)
        status = tidyCleanAndRepair(doc);
    if (status >= 0)
        status = tidyRunDiagnostics(doc);
    tidyBufDetach(&buffer);
    tidyRelease(doc);
    if (status < 0)
        return oneError(kUnreadable);
    return collector.messages;
}

} // namespace tw::checking
