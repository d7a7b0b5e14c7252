#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace tw {

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
};

// A found piece of the text: byte offsets into the UTF-8 document.
struct TextMatch {
    qsizetype start = -1;
    qsizetype length = 0;
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
};

// Searches UTF-8 bytes for plain text or a regular expression (PCRE2, Perl
// syntax), with Unicode case folding and word boundaries. The text may hold
// NUL bytes and bytes that are not valid UTF-8; they never match a letter and
// are never changed. A search that would take unbounded time (catastrophic
// backtracking) stops with an error instead of hanging.
//
// Every search returns "not found" when it fails; error() then says why.
class TextSearch {
public:
    TextSearch(const QByteArray &pattern, const FindOptions &options);
    ~TextSearch();
    TextSearch(const TextSearch &) = delete;
    TextSearch &operator=(const TextSearch &) = delete;

    // False when the pattern is empty or does not compile; error() says why.
    bool isValid() const { return m_code != nullptr; }
    QString error() const { return m_error; }
    int groupCount() const { return m_groups; }

    // The first match that starts at or after `from`, never an empty match at
    // `from` itself (so repeating the search always moves on). With wrap, a
    // search that reaches the end starts again at the beginning.
    TextMatch findNext(const char *data, qsizetype length, qsizetype from, bool wrap);
    // The last match that starts before `before`; with wrap, a search that
    // reaches the beginning goes on from the end.
    TextMatch findPrevious(const char *data, qsizetype length, qsizetype before, bool wrap);
    // Whether exactly [start, end) is a match (the selection a Replace acts on).
    bool matchesExactly(const char *data, qsizetype length, qsizetype start, qsizetype end);

    // Checks a replacement text against the pattern: a regular expression's
    // replacement may name only groups the expression has. Sets error().
    bool checkReplacement(const QByteArray &replacement);
    // The replacement for the last match found: for a regular expression $0-$9,
    // ${n} and $$, and \n \r \t \\ stand for groups and characters; plain text
    // replacements are taken as they are.
    QByteArray expand(const QByteArray &replacement, const char *data) const;

    // Every match from the start, in order, without overlaps. After an empty
    // match the search tries a non-empty one at the same place, then moves on
    // one character, so it always ends. A hard error stops it and returns false.
    template <typename Visit>
    bool forEachMatch(const char *data, qsizetype length, Visit visit);

private:
    // matchAt's flags: only a non-empty match starting exactly at the offset;
    // or any match but an empty one at the offset.
    static constexpr unsigned kNonEmptyHere = 1;
    static constexpr unsigned kNotEmptyAtOffset = 2;
    static constexpr unsigned kAnchored = 3;
    // 1 found, 0 none, -1 error.
    int matchAt(const char *data, qsizetype length, qsizetype offset, unsigned options, TextMatch &out);

    struct Pcre;
    std::unique_ptr<Pcre> m_pcre;
    void *m_code = nullptr;
    bool m_regex = false;
    int m_groups = 0;
    QString m_error;
};

// The outcome of Replace All: [start, end) of the old text becomes `text`,
// which holds the replaced matches and the unchanged bytes between them.
struct ReplaceAllResult {
    bool ok = false;
    QString error;
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype end = 0;
    QByteArray text;
};

// Builds the new text in one pass, so the caller can change the document with
// one edit however many matches there are. No match: ok with count 0.
ReplaceAllResult replaceAllMatches(TextSearch &search, const char *data, qsizetype length,
                                   const QByteArray &replacement);

// Steps forward over one UTF-8 character (one byte for a stray byte).
qsizetype nextCharacter(const char *data, qsizetype length, qsizetype at);

template <typename Visit>
bool TextSearch::forEachMatch(const char *data, qsizetype length, Visit visit)
{
    if (!isValid())
        return false;
    qsizetype pos = 0;
    bool afterEmpty = false;
    while (pos <= length) {
        TextMatch m;
        int r = 0;
        if (afterEmpty) {
            // After an empty match, try a non-empty one at the same place
            // before moving on by one character.
            r = matchAt(data, length, pos, kNonEmptyHere, m);
            if (r == 0) {
                if (pos >= length)
                    break;
                pos = nextCharacter(data, length, pos);
                r = matchAt(data, length, pos, 0u, m);
            }
        } else {
            r = matchAt(data, length, pos, 0u, m);
        }
        if (r < 0)
            return false;
        if (r == 0)
            break;
        visit(m);
        afterEmpty = m.length == 0;
        pos = m.end();
    }
    return true;
}

} // namespace tw
