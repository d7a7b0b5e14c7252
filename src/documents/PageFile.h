#pragma once

#include <QByteArray>
#include <QString>

namespace tw {

// How a page's bytes on disk relate to the UTF-8 text in its editor.
//   Utf8:   the file is valid UTF-8 (NUL bytes allowed); the editor holds the
//           file's bytes unchanged.
//   Legacy: the file holds single-byte text that is not valid UTF-8; each
//           byte is shown with its Windows-1252 meaning. The five bytes that
//           code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
//           the control characters U+0081 etc., so every byte has exactly one
//           character and saving gives the same bytes back.
enum class PageEncoding { Utf8, Legacy };

struct PageReadResult {
    bool ok = false;
    QString error; // a message for the user naming the file and the reason
    QByteArray utf8; // the text for SourceEditor::loadBytes
    PageEncoding encoding = PageEncoding::Utf8;
};

// Reads a page file whole and returns its text as UTF-8 together with the
// encoding to save it back with. Folders, devices and pipes are refused.
PageReadResult readPage(const QString &path);

struct PageWriteResult {
    bool ok = false;
    QString error; // a message for the user naming the file and the reason
    // The encoding actually written (when ok). It differs from the one asked
    // for when a Legacy document holds characters Windows-1252 cannot store:
    // the page is then written as UTF-8 so that nothing is lost, and the
    // document should be saved as Utf8 from then on.
    PageEncoding written = PageEncoding::Utf8;
};

// Replaces the file at path with the text followed by CR LF. The new content
// goes to a temporary file that then takes the old file's place (keeping its
// permissions and, where allowed, its owner), so a failed save leaves the old
// file as it was. Only a folder that cannot hold a new file makes the save
// write the file in place. A path that names a device or pipe is written in
// place rather than replaced. The text is not copied when written as UTF-8;
// Legacy text is encoded in small pieces as it is written.
PageWriteResult writePage(const QString &path, const char *utf8, qsizetype length,
                          PageEncoding encoding);

} // namespace tw
