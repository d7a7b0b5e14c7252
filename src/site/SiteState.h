#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace tw::site {

// What the Site dock brings back at the next start, kept in the settings
// store's section "Site": the folder ("folder"), its subfolders that were
// open ("expanded", paths relative to the folder, '/' between names),
// whether the dock was shown ("shown") and the frame's edge it stood at
// ("area": "left", "right", "top" or "bottom").
struct SiteState {
    enum class Edge { Left, Right, Top, Bottom };
    QString folder;
    QStringList expanded;
    bool shown = false;
    Edge edge = Edge::Left;
    bool operator==(const SiteState &o) const
    {
        return folder == o.folder && expanded == o.expanded && shown == o.shown && edge == o.edge;
    }
};

// At most this many open subfolders are kept.
inline constexpr int kMostExpanded = 1000;

// Anything in the store that is not what it should be reads as the default:
// a folder that is no absolute path reads as none, subfolders that would
// leave the folder ("..", absolute paths) or repeat are dropped, an unknown
// edge is the left one. A missing store reads as the defaults.
SiteState loadSiteState(QSettings &store);
void saveSiteState(QSettings &store, const SiteState &state);
// The same on the program's own settings.
SiteState loadSiteState();
void saveSiteState(const SiteState &state);

} // namespace tw::site
