#pragma once

#include "pages/RecentList.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

namespace tw {

class DocumentHost;

// The pages last opened or saved, kept in the settings store; the menu lists
// them, newest first, and opens the one chosen. A page that no longer exists
// is taken off the list with a message.
class RecentPages : public QObject {
    Q_OBJECT
public:
    RecentPages(DocumentHost &host, int &openCount, QObject *parent = nullptr);

    // A menu of the list for one File menu (the frame's, the document
    // windows'): each menu tree gets its own, so assistive technology finds
    // each where it is shown. Deleted with this object.
    QMenu *newMenu();
    void note(const QString &path);
    void open(const QString &path);

private:
    void rebuild(QMenu *menu);
    DocumentHost &m_host;
    int &m_openCount;
};

} // namespace tw
