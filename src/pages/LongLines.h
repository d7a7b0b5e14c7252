#pragma once

#include <QByteArray>
#include <QString>

namespace tw {

// The editor lays out a whole line again after every change to it, so a key
// typed on a very long line costs time in proportion to the line. Beyond this
// many characters a key takes about a quarter of a second or more (measured
// with bench/run-longline-bench.sh), and a page holding such a line is opened
// only after the user has chosen how.
inline constexpr qint64 kLongLineLimit = 512 * 1024;

// Follows the lines of a text given in pieces of any size and keeps the
// length of the longest: in bytes, and in characters were the bytes UTF-8
// (every byte that does not continue a character counts). CR, LF and CR LF
// end a line, also when CR and LF come in different pieces.
class LineCensus {
public:
    void add(const char *data, qsizetype size);
    qint64 longestBytes() const { return qMax(m_maxBytes, m_bytes); }
    qint64 longestCharacters() const { return qMax(m_maxCharacters, m_bytes - m_continuation); }

private:
    void endLine();

    qint64 m_bytes = 0; // of the line under way
    qint64 m_continuation = 0; // its bytes 0x80-0xBF
    qint64 m_maxBytes = 0;
    qint64 m_maxCharacters = 0;
};

// The characters (UTF-8) of the longest line of the text.
qint64 longestLine(const char *utf8, qsizetype size);

// The text's first line end (CR LF, LF or CR), or CR LF, the line end a save
// writes, when the text has none.
QByteArray lineEndOf(const char *text, qsizetype size);

// The UTF-8 text with lineEnd after each '>' of every line longer than limit
// characters; other lines, and every existing line end, stay as they are. A
// '>' that ends its line (or the text) gets no break after it. '>' is a byte
// of its own in UTF-8, so no break splits a character.
QByteArray breakLongLines(const char *utf8, qsizetype size, qint64 limit, const QByteArray &lineEnd);

} // namespace tw
