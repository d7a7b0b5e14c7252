#include "documents/DocumentFiles.h"

#include "documents/PageEvents.h"
#include "documents/DocumentEncoding.h"
#include "documents/LongLineQuestion.h"
#include "pages/PageFile.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

namespace tw {

DocumentHost::~DocumentHost() = default;

namespace {

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

frmDocument *activeDocument(const DocumentHost &host)
{
    return qobject_cast<frmDocument *>(host.activeChild());
}

// Writes the window's text to path; on success the window takes the path as
// its caption and counts as unchanged. A failure is reported and changes nothing.
bool writeDocument(DocumentHost &host, frmDocument *document, const QString &path)
{
    SourceEditor *editor = document->textEdit;
    if (!settleEncoding(host.dialogs(), path, document->encoding, editor->documentData(),
                        editor->documentLength()))
        return false;
    const PageWriteResult result =
        writePage(path, editor->documentData(), editor->documentLength(), document->encoding);
    if (!result.ok) {
        // A save in place may have touched the file before it failed: that is
        // no change by another program.
        emit PageEvents::instance().pageWriteFailed(document, path);
        host.dialogs().message(result.error, QStringLiteral("Save"), MessageKind::Critical);
        return false;
    }
    document->encoding = result.written;
    document->setCaption(path);
    editor->setModified(false);
    emit PageEvents::instance().pageWritten(document, path);
    return true;
}

bool saveWithDialog(DocumentHost &host, frmDocument *document)
{
    const FileChoice choice = host.dialogs().saveFile(latin(kSaveFilter), latin(kDefaultExtension));
    if (choice.cancelled())
        return false;
    return writeDocument(host, document, choice.path);
}

// The loaded page's text, broken after each '>' of its long lines, becomes an
// untitled document: the page's file is not what the window holds.
frmDocument *openWithLineBreaks(DocumentHost &host, frmDocument *document, const QString &path)
{
    document->setCaption(QStringLiteral("Document ") + QString::number(raiseDocumentCount()));
    if (!putLineBreaks(document->textEdit)) {
        document->closeWithoutQuestion();
        host.dialogs().message(QStringLiteral("Cannot open \"%1\": there is not enough memory to hold it.")
                                   .arg(QDir::toNativeSeparators(path)),
                               QStringLiteral("Open"), MessageKind::Critical);
        return nullptr;
    }
    document->textEdit->viewport()->show();
    return document;
}

} // namespace

frmDocument *openWithDialog(DocumentHost &host, int &openCount)
{
    const FileChoice choice = host.dialogs().openFile(latin(kOpenFilter), latin(kDefaultExtension));
    if (choice.cancelled())
        return nullptr;
    return openPage(host, choice.path, openCount);
}

frmDocument *openPage(DocumentHost &host, const QString &path, int &openCount)
{
    // The file is opened and checked first, so that a file that cannot be read
    // leaves no window behind whose next Save would wipe the real file. The
    // text then goes straight into the new window's editor.
    PageReader reader(path);
    if (!reader.open()) {
        host.dialogs().message(reader.error(), QStringLiteral("Open"), MessageKind::Critical);
        return nullptr;
    }
    ++openCount;
    QPointer<frmDocument> document =
        host.createDocument(QStringLiteral("Document ") + QString::number(openCount));
    // Nothing of the page is painted before it is known how it opens: the
    // first paint of a line of megabytes alone takes seconds. The text area
    // is hidden meanwhile (the editor keeps the focus).
    document->textEdit->viewport()->hide();
    if (!document->textEdit->loadPage(reader)) {
        // A read that failed part way (an input/output error, no memory): the
        // window holds nothing worth keeping, so it goes without a question.
        document->closeWithoutQuestion();
        --openCount;
        host.dialogs().message(reader.error(), QStringLiteral("Open"), MessageKind::Critical);
        return nullptr;
    }
    document->encoding = reader.encoding();
    if (reader.longestLine() > kLongLineLimit) {
        const LongLineChoice choice = askAboutLongLine(host.dialogs(), path, reader.longestLine());
        if (!document)
            return nullptr; // closed while the question was open (the program is ending)
        if (choice == LongLineChoice::Cancel) {
            document->closeWithoutQuestion();
            --openCount;
            return nullptr;
        }
        if (choice == LongLineChoice::WithLineBreaks)
            return openWithLineBreaks(host, document, path);
        document->textEdit->setSteadyCaret(true);
    }
    document->textEdit->viewport()->show();
    document->setCaption(path);
    emit PageEvents::instance().pageRead(document, path);
    return document;
}

bool SaveActiveDocument(DocumentHost &host)
{
    frmDocument *document = activeDocument(host);
    return document && saveDocument(host, document);
}

bool saveDocument(DocumentHost &host, frmDocument *document)
{
    if (document->isUntitled())
        return saveWithDialog(host, document);
    return writeDocument(host, document, document->caption());
}

bool saveDocumentAs(DocumentHost &host, frmDocument *document)
{
    return document && saveWithDialog(host, document);
}

frmDocument *NewFromTemplate(DocumentHost &host)
{
    const int number = raiseDocumentCount();
    frmDocument *document = host.createDocument(QStringLiteral("Document ") + QString::number(number)
                                                + QStringLiteral(" - Template"));
    // Read as a page is opened, so that no memory shortage ends the program.
    PageReader reader(besideProgram(QStringLiteral("Template.html")));
    if (reader.open() && document->textEdit->loadPage(reader))
        document->encoding = reader.encoding();
    else
        host.dialogs().message(reader.error(), QStringLiteral("Template"), MessageKind::Warning);
    document->textEdit->setFocus(Qt::OtherFocusReason);
    return document;
}

void DeleteActiveDocument(DocumentHost &host)
{
    frmDocument *document = activeDocument(host);
    if (!document || document->isUntitled())
        return;
    // Yes closes the window, dropping its text, and deletes the file.
    if (!host.dialogs().askYesNoDefaultNo(QStringLiteral("Do you want to delete the curent HTML ?"),
                                          QStringLiteral("Delete File")))
        return;
    const QString path = document->caption();
    document->closeWithoutQuestion();

    QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return; // already gone: nothing to report
    if (!info.isFile() && !info.isSymLink()) {
        host.dialogs().message(QStringLiteral("%1 is not a file and was not deleted.").arg(path),
                               QStringLiteral("Delete File"), MessageKind::Warning);
        return;
    }
    // The home trash lies in the user's data folder; Qt puts a trash in the
    // working folder instead when that folder does not exist yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (file.moveToTrash() || file.remove())
        return;
    host.dialogs().message(QStringLiteral("Could not delete %1: %2").arg(path, file.errorString()),
                           QStringLiteral("Delete File"), MessageKind::Critical);
}

bool confirmClose(DocumentHost &host, frmDocument *document)
{
    if (!document->textEdit->isModified())
        return true;
    const Answer answer = host.dialogs().askYesNoCancel(
        QStringLiteral("The text in %1 has changed.\n\nDo you want to save the changes?").arg(document->caption()),
        QStringLiteral("Tagwright"));
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::No)
        return true;
    return saveDocument(host, document);
}

bool confirmCloseAll(DocumentHost &host)
{
    for (frmDocument *document : host.documents()) {
        if (!confirmClose(host, document))
            return false;
    }
    return true;
}

} // namespace tw
