#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "pages/LongLines.h"
#include "platform/FileErrors.h"

namespace tw {

class Utf8Census;

// How a page's bytes on disk relate to the UTF-8 text in its editor.
//   Utf8:   the file is valid UTF-8 (NUL bytes allowed); the editor holds the
//           file's bytes unchanged.
//   Legacy: the file holds single-byte text that is not valid UTF-8; each
//           byte is shown with its Windows-1252 meaning. The five bytes that
//           code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
//           the control characters U+0081 etc., so every byte has exactly one
//           character and saving gives the same bytes back.
//   LegacyReferences: Legacy, where the characters Windows-1252 cannot hold
//           are written as HTML character references ("&#8594;"). Reading
//           never gives it; the user picks it for a document at a save.
// A Utf8 page may hold a few stray bytes that are not UTF-8: the editor
// keeps them, and they are written back as they were.
enum class PageEncoding { Utf8, Legacy, LegacyReferences };

// "UTF-8", "Windows-1252", "Windows-1252 + &#references;" for the status bar.
QString encodingName(PageEncoding encoding);

struct PageReadResult {
    bool ok = false;
    QString error; // a message for the user naming the file and the reason
    QByteArray utf8; // the text for SourceEditor::loadBytes
    PageEncoding encoding = PageEncoding::Utf8;
};

// Where PageReader puts a page's UTF-8 text.
class PageSink {
public:
    virtual ~PageSink() = default;
    // Called before the first piece, and once more when the text starts over
    // (the page turned out to be Windows-1252): whatever was appended before
    // is dropped. About sizeHint bytes will follow (exactly, unless the file
    // changes while it is read). False when there is no memory for them.
    virtual bool start(qsizetype sizeHint) = 0;
    // False when there is no memory for the piece.
    virtual bool append(const char *data, qsizetype size) = 0;
};

// Reads a page file in pieces, so that the only whole copy of the text is
// the one the sink keeps. The bytes go to the sink as they are read while
// they are judged; if they turn out not to be UTF-8 (see Utf8Census), the
// file is read once more and converted from Windows-1252 piece by piece.
class PageReader {
public:
    static constexpr qsizetype kChunkSize = 1 << 20;
    // The most text a page may have (the editor holds less than 2 GiB).
    // Reading stops there, also for a file that said it was smaller.
    static constexpr qint64 kLargestPage = 2'000'000'000;

    explicit PageReader(const QString &path, qsizetype chunkSize = kChunkSize);

    // Before open(): the most text the page may have, in UTF-8 bytes.
    void setLimit(qint64 bytes) { m_limit = bytes; }
    // Opens the file. Folders, devices and pipes are refused, and so is a
    // file larger than the limit. False with error() when the file cannot be
    // read.
    bool open();
    // Reads the opened file into the sink and closes it. False with error()
    // on a read failure, when the text grows beyond the limit, or when the
    // sink has no memory for the text; the sink then holds part of it at most.
    bool read(PageSink &sink);

    // Records that the text read could not be held after all (the sink ran
    // out of memory once the read was done): error() then says so.
    void failForMemory();

    // The size the file had when it was opened.
    qint64 size() const { return m_size; }
    PageEncoding encoding() const { return m_encoding; }
    // After read(): the characters of the page's longest line, counted as
    // the bytes go by.
    qint64 longestLine() const { return m_longestLine; }
    // A message for the user naming the file and the reason.
    const QString &error() const { return m_error; }

private:
    bool fail(const QString &reason);
    bool pass(PageSink &sink, char *buffer, char *converted, Utf8Census *census);

    QString m_path;
    qsizetype m_chunkSize;
    QFile m_file;
    qint64 m_size = 0;
    qint64 m_limit = kLargestPage;
    qint64 m_taken = 0; // bytes read in this pass
    PageEncoding m_encoding = PageEncoding::Utf8;
    LineCensus m_lines;
    qint64 m_longestLine = 0;
    QString m_error;
};

// Reads a page file whole and returns its text as UTF-8 together with the
// encoding to save it back with. Folders, devices and pipes are refused, and
// so is a text larger than limit bytes.
PageReadResult readPage(const QString &path, qint64 limit = PageReader::kLargestPage);

// Reads a file's bytes already in memory as PageReader reads them: Utf8 when
// they read as UTF-8 (the text is then the bytes as they are), else Legacy,
// with the text converted from Windows-1252 into `converted`.
PageEncoding decodePageBytes(const char *data, qsizetype size, QByteArray &converted);

struct PageWriteResult {
    bool ok = false;
    QString error; // a message for the user naming the file and the reason
    PageEncoding written = PageEncoding::Utf8; // the encoding written (when ok)
};

// Replaces the file at path with the text followed by CR LF. The new content
// goes to a temporary file that then takes the old file's place (keeping its
// permission bits and, where allowed, its owner, for every user), so a failed
// save leaves the old file as it was. Only a folder that cannot hold a new
// file makes the save write the file in place (see writePageInPlace). A path
// that names a character device (/dev/null) is written in place rather than
// replaced; a pipe, socket or block device is refused, and no open waits. The
// text is not copied when written as UTF-8; Legacy text is encoded in small
// pieces as it is written. Legacy text holding a character Windows-1252
// cannot store is refused: the caller settles the encoding first.
// A file-size limit fails the write with a message: the signal such a limit
// raises (SIGXFSZ) is ignored from the first save on.
PageWriteResult writePage(const QString &path, const char *utf8, qsizetype length,
                          PageEncoding encoding);

// The same safe save, writing the text exactly as given with no CR LF after
// it: a page changed where it lies on disk (Replace in Files) keeps every
// other byte it had.
PageWriteResult writePageExactly(const QString &path, const char *utf8, qsizetype length,
                                 PageEncoding encoding);

// Overwrites an existing regular file in place without ever shortening or
// damaging it when the new content does not fit: the room the new content
// needs beyond the old size is reserved first (posix_fallocate), and when it
// cannot be, the save is refused with the reason and the file is as it was.
PageWriteResult writePageInPlace(const QString &path, const char *utf8, qsizetype length,
                                 PageEncoding encoding, bool finalLineEnd = true);

} // namespace tw
