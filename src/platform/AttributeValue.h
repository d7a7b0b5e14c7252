#pragma once

#include <QString>

namespace tw {

// What an attribute's value holds: plain text (a name, a value, a tip), or an
// address (a link, a picture's file name), which may not hold a line break.
enum class AttributeKind { Text, Address };

// A value between double quotes, so that whatever was typed cannot end the
// value early and start a new attribute or close the tag: each " is written
// as &quot;, and in an address each line feed as %0A and each carriage return
// as %0D. Everything else stays as typed. The result includes the quotes.
QString quotedAttribute(const QString &value, AttributeKind kind = AttributeKind::Text);

// A value written without quotes (a number as typed). It stays bare, the
// empty value and blanks around it included, unless a blank or line break
// inside it would end it early, or it holds a quote, =, <, > or ` that would
// make the tag unreadable; then it is written as quotedAttribute() does.
QString bareAttribute(const QString &value);

} // namespace tw
