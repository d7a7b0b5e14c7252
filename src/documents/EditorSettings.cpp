#include "documents/EditorSettings.h"

#include <QSettings>

namespace tw::editorSettings {

namespace {


bool readFlag(const char *key, bool fallback)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(QStringLiteral("Editor"));
    return s.value(QLatin1String(key), fallback).toBool();
}

void writeFlag(const char *key, bool on)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(QStringLiteral("Editor"));
    s.setValue(QLatin1String(key), on);
}

} // namespace

bool highlighting()
{
    return readFlag("highlighting", true);
}

void setHighlighting(bool on)
{
    writeFlag("highlighting", on);
}

bool lineNumbers()
{
    return readFlag("lineNumbers", true);
}

void setLineNumbers(bool on)
{
    writeFlag("lineNumbers", on);
}

bool livePreview()
{
    return readFlag("livePreview", false);
}

void setLivePreview(bool on)
{
    writeFlag("livePreview", on);
}

QStringList recentPages()
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(QStringLiteral("Editor"));
    QStringList out;
    const int n = s.beginReadArray(QStringLiteral("recentPages"));
    for (int i = 0; i < n && out.size() < 10; ++i) {
        s.setArrayIndex(i);
        const QString path = s.value(QStringLiteral("path")).toString();
        if (!path.isEmpty() && !out.contains(path))
            out << path;
    }
    s.endArray();
    return out;
}

void setRecentPages(const QStringList &paths)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(QStringLiteral("Editor"));
    s.remove(QStringLiteral("recentPages"));
    s.beginWriteArray(QStringLiteral("recentPages"));
    for (int i = 0; i < paths.size() && i < 10; ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("path"), paths.at(i));
    }
    s.endArray();
}

} // namespace tw::editorSettings
