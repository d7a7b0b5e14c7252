#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace tw {

class Dialogs;
class frmDocument;

// What the page-file commands need of the frame that holds the windows.
class DocumentHost {
public:
    virtual ~DocumentHost();
    virtual Dialogs &dialogs() = 0;
    // Creates, shows and activates a new document window with that caption.
    virtual frmDocument *createDocument(const QString &caption) = 0;
    // The active child's content (a document or any other window), or none.
    virtual QWidget *activeChild() const = 0;
    virtual QList<frmDocument *> documents() const = 0;
};

inline constexpr const char *kOpenFilter =
    "HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*";
inline constexpr const char *kSaveFilter = "HTML Document";
inline constexpr const char *kDefaultExtension = "htm";

// Open: asks for a file and puts it into a new window captioned with its path.
// openCount numbers the window's caption while the file loads; each window's
// Open and the frame's keep their own. A file that cannot be read gives a
// message and no window.
frmDocument *openWithDialog(DocumentHost &host, int &openCount);
frmDocument *openPage(DocumentHost &host, const QString &path, int &openCount);

// Save of the active child: asks for a name only while it is untitled.
// Nothing happens when the active child is not a document. True when saved.
bool SaveActiveDocument(DocumentHost &host);
// Save As of this window: always asks for a name.
bool saveDocumentAs(DocumentHost &host, frmDocument *document);
// Writes the document to its caption's path, or asks first while untitled.
bool saveDocument(DocumentHost &host, frmDocument *document);

// A new untitled window "Document N - Template" holding Template.html.
frmDocument *NewFromTemplate(DocumentHost &host);

// Asks, then closes the active titled document and deletes its file (to the
// trash where there is one).
void DeleteActiveDocument(DocumentHost &host);

// Before a window with unsaved changes closes: asks whether to save them.
// True when the window may close (saved, or the user chose not to save).
bool confirmClose(DocumentHost &host, frmDocument *document);

// The same for every document before the program ends; nothing is closed
// here. False when the user cancelled or a save failed.
bool confirmCloseAll(DocumentHost &host);

} // namespace tw
