#pragma once

#include "documents/PageFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tw {

class SourceEditor;

// What is needed to rebuild a document with unsaved changes after a crash:
// a journal file of its edits (position, removed length, inserted bytes)
// replayed on the text the document started from. The start text is the page
// file as read, checked by its length and hash, or, for an untitled
// document, a copy kept in the journal itself. Each edit costs the bytes it
// inserts plus 24, however long the page is.
//
// File layout, little-endian:
//   "TWJ1", u32 owner process id, u8 encoding,
//   u32 n + n bytes caption (UTF-8), u32 n + n bytes page path (UTF-8, empty
//   when untitled), u64 start length, u64 start hash (FNV-1a),
//   u8 1 + u64 n + n bytes start text when untitled, else u8 0;
//   then records: u64 position, u64 removed, u32 n, n inserted bytes,
//   u32 check (FNV-1a of the record's bytes before it).
class JournalWriter {
public:
    // Starts a journal at journalPath for a document whose text is now
    // `start`, and locks it for as long as this process lives. False, with
    // the reason in error(), when the file cannot be made or is locked.
    // The start text is kept in the journal when keepCopy is set or the
    // document is untitled; otherwise the page file must still hold it.
    bool open(const QString &journalPath, const QString &caption, const QString &pagePath,
              PageEncoding encoding, const char *start, qsizetype size, bool keepCopy = false);
    bool open(const QString &journalPath, const QString &caption, const QString &pagePath,
              PageEncoding encoding, const QByteArray &start, bool keepCopy = false)
    {
        return open(journalPath, caption, pagePath, encoding, start.constData(), start.size(), keepCopy);
    }
    // Records one edit; it reaches the file at the next flush().
    void record(qint64 position, qint64 removed, const char *inserted, qint64 length);
    // Writes the recorded edits in one write. False on a write failure.
    bool flush();
    // Closes the journal and lets go of it, keeping the file: what a crash
    // leaves behind. Edits not flushed are dropped.
    void close();
    // Closes and deletes the journal (the document was saved or dropped).
    void remove();
    bool isOpen() const { return m_file.isOpen(); }
    qint64 pending() const { return m_pending.size(); }
    QString error() const { return m_error; }

private:
    QFile m_file;
    QByteArray m_pending;
    QString m_error;
};

// Follows an editor's edits into a journal: every insertion and deletion the
// editor makes (typing, commands, undo and redo) is recorded.
void followEdits(SourceEditor &editor, JournalWriter &journal);

struct JournalRestore {
    bool ok = false;
    QString error; // names the journal and why it was not applied
    QString caption;
    QString pagePath; // empty when the document was untitled
    PageEncoding encoding = PageEncoding::Utf8;
    qint64 ownerPid = 0;
    bool inUse = false; // a live process holds it: leave it alone, say nothing
    QByteArray text; // the document's text at the last flush
};

// Reads a journal and replays it. The page file holds the start text when it
// reads as it, or as it with the CR LF a save puts at the end. A journal that a running process still
// writes (it holds a lock on it) is refused with inUse set. One that is not one, is cut short,
// fails a record's check, has an edit outside the text, or whose page no
// longer holds the start text, is refused with the reason and never applied.
JournalRestore restoreJournal(const QString &journalPath);

// FNV-1a, 64 bits.
quint64 journalHash(const char *data, qsizetype size);

} // namespace tw
