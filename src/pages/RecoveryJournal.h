#pragma once

#include "pages/PageFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tw {


// What is needed to rebuild a document with unsaved changes after a crash:
// a journal file of its edits (position, removed length, inserted bytes)
// replayed on the text the document started from. A copy of that start text
// is written once, when the journal starts (at the document's first change),
// so the text comes back even when its page was changed or deleted on disk
// since. Each edit costs the bytes it inserts plus 24, however long the page is.
//
// File layout, little-endian:
//   "TWJ1", u32 owner process id, u8 encoding,
//   u32 n + n bytes caption (UTF-8), u32 n + n bytes page path (UTF-8, empty
//   when untitled), u64 start length, u64 start hash (FNV-1a, 0 when unused),
//   u8 where the start text is: 0 in the page file (checked by length and
//   hash; written by earlier versions), 1 a copy follows, checked by the hash
//   too, 2 a copy follows, checked by its length only (what is written now:
//   hashing a large page would hold up the first key);
//   for 1 and 2: u64 n + n bytes start text;
//   then records: u64 position, u64 removed, u32 n, n inserted bytes,
//   u32 check (FNV-1a of the record's bytes before it).
class JournalWriter {
public:
    // Starts a journal at journalPath for a document whose text is now
    // `start`, writing a copy of it, and locks it for as long as this process
    // lives. False, with the reason in error(), when the file cannot be made
    // or written (a full or read-only folder) or is locked.
    bool open(const QString &journalPath, const QString &caption, const QString &pagePath,
              PageEncoding encoding, const char *start, qsizetype size);
    bool open(const QString &journalPath, const QString &caption, const QString &pagePath,
              PageEncoding encoding, const QByteArray &start)
    {
        return open(journalPath, caption, pagePath, encoding, start.constData(), start.size());
    }
    // Records one edit; it reaches the file at the next flush().
    void record(qint64 position, qint64 removed, const char *inserted, qint64 length);
    // Writes the recorded edits in one write. False on a write failure: the
    // file is cut back to its last whole record and the edits stay pending,
    // for the next flush to try again.
    bool flush();
    // Closes the journal and lets go of it, keeping the file: what a crash
    // leaves behind. Edits not flushed are dropped.
    void close();
    // Closes and deletes the journal (the document was saved or dropped).
    void remove();
    bool isOpen() const { return m_file.isOpen(); }
    qint64 pending() const { return m_pending.size(); }
    // Why the last open or flush failed, as the end of a sentence ("permission denied.").
    QString error() const { return m_error; }

private:
    QFile m_file;
    qint64 m_end = 0; // the end of the last whole record written
    QByteArray m_pending;
    QString m_error;
};

struct JournalRestore {
    bool ok = false;
    QString error; // names the journal and why it was not applied
    QString caption;
    QString pagePath; // empty when the document was untitled
    PageEncoding encoding = PageEncoding::Utf8;
    qint64 ownerPid = 0;
    bool inUse = false; // a live process holds it: leave it alone, say nothing
    QByteArray text; // the document's text at the last flush
    QByteArray start; // the text the edits were made to
    // The page file no longer holds the text the edits were made to: it was
    // changed or deleted since (never set for an untitled document).
    bool pageDiffers = false;
    // The journal ends in a record that is cut short, damaged or does not fit
    // the text: text holds the edits up to the last whole record.
    bool cutShort = false;
};

// Reads a journal and replays it. A page file holds the start text when it
// has the same bytes in the journal's encoding, alone or followed by the CR LF
// a save puts at the end. A journal that a running process still writes (it
// holds a lock on it) is refused with inUse set. One that is not one, whose
// header or start text is damaged or cut short, or that relies on its page
// file for the start text when the page no longer holds it, is refused with
// the reason. Records are applied up to the first that is cut short, fails
// its check or has an edit outside the text.
JournalRestore restoreJournal(const QString &journalPath);

// FNV-1a, 64 bits.
quint64 journalHash(const char *data, qsizetype size);

} // namespace tw
