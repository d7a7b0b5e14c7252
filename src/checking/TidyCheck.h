#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace tw::checking {

// How a message weighs: tidy's errors, warnings and notes.
enum class Kind { Error, Warning, Info };

// One of tidy's messages as the tidy program prints it: "line L column C -
// Kind: text". Line and column are tidy's own (see TextPlaces.h); both are 0
// for a message about the whole page.
struct CheckMessage {
    int line = 0;
    int column = 0;
    Kind kind = Kind::Warning;
    QString text;
    bool operator==(const CheckMessage &o) const
    {
        return line == o.line && column == o.column && kind == o.kind && text == o.text;
    }
};

// How the bytes handed to tidy are to be read.
enum class Input { Utf8, Windows1252 };

// The options every check runs with, as name and value in tidy's own terms,
// in the order the help page lists them. They leave the page's case and
// doctype alone and report what tidy reports by default, with room for many
// errors.
const QList<std::pair<const char *, const char *>> &checkOptions();

// The depth of nested tags beyond which a page is not handed to tidy: tidy's
// parser descends once per level and would run out of stack.
inline constexpr int kDeepestNesting = 50000;

// Tidy's messages for these bytes in the order tidy reports them: the lines
// `tidy -e` prints for the same bytes and options, without its summary. A
// page tidy cannot read (it refuses it, or its tags nest deeper than
// kDeepestNesting) gives one error message at line 0 saying so.
QList<CheckMessage> tidyMessages(const char *bytes, qsizetype size, Input input);

// The text tidy prints for a kind: "Error", "Warning", "Info".
QString kindName(Kind kind);

// The error text for a page tidy could not read, and for one nested too deeply.
inline constexpr const char *kUnreadable = "Tidy could not read this page, so it was not checked";
inline constexpr const char *kTooDeep = "Tags nest more than 50000 deep here, too deep for Tidy to check";

// How deep the elements in the bytes nest, counted so as never to count less
// than tidy's parser descends: a start tag of an element that can hold
// content opens a level (one whose end tag may be left out, such as P or LI,
// ends the same element just before it); an end tag closes its element only
// when nothing but such elements lie above it. Comments, and the text of
// scripts and style sheets, open nothing. Counting stops above stopAt.
int nestingDepth(const char *bytes, qsizetype size, int stopAt);

} // namespace tw::checking
