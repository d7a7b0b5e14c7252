#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace tw {

class ActiveEditor;

// The twelve one-press markup commands. A wrap command puts its opening and
// closing text around a non-empty selection; a replace command puts its text
// in place of the selection, or at the caret when nothing is selected.
struct TagCommand {
    const char *control;
    bool wrap;
    const char *opening;
    const char *closing; // empty for replace commands
    bool focusBack;
};

// The commands, one constant each, named after what they write.
namespace tags {
extern const TagCommand bold, italic, underline, blockQuote, center, left, right, breakLine,
    paragraph, line, openProcedure, closeProcedure;
} // namespace tags


// What the command writes for this selection; nothing when a wrap command
// finds the selection empty.
std::optional<QString> tagText(const TagCommand &command, const QString &selection);

// Runs the command on the active editor as one undo step.
void runTagCommand(const TagCommand &command, ActiveEditor &editor);

} // namespace tw
