#pragma once

#include <QString>
#include <QStringList>

class QPrinter;

namespace tw {

// A file picked in an open or save dialog: the full path and the bare file
// name. An empty path means the user cancelled.
struct FileChoice {
    QString path;
    QString title;
    bool cancelled() const { return path.isEmpty(); }
};

enum class Answer { Yes, No, Cancel };
// Plain: an OK button and no icon.
enum class MessageKind { Information, Warning, Critical, Plain };

// Every modal interaction a command needs goes through this interface, so the
// same command runs against Qt's real dialogs or against a test script.
//
// Filters use the "description|pattern|description|pattern" form; a lone
// description without a pattern is allowed and matches every file.
class Dialogs {
public:
    virtual ~Dialogs();

    // One-line input box with OK and Cancel; the typed text exactly as typed.
    // Cancel or closing the box returns an empty text.
    virtual QString prompt(const QString &text, const QString &title) = 0;

    // Yes/No question with the question icon; true only for Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;

    // The same for a question whose Yes throws work away: No is the default
    // button, so that Enter keeps the work.
    virtual bool askYesNoDefaultNo(const QString &text, const QString &title);

    // Yes/No/Cancel question; closing the box counts as Cancel.
    virtual Answer askYesNoCancel(const QString &text, const QString &title) = 0;

    virtual void message(const QString &text, const QString &title, MessageKind kind) = 0;

    // A question answered by one of the named choices, shown as buttons with
    // a Cancel button after them: the index of the choice taken, or -1 for
    // Cancel or a closed box. Dialogs that cannot show one cancel.
    virtual int choose(const QString &text, const QString &title, const QStringList &choices);

    // The print dialog for this printer: true once the user chose where to
    // print (a printer, or a PDF file), false for Cancel. Dialogs that cannot
    // show one cancel.
    virtual bool choosePrinter(QPrinter &printer, const QString &title);

    // Standard open and save dialogs. A name typed without an extension gets
    // defaultExtension. The save dialog does not ask before replacing a file;
    // the open dialog accepts names of files that do not exist.
    virtual FileChoice openFile(const QString &filter, const QString &defaultExtension) = 0;
    virtual FileChoice saveFile(const QString &filter, const QString &defaultExtension) = 0;

    // A folder chosen in the standard folder dialog with this title; empty
    // when cancelled. Dialogs that cannot show one cancel.
    virtual QString chooseFolder(const QString &title);
};

// Turns a "description|pattern|..." filter into Qt's "description (patterns)"
// list. Patterns separated by ';' become blank-separated; a lone description
// with no pattern gets "(*)".
QString qtFilterFromPairs(const QString &pairs);

} // namespace tw
