#pragma once

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "documents/DocumentFiles.h"
#include "documents/DocumentJournal.h"
#include "documents/frmDocument.h"
#include "pages/RecoveryJournal.h"

#include <QPointer>

namespace tw::test {

// A frame stand-in holding document windows, the last created one active,
// each with its journal in `journalFolder` when one is given.
class TestHost final : public DocumentHost {
public:
    explicit TestHost(const QString &journalFolder = {}) : m_folder(journalFolder) {}
    ~TestHost() override { qDeleteAll(m_documents); }
    Dialogs &dialogs() override { return scripted; }
    frmDocument *createDocument(const QString &caption) override
    {
        auto *document = new frmDocument;
        document->setCaption(caption);
        if (!m_folder.isEmpty())
            new DocumentJournal(document, m_folder);
        m_documents << document;
        active = document;
        return document;
    }
    QWidget *activeChild() const override { return active; }
    QList<frmDocument *> documents() const override { return m_documents; }

    ScriptedDialogs scripted;
    QPointer<QWidget> active;

private:
    QString m_folder;
    QList<frmDocument *> m_documents;
};

// The text a journal gives back, read from a copy as the next start reads
// it (the writer may still hold the journal), or the reason it cannot.
inline QByteArray journalText(const QString &path)
{
    const QString copy = path + QStringLiteral(".copy");
    if (!writeBytes(copy, readBytes(path)))
        return "no journal";
    const JournalRestore back = restoreJournal(copy);
    QFile::remove(copy);
    return back.ok ? back.text : back.error.toUtf8();
}

} // namespace tw::test
