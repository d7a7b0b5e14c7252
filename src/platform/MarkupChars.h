#pragma once

#include <QByteArray>

#include <algorithm>
#include <initializer_list>

namespace tw::markupChars {

// The characters of HTML's markup as the scanners of pages read it, ASCII
// only: the blanks between names and attributes, the letters a tag name
// begins with, and the characters names go on with.
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

inline bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isNameStart(char c)
{
    return isAsciiLetter(c);
}

inline bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' || c == '.';
}

inline char lowerChar(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The name is one of these (both in lower case).
inline bool oneOf(const QByteArray &name, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(), [&name](const char *n) { return name == n; });
}

} // namespace tw::markupChars
