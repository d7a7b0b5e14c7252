#pragma once

#include "pages/PageFile.h"

#include <QString>

namespace tw {

class Dialogs;
class frmDocument;

// The title and choices of the question asked before a Windows-1252 page
// that holds characters it cannot store is saved.
inline constexpr const char *kEncodingTitle = "Save";
inline constexpr const char *kEncodingReferences = "Write character references";
inline constexpr const char *kEncodingUtf8 = "Convert the page to UTF-8";

// Before a save: a Windows-1252 page holding a character that code page
// cannot store asks whether to write such characters as HTML character
// references or to convert the whole page to UTF-8; the answer becomes the
// document's encoding, so it is asked once per document. False when the user
// cancelled: then nothing is to be written and the encoding is unchanged.
bool settleEncoding(Dialogs &dialogs, const QString &name, PageEncoding &encoding,
                    const char *utf8, qsizetype length);

// The document's encoding and line-end style for the status bar, such as
// "UTF-8, CR LF" or "Windows-1252, LF".
QString documentFormatText(const frmDocument &document);

} // namespace tw
