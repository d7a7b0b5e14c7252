#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <string>
#include <string_view>

namespace tw::spelling {

// The words of a page's text that are read as prose: the text between tags
// and the values of `alt`, `title` and `placeholder`. Tag and attribute names,
// other attributes' values, comments, declarations and the content of
// `<script>` and `<style>` are skipped. Character references are decoded, so
// `caf&eacute;` is one word; an apostrophe (' or U+2019) between two letters
// stays inside its word. A run that holds a digit or an underscore, or is
// joined to more letters by '.', '/', ':' or '@' (an address, a file name, a
// version), is not a word. Bytes that are not UTF-8 end words.
//
// `word` is the word as UTF-8 with U+2019 written as ', valid during the call
// only; start and end are its byte offsets in the text, references included.
using WordSink = std::function<void(qint64 start, qint64 end, std::string_view word)>;
void forEachWord(const char *utf8, qsizetype size, const WordSink &sink);

// The word in these bytes of the text (one span forEachWord gave), decoded.
QString decodeWord(const char *utf8, qsizetype size);

// The value of the `lang` attribute of the page's `<html>` tag, trimmed; empty
// when there is none.
QString pageLanguage(const char *utf8, qsizetype size);

} // namespace tw::spelling
