#include "editor/EditorSettings.h"

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

bool closeTags()
{
    return readFlag("autoCloseTags", true);
}

void setCloseTags(bool on)
{
    writeFlag("autoCloseTags", on);
}

bool completion()
{
    return readFlag("completion", true);
}

void setCompletion(bool on)
{
    writeFlag("completion", on);
}

bool matchingTags()
{
    return readFlag("matchingTags", true);
}

void setMatchingTags(bool on)
{
    writeFlag("matchingTags", on);
}

bool checkAsYouType()
{
    return readFlag("checkAsYouType", false);
}

void setCheckAsYouType(bool on)
{
    writeFlag("checkAsYouType", on);
}

bool livePreview()
{
    return readFlag("livePreview", false);
}

void setLivePreview(bool on)
{
    writeFlag("livePreview", on);
}

} // namespace tw::editorSettings
