#pragma once

#include "pages/RecoveryJournal.h"

#include <QObject>
#include <QTimer>

namespace tw {

class DocumentHost;
class frmDocument;

// Keeps one document's recovery journal in `folder`. From the document's
// first unsaved change on, every edit is recorded; a single-shot timer that
// each edit restarts writes them about two seconds after the last one (no
// polling). When the text counts as unchanged again (saved, or undone back to
// the saved state) or the window goes, the journal is deleted. A journal that
// cannot be made or written (a full or read-only folder) is told in the
// window's notice bar with the reason, once until it has been written again,
// and tried again at the next pause.
class DocumentJournal : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 2000;

    DocumentJournal(frmDocument *document, const QString &folder);
    ~DocumentJournal() override;

    // The per-user recovery folder: "recovery" in the application data location.
    static QString defaultFolder();

    // Starts the journal at once, holding the document's whole present text
    // (for a restored document, before its restored text goes in).
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
    void start();
    void open();
    void report(const QString &reason);
    void drop();

    frmDocument *m_document;
    QString m_path;
    JournalWriter m_writer;
    QTimer m_timer;
    bool m_kept = false;
    bool m_unprotected = false; // the journal could not be made
    bool m_flushFailed = false;
};

// Where journals that cannot be used are kept, inside the recovery folder.
inline constexpr const char *kSetAsideFolder = "set aside";

// At start: offers, in one question listing their captions, to restore the
// documents whose journals no running instance holds. Yes opens each as a new
// window with its caption, its text as at the last journal write and its
// encoding, marked changed, and journalled again; a message then names the
// pages whose file on disk differs from the text the changes were made to,
// and those whose last changes were cut short. No deletes those journals. A
// journal that cannot be applied is named in a message once and moved into
// the "set aside" folder, kept but not offered again. One there is no memory
// to read or restore is named in a message and stays where it is, to be
// offered again at the next start. Returns the documents
// restored.
QList<frmDocument *> offerRecovery(DocumentHost &host, const QString &folder);

} // namespace tw
