#include "rollover/RolloverCommands.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"
#include "pages/PageFile.h"
#include "platform/Prompt.h"
#include "platform/AppPaths.h"
#include "platform/AttributeValue.h"
#include "platform/Dialogs.h"


namespace tw {

namespace {

QString quoted(const QString &value)
{
    return QLatin1Char('"') + value + QLatin1Char('"');
}

// A picture's address as a script string between double quotes: a quote or
// backslash in it is escaped so that it cannot end the string early, and a
// line break (which no string may hold) is written as %0A or %0D, as in any
// address. Everything else stays as typed.
QString scriptAddress(const QString &value)
{
    QString out;
    out.reserve(value.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n'))
            out += QLatin1String("%0A");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("%0D");
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

} // namespace

QString picFlipHead(const QString &fragment1)
{
    return QLatin1String("\n\n") + fragment1 + QLatin1Char('\n');
}

QString picFlipImageLines(int animation, const QString &state, const QString &picture)
{
    const QString image = QLatin1String("    Pic") + QString::number(animation) + state;
    return image + QLatin1String(" = new Image;\n") + image + QLatin1String(".src =")
        + scriptAddress(picture) + QLatin1String(";\n");
}

QString picFlipMiddle()
{
    return QStringLiteral("\n");
}

QString picFlipTail(const QString &fragment2)
{
    return QLatin1Char('\n') + fragment2 + QLatin1Char('\n');
}

QString readFragment(const QString &path, QString *error)
{
    const PageReadResult page = readPage(path, kLargestFragment);
    if (!page.ok) {
        if (error)
            *error = page.error;
        return QString();
    }
    return QString::fromUtf8(page.utf8);
}

void CmdPicFlip_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    CmdPicFlip_Click(dialogs, editor, besideProgram(QStringLiteral("PicFlip1.txt")),
                     besideProgram(QStringLiteral("PicFlip2.txt")));
}

void CmdPicFlip_Click(Dialogs &dialogs, ActiveEditor &editor, const QString &fragment1Path,
                      const QString &fragment2Path)
{
    const QString answer =
        promptWithoutLetters(dialogs, QStringLiteral("How many ANIMATION do you want in your HTML ?"),
                             QStringLiteral("Animation Number"));
    if (answer.isEmpty())
        return;
    // Animations are numbered from 1; a count of 0 (also what an answer out
    // of the 16-bit range gives) or below names none and would never end the
    // questions.
    const int count = countConversion(answer);
    if (count < 1)
        return;

    // The lines appear while the questions go on, and undo takes them all.
    QStringList missing(2);
    const QString fragment1 = readFragment(fragment1Path, &missing[0]);
    const QString fragment2 = readFragment(fragment2Path, &missing[1]);
    missing.removeAll(QString());
    {
        // One undo step, closed before the warning is shown.
        UndoStep step(editor);
        editor.replaceSelection(picFlipHead(fragment1));
        for (int n = 1; n <= count; ++n) {
            const QString picture = promptUntilNotEmpty(
                dialogs, QStringLiteral("MOUSE OVER : Input the PICTURE NAME %1").arg(n),
                QStringLiteral("Picture Name Mouse Over"));
            editor.replaceSelection(picFlipImageLines(n, QStringLiteral("on"), picture));
        }
        editor.replaceSelection(picFlipMiddle());
        for (int n = 1; n <= count; ++n) {
            const QString picture = promptUntilNotEmpty(
                dialogs, QStringLiteral("MOUSE NOT OVER : Input the PICTURE NAME %1").arg(n),
                QStringLiteral("Picture Name Mouse Not Over"));
            editor.replaceSelection(picFlipImageLines(n, QStringLiteral("off"), picture));
        }
        editor.replaceSelection(picFlipTail(fragment2));
        editor.focusBack();
    }
    if (!missing.isEmpty())
        dialogs.message(QStringLiteral("The picture-flip script was inserted without its functions.\n\n")
                            + missing.join(QLatin1Char('\n')),
                        QStringLiteral("Pic Flip"), MessageKind::Warning);
}

QString animatedPictureName(const QString &numberAnswer)
{
    return QLatin1String("Pic") + numberText(numericReading(numberAnswer));
}

QString animatedPictureText(const QString &pictureName, const QString &link,
                            const QString &notOverPicture, const QString &tipText)
{
    return QLatin1String("\n<TR>\n<TD><A HREF=") + quotedAttribute(link, AttributeKind::Address) + QLatin1String(" onMouseOver=")
        + quoted(QLatin1String("img_act('") + pictureName + QLatin1String("')"))
        + QLatin1String(" onMouseOut=")
        + quoted(QLatin1String("img_inact('") + pictureName + QLatin1String("')"))
        + QLatin1String(" onClick=\"shut=false\"><IMG SRC=")
        + quotedAttribute(notOverPicture, AttributeKind::Address) + QLatin1String(" NAME=")
        + quotedAttribute(pictureName) + QLatin1String(" ALT=") + quotedAttribute(tipText)
        + QLatin1String("  BORDER=0 ALIGN=TEXTTOP></A>&nbsp;</TD>\n</TR>\n");
}

void CmdInsertPic_Click(Dialogs &dialogs, ActiveEditor &editor)
{
    const QString number = promptWithoutLetters(
        dialogs, QStringLiteral("Enter the NUMBER of the ANIMATION you want to insert :"),
        QStringLiteral("Picture Number"));
    if (number.isEmpty())
        return;
    const QString pictureName = animatedPictureName(number);
    const QString link = Prompt(dialogs, QStringLiteral("Enter the URL of the picture's link :"),
                                QStringLiteral("Links"));
    const QString notOverPicture = promptUntilNotEmpty(
        dialogs, QStringLiteral("Enter the MOUSE NOT OVER PICTURE NAME for the ANIMATION ") + number,
        QStringLiteral("Mouse Not Over Picture Name"));
    const QString tipText = Prompt(
        dialogs, QStringLiteral("Enter the TIP TEXT for the ANIMATION ") + number, QStringLiteral("Tip Text"));

    insertAsOneStep(editor, animatedPictureText(pictureName, link, notOverPicture, tipText));
}

} // namespace tw
