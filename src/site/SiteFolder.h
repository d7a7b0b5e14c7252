#pragma once

#include <QObject>
#include <QString>

namespace tw {

// The name of the application object's property that holds the site's
// folder, so that the browser module, which shares no code state with the
// program, reads the same folder (see browser/FolderReach.h).
inline constexpr const char *kSiteFolderProperty = "tagwrightSiteFolder";

// The folder the user works in (File, Open Folder): one for the program,
// empty while none is chosen. Commands that work on the whole site take it
// as their folder; `changed` tells them when the user chooses another.
class SiteFolder : public QObject {
    Q_OBJECT
public:
    static SiteFolder &instance();

    QString folder() const { return m_folder; }
    // Takes the folder as a clean absolute path; the same folder again
    // changes nothing.
    void setFolder(const QString &folder);

signals:
    void changed(const QString &folder);

private:
    QString m_folder;
};

} // namespace tw
