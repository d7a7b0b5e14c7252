#pragma once

#include <QString>
#include <QUrl>

namespace tw {

// The target that a typed address stands for:
// - a web address with its scheme ("http://...", "about:blank") as written,
//   blanks and other characters a URL may not hold encoded;
// - "file://..." likewise as a URL;
// - "file:" followed by a path, an absolute path, or "~/..." as that local
//   file, every character of the path taken literally (blanks, '#', '%',
//   non-ASCII letters);
// - a relative path naming a file or folder in baseDir as that file;
// - anything else as a web site name ("www.example.org" -> http://...).
// The empty text, and text that makes no address, give an empty URL.
QUrl addressToUrl(const QString &typed, const QString &baseDir);

} // namespace tw
