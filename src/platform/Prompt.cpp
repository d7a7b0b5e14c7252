#include "platform/Prompt.h"

#include "platform/Dialogs.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tw {

QString Prompt(Dialogs &dialogs, const QString &text, const QString &title)
{
    return dialogs.prompt(text, title);
}

bool containsLetter(const QString &answer)
{
    const QLocale locale = QLocale::system();
    return locale.toLower(answer) != locale.toUpper(answer);
}

QString promptWithoutLetters(Dialogs &dialogs, const QString &text, const QString &title)
{
    QString answer = Prompt(dialogs, text, title);
    while (containsLetter(answer))
        answer = Prompt(dialogs, text, title);
    return answer;
}

QString promptUntilNotEmpty(Dialogs &dialogs, const QString &text, const QString &title)
{
    QString answer = Prompt(dialogs, text, title);
    while (answer.isEmpty())
        answer = Prompt(dialogs, text, title);
    return answer;
}

double numericReading(const QString &answer)
{
    // Collect the characters of the number, then convert them with
    // from_chars, which rounds correctly and ignores the process locale.
    std::string number;
    bool pointSeen = false;
    bool digitSeen = false;
    bool wholePartNonZero = false;
    for (const QChar c : answer) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        if (u >= u'0' && u <= u'9') {
            number.push_back(static_cast<char>(u));
            digitSeen = true;
            wholePartNonZero = wholePartNonZero || (!pointSeen && u != u'0');
        } else if ((u == u'+' || u == u'-') && number.empty()) {
            number.push_back(static_cast<char>(u));
        } else if (u == u'.' && !pointSeen && digitSeen) {
            number.push_back('.');
            pointSeen = true;
        } else {
            break;
        }
    }
    if (!digitSeen)
        return 0.0;
    const bool negative = number.front() == '-';
    // from_chars takes no plus sign.
    const std::size_t start = (number.front() == '+' || negative) ? 1 : 0;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(number.data() + start, number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range)
        value = wholePartNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

qint16 countConversion(double reading)
{
    if (!std::isfinite(reading))
        return 0;
    const double below = std::floor(reading);
    const double fraction = reading - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded < -32768.0 || rounded > 32767.0)
        return 0;
    return static_cast<qint16>(rounded);
}

QString numberText(double reading)
{
    if (reading == 0.0)
        return QStringLiteral("0"); // no "-0"
    if (std::isfinite(reading) && std::floor(reading) == reading)
        return QString::number(reading, 'f', 0);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(reading, 'g', 15);
}

} // namespace tw
