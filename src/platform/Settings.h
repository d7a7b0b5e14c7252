#pragma once

#include <QRect>
#include <QString>
#include <QVector>

class QSettings;
class QWidget;

namespace tw {

// The frame's placement in twips, as kept in the per-user settings store under
// application "Tagwright", section "Settings".
inline constexpr double kLargestTwips = 10'000'000; // about 7000 inches

struct Placement {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
};

class Settings {
public:
    // Reads "MainLeft", "MainTop", "MainWidth", "MainHeight"; a missing value,
    // or one that is not a finite number, gives its default. Numbers beyond
    // kLargestTwips either way are bounded to it.
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

// The height, in pixels, of the strip at the top of a frame that holds its
// title bar: the part the user must be able to reach to move the frame.
inline constexpr int kTitleBarHeight = 30;
// How much of the title bar's width, at least, must lie on a screen.
inline constexpr int kReachableWidth = 100;

// A pixel rectangle restored from a placement, given the available areas of
// the screens (without panels and docks). The saved place is kept when its
// whole title bar height, over at least kReachableWidth pixels (or its whole
// width when narrower), lies in one screen's available area; it is then made
// no larger than that area and moved only as far as needed to lie inside it.
// Otherwise the fallback is used, fitted the same way to the first screen.
// With no screens at all, the saved place is kept but no larger than
// kLargestFrame pixels each way.
inline constexpr int kLargestFrame = 8192;
QRect reachablePlacement(const QRect &saved, const QRect &fallback,
                         const QVector<QRect> &screens);

// A twips placement as pixels at this DPI. The arithmetic is done in double
// precision and every measure is bounded first, so that any stored number
// (3e10 among them) gives a rectangle whose edges fit in an int.
QRect placementPixels(const Placement &placement, double dpi);

} // namespace tw
