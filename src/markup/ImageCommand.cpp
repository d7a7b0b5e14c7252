#include "markup/ImageCommand.h"

#include "documents/ActiveEditor.h"
#include "documents/DocumentFiles.h"
#include "documents/EditorOperations.h"
#include "documents/frmDocument.h"
#include "markup/CommandState.h"
#include "markup/MarkupWindows.h"
#include "platform/Dialogs.h"
#include "platform/Prompt.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QWidget>

#include <sys/stat.h>

namespace tw {

namespace {

const QLatin1String kCopyTitle("Copy Picture");

FileChoice choosePicture(Dialogs &dialogs)
{
    return dialogs.openFile(QString::fromLatin1(kPictureFilter), QString());
}

QString askTip(Dialogs &dialogs)
{
    return Prompt(dialogs, QStringLiteral("Enter a TIP TEXT for the image (Optional) :"),
                  QStringLiteral("Tip Text Image"));
}

PictureCopy failed(const QString &reason)
{
    return {PictureCopy::Failed, reason};
}

// After YES or NO the frame window takes the focus again.
void backToFrame(QWidget *parent)
{
    if (parent)
        parent->window()->activateWindow();
}

void copyBesidePage(Dialogs &dialogs, const QString &folder, const FileChoice &picture)
{
    // An empty folder box names no folder; copying to the root would be a guess.
    if (folder.isEmpty()) {
        dialogs.message(QStringLiteral("No folder was given, so the picture was not copied."),
                        kCopyTitle, MessageKind::Warning);
        return;
    }
    const QString target = pictureTarget(folder, picture.title);
    const PictureCopy copy = copyPicture(picture.path, target);
    if (copy.outcome == PictureCopy::Failed)
        dialogs.message(QStringLiteral("The picture could not be copied to %1: %2").arg(target, copy.error),
                        kCopyTitle, MessageKind::Warning);
}

} // namespace

QString imageTag(const QString &picture, const QString &tip)
{
    return QLatin1String("<IMG SRC=\"") + picture + QLatin1String("\" BORDER=0 ALT=\"") + tip
        + QLatin1String("\">");
}

QString pictureTarget(const QString &folder, const QString &pictureName)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + pictureName;
    return folder + QLatin1Char('/') + pictureName;
}

QString folderOfChoice(const QString &path, const QString &bareName)
{
    return path.left(qMax<qsizetype>(0, path.size() - bareName.size()));
}

bool isSameFile(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0
        || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

PictureCopy copyPicture(const QString &source, const QString &target)
{
    if (isSameFile(source, target))
        return {PictureCopy::SameFile, {}};
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.exists())
        return failed(QStringLiteral("the picture %1 does not exist").arg(source));
    // A pipe or device named like a picture would hang the copy or never end.
    QFile in;
    QString reason;
    if (!openRegularFile(in, source, reason))
        return failed(QStringLiteral("cannot read %1: %2").arg(source, reason));
    if (in.size() > kLargestPicture)
        return failed(tooLargeReason(kLargestPicture));
    return copyPictureFrom(in, target, kLargestPicture);
}

PictureCopy copyPictureFrom(QIODevice &in, const QString &target, qint64 limit)
{
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return failed(out.errorString());
    // Read until the device says it has no more rather than trusting a
    // reported size, which some files do not have.
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got == 0)
            break;
        if (got < 0) {
            const QString reason = in.errorString();
            out.cancelWriting();
            return failed(reason);
        }
        if (limit >= 0 && (total += got) > limit) {
            out.cancelWriting();
            return failed(tooLargeReason(limit));
        }
        if (out.write(chunk.constData(), got) != got) {
            const QString reason = out.errorString();
            out.cancelWriting();
            return failed(reason);
        }
    }
    if (!out.commit())
        return failed(out.errorString());
    return {PictureCopy::Copied, {}};
}

void InsertImage(Dialogs &dialogs, ActiveEditor &editor)
{
    const FileChoice picture = choosePicture(dialogs);
    if (picture.cancelled())
        return;
    const QString tip = askTip(dialogs);
    insertAndFocus(editor, imageTag(picture.title, tip));
}

void CmdImage_Click(CommandState &state, ActiveEditor &editor, DocumentHost &host,
                    MarkupWindows &windows, QWidget *parent)
{
    Dialogs &dialogs = host.dialogs();
    if (state.DontShowPicWarning == 1) {
        InsertImage(dialogs, editor);
        return;
    }
    const PicPathAnswer answer = windows.askPicturePath(
        dialogs, state.PicHtmlPath, [&host] { return savePageForPicture(host); }, parent);
    if (answer.dontShowAgain)
        state.DontShowPicWarning = 1;

    switch (answer.button) {
    case PicPathAnswer::Closed:
        return;
    case PicPathAnswer::No:
        InsertImage(dialogs, editor);
        backToFrame(parent);
        return;
    case PicPathAnswer::Yes:
        break;
    }

    state.PicHtmlPath = answer.folder;
    const FileChoice picture = choosePicture(dialogs);
    if (!picture.cancelled()) {
        const QString tip = askTip(dialogs);
        insertAsOneStep(editor, imageTag(picture.title, tip));
        copyBesidePage(dialogs, answer.folder, picture);
    }
    backToFrame(parent);
}

std::optional<QString> savePageForPicture(DocumentHost &host)
{
    auto *document = qobject_cast<frmDocument *>(host.activeChild());
    if (!document) {
        host.dialogs().message(QStringLiteral("There is no page to save."), QStringLiteral("Save HTML"),
                               MessageKind::Information);
        return std::nullopt;
    }
    if (!saveDocumentAs(host, document))
        return std::nullopt;
    const QString path = document->caption();
    return folderOfChoice(path, QFileInfo(path).fileName());
}

} // namespace tw
