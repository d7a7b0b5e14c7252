#pragma once

#include <QString>
#include <QStringList>

namespace tw {

class Dialogs;
class ActiveEditor;

// Picture flips: animation N has a page picture named "PicN" and two script
// images, "PicNon" shown while the mouse is over it and "PicNoff" otherwise.
// The script is two fixed fragments read from files beside the program with
// the generated image lines between them.

// What the script command writes, piece by piece: two line feeds, the first
// fragment and a line feed; the two lines of each animation's image; one line
// feed between the mouse-over and mouse-not-over lines; then a line feed, the
// second fragment and a line feed.
QString picFlipHead(const QString &fragment1);
QString picFlipImageLines(int animation, const QString &state, const QString &picture);
QString picFlipMiddle();
QString picFlipTail(const QString &fragment2);
// A fragment file's whole text, line breaks kept; empty when the file is
// missing, unreadable or larger than kLargestFragment, and then the message
// naming the file and the reason is put in error (when given).
QString readFragment(const QString &path, QString *error = nullptr);
// Far more than any script fragment holds.
inline constexpr qint64 kLargestFragment = 16'000'000;

// "Pic" and the number the answer reads as (see numberText()).
QString animatedPictureName(const QString &numberAnswer);
// A line feed and one table row holding the linked picture whose mouse events
// call the flip script.
QString animatedPictureText(const QString &pictureName, const QString &link,
                            const QString &notOverPicture, const QString &tipText);

// The Advanced bar's Pic Flip button: asks the number of animations, then the
// mouse-over picture of each and the mouse-not-over picture of each, writing
// each animation's lines as its picture is named, all as one undo step. An
// empty answer or a count below 1 ends it with nothing written. The fragments
// are PicFlip1.txt and PicFlip2.txt beside the program; a fragment that cannot
// be read is left out, and once the script is in place a warning names it.
void CmdPicFlip_Click(Dialogs &dialogs, ActiveEditor &editor);
void CmdPicFlip_Click(Dialogs &dialogs, ActiveEditor &editor, const QString &fragment1Path,
                      const QString &fragment2Path);

// The Advanced bar's Insert Pic button: asks the animation number, the link,
// the mouse-not-over picture and the tip text, then writes the row in place of
// the selection as one undo step. The focus stays where it is.
void CmdInsertPic_Click(Dialogs &dialogs, ActiveEditor &editor);

} // namespace tw
