#include "markup/ImageCommand.h"

#include "editor/ActiveEditor.h"
#include "documents/DocumentFiles.h"
#include "editor/EditorOperations.h"
#include "documents/frmDocument.h"
#include "markup/CommandState.h"
#include "markup/MarkupWindows.h"
#include "platform/AttributeValue.h"
#include "platform/Dialogs.h"
#include "platform/FileErrors.h"
#include "platform/Prompt.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QWidget>

#include <cerrno>
#include <csignal>

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

// Why a step on file failed, as the end of a sentence: the system's reason
// when the step left one (a full disk, a refused rename), else the device's.
PictureCopy failed(const QFileDevice &file, int error)
{
    if (error != 0)
        return failed(fileErrorReason(error));
    QString reason = file.errorString();
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        reason[0] = reason.at(0).toLower();
    return failed(reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.'));
}

// Writes all of data; a short write (the disk filling up) is tried again so
// that the failure comes with the system's reason.
bool writeAll(QSaveFile &out, const char *data, qint64 size, int &error)
{
    while (size > 0) {
        errno = 0;
        const qint64 done = out.write(data, size);
        if (done <= 0) {
            error = errno;
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
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
    return QLatin1String("<IMG SRC=") + quotedAttribute(picture, AttributeKind::Address)
        + QLatin1String(" BORDER=0 ALT=") + quotedAttribute(tip) + QLatin1Char('>');
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
        return failed(QStringLiteral("the picture %1 does not exist.").arg(source));
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
#ifdef SIGXFSZ
    // A file-size limit would end the program with every unsaved page; ignored,
    // the write fails with its reason instead.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // Said as page saves say it, rather than as the first failing step would.
    const QFileInfo targetInfo(target);
    if (targetInfo.isDir())
        return failed(fileErrorReason(EISDIR));
    if (!targetInfo.dir().exists() && !QFileInfo(targetInfo.absolutePath()).isFile())
        return failed(QStringLiteral("the folder \"%1\" does not exist.").arg(targetInfo.absolutePath()));
    QSaveFile out(target);
    errno = 0;
    // Unbuffered, so that a write that fails says so at once, with its reason.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(out, errno);
    // Read until the device says it has no more rather than trusting a
    // reported size, which some files do not have.
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        errno = 0;
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got == 0)
            break;
        if (got < 0) {
            const int error = errno;
            const QString reason = in.errorString();
            out.cancelWriting();
            if (error != 0)
                return failed(fileErrorReason(error));
            return failed(reason.isEmpty() ? QStringLiteral("the picture could not be read.") : reason);
        }
        if (limit >= 0 && (total += got) > limit) {
            out.cancelWriting();
            return failed(tooLargeReason(limit));
        }
        int error = 0;
        if (!writeAll(out, chunk.constData(), got, error)) {
            const PictureCopy copy = failed(out, error);
            out.cancelWriting();
            return copy;
        }
    }
    // The copy only takes the target's place here; until then an old target
    // stays whole, and a failure leaves no temporary file behind.
    errno = 0;
    if (!out.commit())
        return failed(out, errno);
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
