#include "documents/PageWatcher.h"

#include "documents/DocumentFiles.h"
#include "documents/PageEvents.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

#include <QDir>

namespace tw {

namespace {

const QString kTitle = QStringLiteral("Tagwright");

} // namespace

PageWatcher::PageWatcher(DocumentHost &host, QObject *parent)
    : QObject(parent), m_host(host), m_files(new FileWatcher(this))
{
    connect(m_files, &FileWatcher::noticed, this, &PageWatcher::check);
    auto follow = [this](frmDocument *, const QString &path) { m_files->watch(path); };
    connect(&PageEvents::instance(), &PageEvents::pageRead, this, follow);
    connect(&PageEvents::instance(), &PageEvents::pageWritten, this, follow);
    connect(&PageEvents::instance(), &PageEvents::pageWriteFailed, this,
            [this](frmDocument *, const QString &path) { restamp(path); });
}

void PageWatcher::restamp(const QString &path)
{
    m_files->restamp(path);
}

void PageWatcher::check(const QString &path)
{
    if (m_asking.contains(path))
        return; // the question about this file is open already
    frmDocument *document = nullptr;
    for (frmDocument *d : m_host.documents()) {
        if (d->caption() == path)
            document = d;
    }
    if (!document) {
        m_files->forget(path);
        return;
    }
    FileWatcher::Stamp now;
    if (!m_files->takeChange(path, now))
        return; // our own write, or nothing that matters

    if (!now.exists) {
        document->textEdit->markChanged();
        // Nobody asked: said in the window, where the user may be typing.
        document->notice(QStringLiteral("%1 was deleted by another program. Its text stays in the window; save "
                                        "it to write the file again.")
                             .arg(path));
        return;
    }
    const bool unsaved = document->textEdit->isModified();
    const QString question =
        unsaved ? QStringLiteral("%1 was changed by another program, and this window has changes that are not "
                                 "saved.\n\nReload it and lose those changes? Undo takes the reload back.")
                      .arg(path)
                : QStringLiteral("%1 was changed by another program.\n\nReload it? Undo takes the reload back.")
                      .arg(path);
    m_asking.insert(path);
    // When reloading would lose changes, Enter keeps them.
    const bool yes = unsaved ? m_host.dialogs().askYesNoDefaultNo(question, kTitle)
                             : m_host.dialogs().askYesNo(question, kTitle);
    m_asking.remove(path);
    if (yes)
        reload(document, path);
    // Changes made while the question was open are looked at now.
    if (!m_files->isAsKnown(path))
        check(path);
}

// The new text replaces the old in one edit, so one undo brings the old back.
void PageWatcher::reload(frmDocument *document, const QString &path)
{
    PageReadResult page = readPage(path);
    if (!page.ok) {
        m_host.dialogs().message(page.error, kTitle, MessageKind::Critical);
        return;
    }
    m_files->restamp(path);
    SourceEditor *editor = document->textEdit;
    // Without the memory for the new text the window keeps the text it has.
    if (!editor->replaceAllBytes(page.utf8)) {
        m_host.dialogs().message(
            QStringLiteral("Cannot open \"%1\": there is not enough memory to hold it.")
                .arg(QDir::toNativeSeparators(path)),
            kTitle, MessageKind::Critical);
        return;
    }
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0UL);
    // Before the text counts as unchanged, which shows the page's format.
    document->encoding = page.encoding;
    editor->setModified(false);
}

} // namespace tw
