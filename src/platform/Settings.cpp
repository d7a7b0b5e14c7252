#include "platform/Settings.h"

#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tw {

namespace {

const char *const kGroup = "Settings";

double readNumber(QSettings &store, const char *key, double fallback)
{
    const QVariant value = store.value(QLatin1String(key));
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const float number = value.toString().trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(number))
        return fallback;
    return std::clamp(double(number), -kLargestTwips, kLargestTwips);
}

QString decimal(double value)
{
    return QString::number(static_cast<qlonglong>(std::llround(value)));
}

} // namespace

Placement Settings::loadPlacement()
{
    QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    return loadPlacement(store);
}

void Settings::savePlacement(const Placement &placement)
{
    QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    savePlacement(store, placement);
}

Placement Settings::loadPlacement(QSettings &store)
{
    const Placement defaults;
    Placement p;
    store.beginGroup(QLatin1String(kGroup));
    p.left = readNumber(store, "MainLeft", defaults.left);
    p.top = readNumber(store, "MainTop", defaults.top);
    p.width = readNumber(store, "MainWidth", defaults.width);
    p.height = readNumber(store, "MainHeight", defaults.height);
    store.endGroup();
    return p;
}

void Settings::savePlacement(QSettings &store, const Placement &placement)
{
    store.beginGroup(QLatin1String(kGroup));
    store.setValue(QStringLiteral("MainLeft"), decimal(placement.left));
    store.setValue(QStringLiteral("MainTop"), decimal(placement.top));
    store.setValue(QStringLiteral("MainWidth"), decimal(placement.width));
    store.setValue(QStringLiteral("MainHeight"), decimal(placement.height));
    store.endGroup();
    store.sync();
}

namespace {

// Edges are kept in 64 bits until the result is known to fit.
struct Box {
    std::int64_t left, top, width, height;
    std::int64_t right() const { return left + width; }
    std::int64_t bottom() const { return top + height; }
};

Box boxOf(const QRect &r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

std::int64_t overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1)
{
    return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

// True when the frame's title bar can be reached on this screen area.
bool titleBarOn(const Box &frame, const Box &area)
{
    const std::int64_t barHeight = std::min<std::int64_t>(kTitleBarHeight, frame.height);
    const std::int64_t needWidth = std::min<std::int64_t>(kReachableWidth, frame.width);
    return overlap(frame.top, frame.top + barHeight, area.top, area.bottom()) >= barHeight
        && overlap(frame.left, frame.right(), area.left, area.right()) >= needWidth;
}

// No larger than the area, and moved only as far as needed to lie inside it.
QRect fitInto(Box frame, const Box &area)
{
    frame.width = std::clamp<std::int64_t>(frame.width, 1, std::max<std::int64_t>(1, area.width));
    frame.height = std::clamp<std::int64_t>(frame.height, 1, std::max<std::int64_t>(1, area.height));
    frame.left = std::max(area.left, std::min(frame.left, area.right() - frame.width));
    frame.top = std::max(area.top, std::min(frame.top, area.bottom() - frame.height));
    return QRect(int(frame.left), int(frame.top), int(frame.width), int(frame.height));
}

} // namespace

QRect reachablePlacement(const QRect &saved, const QRect &fallback, const QVector<QRect> &screens)
{
    const Box frame = boxOf(saved);
    if (screens.isEmpty()) {
        if (frame.width <= 0 || frame.height <= 0)
            return fallback;
        return fitInto(frame, {frame.left, frame.top, kLargestFrame, kLargestFrame});
    }
    if (frame.width > 0 && frame.height > 0) {
        for (const QRect &screen : screens) {
            if (titleBarOn(frame, boxOf(screen)))
                return fitInto(frame, boxOf(screen));
        }
    }
    return fitInto(boxOf(fallback), boxOf(screens.first()));
}

QRect placementPixels(const Placement &p, double dpi)
{
    if (!(dpi > 0) || !std::isfinite(dpi))
        dpi = 96;
    // Bounded well inside int, so that adding a width to a left edge cannot overflow.
    const auto pixels = [dpi](double twips) {
        const double value = std::clamp(twips * dpi / 1440.0, -1e8, 1e8);
        return std::isfinite(value) ? int(std::lround(value)) : 0;
    };
    return {pixels(p.left), pixels(p.top), pixels(p.width), pixels(p.height)};
}

void restoreWindowPlacement(QWidget &window)
{
    const double dpi = logicalDpi();
    QVector<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QRect placement = reachablePlacement(placementPixels(Settings::loadPlacement(), dpi),
                                               placementPixels(Placement(), dpi), screens);
    window.move(placement.topLeft());
    window.resize(placement.size());
}

// The frame position and client size, so that restoring gives back the same pixels.
void saveWindowPlacement(const QWidget &window)
{
    if (window.isMinimized())
        return;
    const double dpi = logicalDpi();
    Placement p;
    p.left = pixelsToTwips(window.x(), dpi);
    p.top = pixelsToTwips(window.y(), dpi);
    p.width = pixelsToTwips(window.width(), dpi);
    p.height = pixelsToTwips(window.height(), dpi);
    Settings::savePlacement(p);
}

} // namespace tw
