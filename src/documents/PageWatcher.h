#pragma once

#include "pages/FileWatcher.h"

#include <QObject>
#include <QSet>
#include <QString>

namespace tw {

class DocumentHost;
class frmDocument;

// Watches the files of the open pages (the system tells of changes; nothing
// polls). When another program changes one, its window asks once whether to
// reload it; a page with unsaved changes says it would lose them, and Enter
// answers No. The program's own writes, failed ones too, are no change. Reloading
// is one undo step; without the memory for the new text the window keeps its
// text and says so. A page deleted on disk keeps its text and counts as
// changed, so closing it asks to save it; its window's notice bar says so.
class PageWatcher : public QObject {
    Q_OBJECT
public:
    explicit PageWatcher(DocumentHost &host, QObject *parent = nullptr);

    // Takes the file as it is now for this program's own, so that what its
    // own failed write left is not taken for another program's change.
    void restamp(const QString &path);
    // Looks at a file now, as a change notice does.
    void check(const QString &path);

private:
    void reload(frmDocument *document, const QString &path);
    DocumentHost &m_host;
    FileWatcher *m_files;
    QSet<QString> m_asking;
};

} // namespace tw
