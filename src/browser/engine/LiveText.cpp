#include "browser/engine/LiveText.h"

#include <algorithm>

namespace tw {

QString scriptString(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16 + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '"' || u == '\\') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == '\n') {
            out += QLatin1String("\\n");
        } else if (u < 0x20 || u == 0x2028 || u == 0x2029) {
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

TextEdit editBetween(QStringView before, QStringView after)
{
    const qsizetype most = qMin(before.size(), after.size());
    const qsizetype head = std::mismatch(before.begin(), before.begin() + most, after.begin()).first - before.begin();
    qsizetype tail = 0;
    while (tail < most - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return {head, before.size() - head - tail, after.mid(head, after.size() - head - tail).toString()};
}

} // namespace tw
