#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

class QIODevice;
class QWidget;

namespace tw {

class ActiveEditor;
class Dialogs;
class DocumentHost;
class MarkupWindows;
struct CommandState;

inline constexpr const char *kPictureFilter = "Pictures Files|*.jpg;*.gif;*.bmp";

// <IMG SRC="picture" BORDER=0 ALT="tip">; ALT is always written. Neither
// value can end its attribute early (quotedAttribute).
QString imageTag(const QString &picture, const QString &tip);

// Where a picture goes in the page's folder: the folder text, a separator
// unless it already ends with one, and the picture's bare name.
QString pictureTarget(const QString &folder, const QString &pictureName);

// The folder of a chosen file, keeping its trailing separator: the full path
// without the bare name at its end.
QString folderOfChoice(const QString &path, const QString &bareName);

struct PictureCopy {
    enum Outcome { Copied, SameFile, Failed };
    Outcome outcome = Failed;
    QString error; // why it failed, for the user
};

// True when both paths name one existing file, whatever the spelling:
// symbolic links, "..", doubled separators and hard links all count.
bool isSameFile(const QString &a, const QString &b);

// Copies source to target, replacing a file of that name. The copy lands in
// a temporary file beside the target that then takes its place, so a failed
// copy leaves an old target whole. When target already is the source file,
// nothing is written.
PictureCopy copyPicture(const QString &source, const QString &target);
// The same from an open device: everything it gives until its end, failing
// when that is more than limit bytes (a negative limit: no bound).
PictureCopy copyPictureFrom(QIODevice &source, const QString &target, qint64 limit = -1);

// Asks for a picture and a tip text and writes the IMG tag in place of the
// selection as one undo step, then gives the focus back. A cancelled picture
// dialog writes nothing; a cancelled tip gives ALT="".
void InsertImage(Dialogs &dialogs, ActiveEditor &editor);

// "I&mage": warns that the picture must lie beside the page and offers to
// copy it there (and to save the page first), unless the warning was turned
// off for this run; then inserts the tag. Messages go through host.dialogs().
void CmdImage_Click(CommandState &state, ActiveEditor &editor, DocumentHost &host,
                    MarkupWindows &windows, QWidget *parent);

// Save HTML in the warning: saves the active document under a name asked for
// (as Save As does) and gives its folder. A failed save has been reported and
// gives nothing; with no document nothing is written and the user is told.
std::optional<QString> savePageForPicture(DocumentHost &host);

} // namespace tw
