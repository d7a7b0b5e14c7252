#pragma once

#include "ScriptedDialogs.h"
#include "documents/DocumentFiles.h"
#include "documents/frmDocument.h"

#include <QPointer>

namespace tw::test {

// A frame stand-in holding document windows, the last created one active.
class TestHost final : public DocumentHost {
public:
    ~TestHost() override { qDeleteAll(m_documents); }
    Dialogs &dialogs() override { return scripted; }
    frmDocument *createDocument(const QString &caption) override
    {
        auto *document = new frmDocument;
        document->setCaption(caption);
        m_documents << document;
        active = document;
        return document;
    }
    QWidget *activeChild() const override { return active; }
    QList<frmDocument *> documents() const override { return m_documents; }

    ScriptedDialogs scripted;
    QPointer<QWidget> active;

private:
    QList<frmDocument *> m_documents;
};

} // namespace tw::test
