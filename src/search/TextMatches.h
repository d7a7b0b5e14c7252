#pragma once

// Matching within one page's bytes: a quick look for bytes every match
// holds, the matches with their lines and columns, and the digest of a text
// searched.

#include "editor/TextSearch.h"

#include <QByteArray>
#include <QString>

#include <atomic>

namespace tw::search {

struct PageHits;

// The digest that tells whether a text is the one searched.
QByteArray textDigest(const char *data, qsizetype length);

// Finds every match of one compiled pattern in a text: its line, column and
// the line shown. Returns false when the search stopped on an error (see
// TextSearch::error), true otherwise; stops early when `stop` turns true.
bool findInText(TextSearch &search, const char *data, qsizetype length, PageHits &page,
                const std::atomic<bool> &stop);

// A run of bytes that every match of the pattern holds, for a quick look
// before the full search; empty when there is none worth looking for. Plain
// ASCII text only: without matchCase the letters k and s are left out, as
// Unicode folding lets them match the Kelvin sign and the long s.
QByteArray requiredBytes(const QString &pattern, const FindOptions &options);
// Whether the text holds the bytes (ASCII letters of either case unless matchCase).
bool holdsBytes(const char *data, qsizetype length, const QByteArray &needle, bool matchCase);

} // namespace tw::search
