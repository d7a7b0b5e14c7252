#pragma once

#include <QByteArrayView>
#include <QStringList>

namespace tw::htmlNames {

// The element and attribute names of HTML 4.01 and HTML5 that the editor
// offers while the user types, in lower case and sorted.

// Every element name.
const QStringList &elements();
// The attribute names an element takes: its own and those every element
// takes. An element not in the table gets the latter only. Any case.
QStringList attributes(QByteArrayView element);

// Elements that never have content or a closing tag (<br>, <img>...).
bool isVoid(QByteArrayView element);
// Elements whose closing tag may be left out: the next sibling or the
// parent's closing tag ends them (<p>, <li>, <td>...).
bool hasOptionalEnd(QByteArrayView element);
// Elements whose content is text, never markup: <script> and <style>.
bool isRawText(QByteArrayView element);

// The names of `names` that start with `typed` (ignoring case), in the case
// the user started with: upper case when the first letter typed is upper
// case, or when nothing is typed yet and `upper` asks for it.
QStringList startingWith(const QStringList &names, const QString &typed, bool upper = false);

} // namespace tw::htmlNames
