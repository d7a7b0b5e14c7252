#pragma once

#include <QString>
#include <QtGlobal>

namespace tw {

class Dialogs;

// The one-line input box every generator asks through. The answer comes back
// exactly as typed; a cancelled box gives the empty text, which the callers
// treat like an empty answer.
QString Prompt(Dialogs &dialogs, const QString &text, const QString &title);

// True when the answer holds a letter: its lower-case form differs from its
// upper-case form under the user's locale, so a cased letter of any alphabet
// counts. Digits, signs, blanks, punctuation, caseless scripts and the empty
// text do not.
bool containsLetter(const QString &answer);

// Asks again, with the same texts, while the answer holds a letter. The empty
// answer passes.
QString promptWithoutLetters(Dialogs &dialogs, const QString &text, const QString &title);

// Asks again, with the same texts, while the answer is empty.
QString promptUntilNotEmpty(Dialogs &dialogs, const QString &text, const QString &title);

// The number an answer stands for. Blanks, tabs and line feeds anywhere are
// skipped; then one optional sign, ASCII digits, at most one full stop and
// more ASCII digits are read, up to the first character that cannot continue
// the number. Without leading digits the reading is 0. Digit runs too long for
// a double read as plus or minus infinity.
double numericReading(const QString &answer);

// A reading rounded to the nearest whole number, halves going to the even
// neighbour, as a 16-bit count; 0 when it does not round into -32768..32767.
qint16 countConversion(double reading);
inline qint16 countConversion(const QString &answer)
{
    return countConversion(numericReading(answer));
}

// A reading written as text: plain decimal digits for a whole number,
// otherwise the shortest of the fixed and exponent forms with up to 15
// significant digits and the default locale's decimal separator.
QString numberText(double reading);

} // namespace tw
