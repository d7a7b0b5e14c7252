#include "documents/DocumentJournal.h"

#include "documents/DocumentFiles.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <new>

namespace tw {

DocumentJournal::DocumentJournal(frmDocument *document, const QString &folder)
    : QObject(document), m_document(document),
      m_path(QDir(folder).filePath(QStringLiteral("%1-%2.twj")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(QUuid::createUuid().toString(QUuid::Id128))))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &DocumentJournal::flushNow);
    // Before the first change the text is still what the journal starts from.
    connect(document->textEdit, &SourceEditor::aboutToChange, this, &DocumentJournal::start);
    connect(document->textEdit, &SourceEditor::edited, this, &DocumentJournal::onEdit);
    connect(document->textEdit, &QsciScintilla::modificationChanged, this, [this](bool changed) {
        if (!changed)
            drop();
    });
}

DocumentJournal::~DocumentJournal()
{
    if (!m_kept)
        drop();
}

QString DocumentJournal::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

// A journal that could not be made is not tried again at every key (a full
// disk would cost a write of the whole text each time), but at the next pause.
void DocumentJournal::start()
{
    if (m_writer.isOpen() || m_kept || m_unprotected)
        return;
    open();
}

void DocumentJournal::open()
{
    const QString page = m_document->isUntitled() ? QString() : m_document->caption();
    const SourceEditor *editor = m_document->textEdit;
    if (m_writer.open(m_path, m_document->caption(), page, m_document->encoding, editor->documentData(),
                      editor->documentLength())) {
        m_unprotected = false;
        return;
    }
    if (!m_unprotected)
        report(m_writer.error());
    m_unprotected = true;
}

// Told in the window's notice bar, not in a box: it comes while the user types.
void DocumentJournal::report(const QString &reason)
{
    m_document->notice(
        QStringLiteral("Tagwright cannot keep a recovery copy of unsaved changes in \"%1\": %2 "
                       "Until it can, changes you have not saved are lost if Tagwright ends unexpectedly: "
                       "save your pages to keep them.")
            .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()), reason));
}

void DocumentJournal::startNow()
{
    start();
}

// An edit reported after the text was saved or its journal dropped is part of
// that text already, so only an open journal takes it. Without a journal
// that could not be made, the next pause tries again.
void DocumentJournal::onEdit(qint64 position, qint64 removed, const char *inserted, qint64 length)
{
    if (!m_writer.isOpen()) {
        if (m_unprotected)
            m_timer.start();
        return;
    }
    m_writer.record(position, removed, inserted, length);
    m_timer.start();
}

void DocumentJournal::flushNow()
{
    m_timer.stop();
    m_document->textEdit->flushEdits();
    // A journal begun now starts from the present text, every edit included.
    if (!m_writer.isOpen() && m_unprotected && !m_kept && m_document->textEdit->isModified())
        open();
    if (m_writer.flush()) {
        m_flushFailed = false;
        return;
    }
    if (!m_flushFailed)
        report(m_writer.error());
    m_flushFailed = true;
}

void DocumentJournal::keep()
{
    flushNow();
    m_writer.close();
    m_kept = true;
}

void DocumentJournal::drop()
{
    m_timer.stop();
    m_unprotected = false;
    m_flushFailed = false;
    if (m_writer.isOpen())
        m_writer.remove();
}

namespace {

// Moves a journal that cannot be used into the "set aside" folder beside it,
// so that it is kept but not offered again. False when it stays where it is.
bool setAside(const QDir &dir, const QString &name)
{
    const QString aside = dir.filePath(QString::fromLatin1(kSetAsideFolder));
    QDir().mkpath(aside);
    QString target = QDir(aside).filePath(name);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(aside).filePath(QStringLiteral("%1-%2").arg(n).arg(name));
    return QFile::rename(dir.filePath(name), target);
}

} // namespace

QList<frmDocument *> offerRecovery(DocumentHost &host, const QString &folder)
{
    QList<frmDocument *> restored;
    QList<JournalRestore> found;
    QStringList paths, refused;
    bool setAsideAll = true;
    const QDir dir(folder);
    QStringList notes;
    // A journal there is no memory to read or rebuild stays where it is, to be
    // offered again at the next start.
    const auto noMemory = [](const QString &what) {
        return QStringLiteral("Cannot restore \"%1\": there is not enough memory to hold it. Its recovery file "
                              "is kept and offered again at the next start.")
            .arg(what);
    };
    for (const QString &name : dir.entryList({QStringLiteral("*.twj")}, QDir::Files, QDir::Name)) {
        JournalRestore journal;
        try {
            journal = restoreJournal(dir.filePath(name));
        } catch (const std::bad_alloc &) {
            notes << noMemory(QDir::toNativeSeparators(dir.filePath(name)));
            continue;
        }
        if (journal.inUse)
            continue; // another instance is writing it
        if (!journal.ok) {
            refused << journal.error;
            setAsideAll = setAside(dir, name) && setAsideAll;
            continue;
        }
        found << std::move(journal);
        paths << dir.filePath(name);
    }
    if (!refused.isEmpty()) {
        QString text = refused.join(QLatin1Char('\n'));
        if (setAsideAll)
            text += QStringLiteral("\n\nRecovery files that cannot be used are kept in \"%1\" and not offered again.")
                        .arg(QDir::toNativeSeparators(dir.filePath(QString::fromLatin1(kSetAsideFolder))));
        host.dialogs().message(text, QStringLiteral("Restore"), MessageKind::Warning);
    }
    if (found.isEmpty()) {
        if (!notes.isEmpty())
            host.dialogs().message(notes.join(QStringLiteral("\n\n")), QStringLiteral("Restore"),
                                   MessageKind::Warning);
        return restored;
    }
    QStringList captions;
    for (const JournalRestore &journal : found)
        captions << journal.caption;
    const bool yes = host.dialogs().askYesNo(
        QStringLiteral("Tagwright ended before these pages were saved:\n\n%1\n\nRestore them?")
            .arg(captions.join(QLatin1Char('\n'))),
        QStringLiteral("Restore"));
    for (int i = 0; i < found.size(); ++i) {
        if (yes) {
            frmDocument *document = host.createDocument(found[i].caption);
            SourceEditor *editor = document->textEdit;
            // The window starts from the text the edits were made to, and its
            // own journal from there, so that after another crash the page
            // on disk is compared with what it held.
            bool loaded = editor->loadBytes(found[i].start);
            if (loaded) {
                // Set first: the new journal records the encoding the text is saved in.
                document->encoding = found[i].encoding;
                if (auto *journal = document->findChild<DocumentJournal *>())
                    journal->startNow();
                // The restored text replaces it in one edit, so it counts as changed
                // (undo brings back the text the edits were made to, redo the restored one).
                loaded = editor->replaceAllBytes(found[i].text);
            }
            if (!loaded) {
                // The window goes, and its own new journal with it; the
                // journal restored from is kept.
                document->closeWithoutQuestion();
                notes << noMemory(found[i].caption);
                continue;
            }
            editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
            restored << document;
            if (found[i].pageDiffers)
                notes << QStringLiteral("%1: the page on disk differs from the text these changes were made to "
                                        "(it was changed or deleted since). Saving the window writes the "
                                        "restored text over it.")
                             .arg(found[i].caption);
            if (found[i].cutShort)
                notes << QStringLiteral("%1: the last changes could not be read back; the window holds the text "
                                        "as it was before them.")
                             .arg(found[i].caption);
        }
        QFile::remove(paths[i]);
    }
    if (!notes.isEmpty())
        host.dialogs().message(notes.join(QStringLiteral("\n\n")), QStringLiteral("Restore"),
                               MessageKind::Warning);
    return restored;
}

} // namespace tw
