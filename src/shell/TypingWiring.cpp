#include "shell/TypingWiring.h"

#include "editor/EditorSettings.h"
#include "editor/TypingHelp.h"
#include "documents/frmDocument.h"
#include "shell/CommandActions.h"
#include "shell/frmMain.h"

#include <QAction>

namespace tw {

namespace {

using Setter = void (*)(bool);
using HelpSetter = void (TypingHelp::*)(bool);

void wireToggle(frmMain &frame, QAction *toggle, bool on, Setter keep, HelpSetter apply)
{
    toggle->setChecked(on);
    QObject::connect(toggle, &QAction::toggled, &frame, [&frame, keep, apply](bool checked) {
        keep(checked);
        for (frmDocument *document : frame.documents())
            if (TypingHelp *help = TypingHelp::of(document->textEdit))
                (help->*apply)(checked);
    });
}

} // namespace

void wireTypingHelp(frmMain &frame)
{
    CommandActions &a = frame.commands();
    wireToggle(frame, a.viewAutoCloseTags, editorSettings::closeTags(), &editorSettings::setCloseTags,
               &TypingHelp::setCloseTags);
    wireToggle(frame, a.viewCompletion, editorSettings::completion(), &editorSettings::setCompletion,
               &TypingHelp::setCompletion);
    wireToggle(frame, a.viewMatchingTags, editorSettings::matchingTags(), &editorSettings::setMatchingTags,
               &TypingHelp::setMatchingTags);
}

} // namespace tw
