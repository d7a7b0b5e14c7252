#include "documents/DocumentJournal.h"

#include "documents/DocumentFiles.h"
#include "documents/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QUuid>

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
    connect(document->textEdit, &SourceEditor::aboutToChange, this, [this] { start(false); });
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

void DocumentJournal::start(bool keepCopy)
{
    if (m_writer.isOpen() || m_kept)
        return;
    const QString page = m_document->isUntitled() ? QString() : m_document->caption();
    const bool copy = keepCopy || m_document->encoding == PageEncoding::LegacyReferences;
    const SourceEditor *editor = m_document->textEdit;
    m_writer.open(m_path, m_document->caption(), page, m_document->encoding, editor->documentData(),
                  editor->documentLength(), copy);
}

void DocumentJournal::startNow()
{
    start(true);
}

// An edit reported after the text was saved or its journal dropped is part of
// that text already, so only an open journal takes it.
void DocumentJournal::onEdit(qint64 position, qint64 removed, const char *inserted, qint64 length)
{
    if (!m_writer.isOpen())
        return;
    m_writer.record(position, removed, inserted, length);
    m_timer.start();
}

void DocumentJournal::flushNow()
{
    m_timer.stop();
    m_document->textEdit->flushEdits();
    m_writer.flush();
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
    if (m_writer.isOpen())
        m_writer.remove();
}

QList<frmDocument *> offerRecovery(DocumentHost &host, const QString &folder)
{
    QList<frmDocument *> restored;
    QList<JournalRestore> found;
    QStringList paths, refused;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.twj")}, QDir::Files, QDir::Name)) {
        JournalRestore journal = restoreJournal(dir.filePath(name));
        if (journal.inUse)
            continue; // another instance is writing it
        if (!journal.ok) {
            refused << journal.error;
            continue;
        }
        found << std::move(journal);
        paths << dir.filePath(name);
    }
    if (!refused.isEmpty())
        host.dialogs().message(refused.join(QLatin1Char('\n')), QStringLiteral("Restore"), MessageKind::Warning);
    if (found.isEmpty())
        return restored;
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
            editor->loadBytes(QByteArray());
            // Its text is on no disk: a journal of its own keeps all of it.
            if (auto *journal = document->findChild<DocumentJournal *>())
                journal->startNow();
            // Inserted as an edit into the empty window, so it counts as changed
            // (undoing it empties the window; redo brings the text back).
            editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                                  static_cast<unsigned long>(found[i].text.size()), found[i].text.constData());
            editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
            document->encoding = found[i].encoding;
            restored << document;
        }
        QFile::remove(paths[i]);
    }
    return restored;
}

} // namespace tw
