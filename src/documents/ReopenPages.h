#pragma once

#include "documents/OpenPages.h"

#include <QObject>
#include <QTimer>

namespace tw {

class DocumentHost;
class frmDocument;

// Keeps the list of the titled pages open in the windows in a file, while
// the user has chosen to have them back at the next start. The list is
// written anew, in one step, soon after a page opens or closes, is saved
// under another name, changes encoding or another window becomes active, so
// that a crash keeps it; each write takes the carets and scroll positions of
// that moment. Nothing is written before begin() (the start-up's own pages
// come first) nor after finish(). A list that cannot be written is told in
// the active window's notice bar, once until a write succeeds again.
class OpenPagesKeeper : public QObject {
    Q_OBJECT
public:
    OpenPagesKeeper(DocumentHost &host, const QString &file, QObject *parent = nullptr);

    QString file() const { return m_file; }
    bool isEnabled() const { return m_enabled; }
    // On: the list is written now (once begun). Off: its file is removed and
    // nothing more is written.
    void setEnabled(bool on);
    // Start-up is done: changes are written from now on, and now.
    void begin();
    // Follows the window's caption, saved state and closing.
    void watch(frmDocument *document);
    // Something changed: one write soon, for any number of changes now.
    void changed();
    // The program ends: the list as it stands (before the windows close) is
    // written, and nothing after that.
    void finish();

    OpenPages current() const;

private:
    void write();

    DocumentHost &m_host;
    QString m_file;
    QTimer m_timer;
    bool m_enabled = false;
    bool m_begun = false;
    bool m_finished = false;
    bool m_failed = false;
};

// Opens the pages of the plan: the saved ones with their caret, first line
// in view and encoding (when the file still reads as that encoding), then
// those of the command line as the command line opens them; then activates
// the planned active page. The saved pages that cannot be opened (gone,
// unreadable) are named together in one notice in the active window.
// Returns the windows opened.
QList<frmDocument *> reopenPages(DocumentHost &host, int &openCount, const ReopenPlan &plan);

} // namespace tw
