#include "platform/AttributeValue.h"

namespace tw {

namespace {

// The characters HTML counts as blanks between attributes.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

} // namespace

QString quotedAttribute(const QString &value, AttributeKind kind)
{
    QString out;
    out.reserve(value.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\n':
            out += kind == AttributeKind::Address ? QLatin1String("%0A") : QLatin1String("\n");
            break;
        case u'\r':
            out += kind == AttributeKind::Address ? QLatin1String("%0D") : QLatin1String("\r");
            break;
        default:
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString bareAttribute(const QString &value)
{
    // Blanks before and after the value are harmless: the reader skips the
    // first and the second end the value where it ends anyway.
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && isBlank(value.at(first)))
        ++first;
    while (last > first && isBlank(value.at(last - 1)))
        --last;
    for (qsizetype i = first; i < last; ++i) {
        const QChar c = value.at(i);
        if (isBlank(c) || QStringView(u"\"'=<>`").contains(c))
            return quotedAttribute(value);
    }
    return value;
}

} // namespace tw
