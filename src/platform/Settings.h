#pragma once

#include <QRect>
#include <QString>
#include <QVector>

class QSettings;
class QWidget;

namespace tw {

// The frame's placement in twips, as kept in the per-user settings store under
// application "Tagwright", section "Settings".
struct Placement {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
};

class Settings {
public:
    // Reads "MainLeft", "MainTop", "MainWidth", "MainHeight"; a missing value,
    // or one that is not a number, gives its default.
    static Placement loadPlacement();
    static void savePlacement(const Placement &placement);

    static Placement loadPlacement(QSettings &store);
    static void savePlacement(QSettings &store, const Placement &placement);
};

// Puts the window where the settings store says, through the logical DPI, or
// at the defaults when the stored place could not be reached on any screen.
void restoreWindowPlacement(QWidget &window);
// Stores the window's place unless it is minimized.
void saveWindowPlacement(const QWidget &window);

// A pixel rectangle restored from a placement, or the defaults when the saved
// one would leave the window wholly off every screen (an unreachable window).
QRect reachablePlacement(const QRect &saved, const QRect &fallback,
                         const QVector<QRect> &screens);

} // namespace tw
