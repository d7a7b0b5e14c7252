#pragma once

#include <QByteArray>
#include <QList>

namespace tw::checking {

// Where tidy's messages point, in the editor's terms.
//
// Tidy counts lines from 1, ending a line at LF, CR LF or a lone CR, and
// columns from 1 in characters it reads, a tab reaching to the next multiple
// of 8 (the tab-size option); a byte order mark at the start, control
// characters other than tab and line ends, and, read as Windows-1252, the
// five bytes that code page leaves undefined take no column. A malformed
// UTF-8 sequence (a lead byte and the continuation bytes that follow it) is
// one character. A column a dropped character shares with the next one
// points at that next one. The editor holds the page as UTF-8, a Windows-1252 page
// converted, and counts positions in bytes.

// A span of the editor's text, in byte positions.
struct Span {
    qint64 start = 0;
    qint64 end = 0;
    bool operator==(const Span &o) const { return start == o.start && end == o.end; }
};

// A line and column in tidy's terms.
struct TidyPlace {
    int line = 0;
    int column = 0;
};

// The editor's text as tidy reads it for a Windows-1252 page: each character
// as its byte, and one the code page lacks as a decimal character reference
// ("&#8594;"), as such a page is saved; a malformed byte stays as it is.
QByteArray windows1252ForCheck(const char *utf8, qsizetype size);

// For each place, the span of the editor's UTF-8 text it points at: from the
// character at that line and column (the end of the line when the column lies
// beyond it; the end of the text when the line does) over the tag starting
// there up to its '>', the entity up to its ';', or else the one character,
// never past the end of the line. `legacy`: tidy read the text as
// windows1252ForCheck() gave it. A place with line 0 gives an empty span at 0.
QList<Span> spansOf(const char *utf8, qsizetype size, bool legacy, const QList<TidyPlace> &places);

// The column tidy gives the character that follows these bytes, the start of
// a line of the editor's text.
int columnAfter(const char *utf8, qsizetype size, bool legacy);

} // namespace tw::checking
