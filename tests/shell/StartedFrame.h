#pragma once

#include "Ceiling.h"
#include "documents/frmDocument.h"
#include "shell/frmMain.h"

#include <QTest>

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

} // namespace tw::test
