#pragma once

#include <QTest>

#include <tuple>

namespace tw::test {

// The columns of a data-driven test in one line: a name for each type.
template <typename... T, typename... Names>
void columns(Names... names)
{
    static_assert(sizeof...(T) == sizeof...(Names));
    (QTest::addColumn<T>(names), ...);
}

// The current row's values of the named columns, in order, for a structured
// binding: `auto [file, reason] = fetch<QString, QString>("file", "reason");`.
template <typename... T, typename... Names>
std::tuple<T...> fetch(Names... names)
{
    static_assert(sizeof...(T) == sizeof...(Names));
    return {*static_cast<T *>(QTest::qData(names, qMetaTypeId<T>()))...};
}

} // namespace tw::test
