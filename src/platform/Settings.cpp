#include "platform/Settings.h"

#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <cmath>

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
    return number;
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

QRect reachablePlacement(const QRect &saved, const QRect &fallback, const QVector<QRect> &screens)
{
    if (saved.width() <= 0 || saved.height() <= 0)
        return fallback;
    if (screens.isEmpty())
        return saved;
    for (const QRect &screen : screens) {
        if (screen.intersects(saved))
            return saved;
    }
    return fallback;
}

namespace {

QRect pixelRect(const Placement &p, double dpi)
{
    return {twipsToPixels(p.left, dpi), twipsToPixels(p.top, dpi), twipsToPixels(p.width, dpi),
            twipsToPixels(p.height, dpi)};
}

} // namespace

void restoreWindowPlacement(QWidget &window)
{
    const double dpi = logicalDpi();
    QVector<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->geometry();
    const QRect placement =
        reachablePlacement(pixelRect(Settings::loadPlacement(), dpi), pixelRect(Placement(), dpi), screens);
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
