#include "site/SiteState.h"

#include <QDir>
#include <QSet>
#include <QSettings>

namespace tw::site {

namespace {

const char *const kEdges[] = {"left", "right", "top", "bottom"};

QString text(const QVariant &value)
{
    // A list or a number where a text belongs reads as nothing, not as its
    // printed form.
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool isRelativeInside(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return false;
    const QString clean = QDir::cleanPath(path);
    return clean != QLatin1String(".") && clean != QLatin1String("..")
        && !clean.startsWith(QLatin1String("../"));
}

} // namespace

SiteState loadSiteState(QSettings &store)
{
    SiteState state;
    store.beginGroup(QStringLiteral("Site"));
    const QString folder = text(store.value(QStringLiteral("folder")));
    if (QDir::isAbsolutePath(folder) && !folder.contains(QChar(0)))
        state.folder = QDir::cleanPath(folder);
    const QVariant expanded = store.value(QStringLiteral("expanded"));
    QStringList given;
    if (expanded.typeId() == QMetaType::QStringList)
        given = expanded.toStringList();
    else if (expanded.typeId() == QMetaType::QString)
        given = QStringList{expanded.toString()}; // a list of one is written as a text
    QSet<QString> seen;
    for (const QString &path : given) {
        if (state.expanded.size() >= kMostExpanded)
            break;
        const QString clean = QDir::cleanPath(path);
        if (isRelativeInside(path) && !seen.contains(clean)) {
            seen.insert(clean);
            state.expanded << clean;
        }
    }
    const QString shown = text(store.value(QStringLiteral("shown"))).toLower();
    state.shown = shown == QLatin1String("true");
    const QString edge = text(store.value(QStringLiteral("area"))).toLower();
    for (int i = 0; i < 4; ++i) {
        if (edge == QLatin1String(kEdges[i]))
            state.edge = SiteState::Edge(i);
    }
    store.endGroup();
    return state;
}

void saveSiteState(QSettings &store, const SiteState &state)
{
    store.beginGroup(QStringLiteral("Site"));
    store.setValue(QStringLiteral("folder"), state.folder);
    store.setValue(QStringLiteral("expanded"), state.expanded);
    store.setValue(QStringLiteral("shown"), state.shown ? QStringLiteral("true") : QStringLiteral("false"));
    store.setValue(QStringLiteral("area"), QLatin1String(kEdges[int(state.edge)]));
    store.endGroup();
}

SiteState loadSiteState()
{
    QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    return loadSiteState(store);
}

void saveSiteState(const SiteState &state)
{
    QSettings store(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    saveSiteState(store, state);
}

} // namespace tw::site
