#pragma once

#include "documents/RecoveryJournal.h"

#include <QObject>
#include <QTimer>

namespace tw {

class DocumentHost;
class frmDocument;

// Keeps one document's recovery journal in `folder`. From the document's
// first unsaved change on, every edit is recorded; a single-shot timer that
// each edit restarts writes them about two seconds after the last one (no
// polling). When the text counts as unchanged again (saved, or undone back to
// the saved state) or the window goes, the journal is deleted.
class DocumentJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 2000;

    DocumentJournal(frmDocument *document, const QString &folder);
    ~DocumentJournal() override;

    // The per-user recovery folder: "recovery" in the application data location.
    static QString defaultFolder();

    // Starts the journal at once, holding the document's whole present text
    // (for a restored document, whose text is on no disk).
    void startNow();
    // Writes what is pending now.
    void flushNow();
    // Writes what is pending and lets go of the journal without deleting it,
    // so that the next start can restore the document: for an end request.
    void keep();

    QString path() const { return m_path; }
    bool isActive() const { return m_writer.isOpen(); }

private:
    void onEdit(qint64 position, qint64 removed, const char *inserted, qint64 length);
    void start(bool keepCopy);
    void drop();

    frmDocument *m_document;
    QString m_path;
    JournalWriter m_writer;
    QTimer m_timer;
    bool m_kept = false;
};

// At start: offers, in one question listing their captions, to restore the
// documents whose journals no running instance holds. Yes opens each as a new
// window with its caption, its text as at the last journal write, marked
// changed, and journalled again; No deletes those journals. A journal that
// cannot be applied is named in a message and kept. Returns the documents
// restored.
QList<frmDocument *> offerRecovery(DocumentHost &host, const QString &folder);

} // namespace tw
