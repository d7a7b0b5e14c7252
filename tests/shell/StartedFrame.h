#pragma once

#include "Ceiling.h"
#include "ScriptedDialogs.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"
#include "shell/CommandActions.h"
#include "shell/frmMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace tw::test {

// A frame as the program starts it: the document counter from zero, the
// placement restored, "Document 1" open, and the frame shown on the screen.
inline std::unique_ptr<frmMain> startFrame(Dialogs &dialogs)
{
    DocumentCount = 0;
    auto frame = std::make_unique<frmMain>(dialogs);
    frame->MDIForm_Load();
    frame->show();
    if (!QTest::qWaitForWindowExposed(frame.get(), tw::test::kCeiling))
        qWarning("the frame was not shown");
    return frame;
}

// The item of a menu with this object name, or the item of its submenu
// with that name.
inline QAction *menuItem(QMenu *menu, const char *name)
{
    for (QAction *item : menu->actions())
        if (item->objectName() == QLatin1String(name)
            || (item->menu() && item->menu()->objectName() == QLatin1String(name)))
            return item;
    return nullptr;
}

// What the tests of a started frame share: its scripted dialogs, the frame,
// and the user's ways into it.
class FrameFixture {
protected:
    frmMain &open()
    {
        m_frame = startFrame(m_dialogs);
        return *m_frame;
    }
    // Unsaved test pages close without a question.
    void closeFrame()
    {
        if (m_frame) {
            for (frmDocument *doc : m_frame->documents())
                doc->textEdit->setModified(false);
        }
        m_frame.reset();
    }
    CommandActions &a() { return m_frame->commands(); }
    // Presses a toolbar button ("tbSave") as the user does.
    void press(const char *name)
    {
        auto *b = m_frame->toolBar->findChild<QToolButton *>(QLatin1String(name));
        QVERIFY2(b, name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Runs a command with this document window active.
    void inWindow(frmDocument *doc, QAction *action)
    {
        m_frame->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
        action->trigger();
    }

    ScriptedDialogs m_dialogs;
    std::unique_ptr<frmMain> m_frame;
};

} // namespace tw::test
