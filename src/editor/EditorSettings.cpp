#include "editor/EditorSettings.h"

#include <QSettings>

namespace tw::editorSettings {

namespace {

// A flag reads as on or off only when it is written as one ("true", "false",
// "1", "0", any case); anything else in the file, such as a hand-edited
// "maybe", which QVariant would read as on, gives the fallback.
bool readFlag(const char *key, bool fallback)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(QStringLiteral("Editor"));
    const QVariant value = s.value(QLatin1String(key));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
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

bool checkSpelling()
{
    return readFlag("checkSpelling", false);
}

void setCheckSpelling(bool on)
{
    writeFlag("checkSpelling", on);
}

QString spellingLanguage()
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    return s.value(QStringLiteral("Editor/spellingLanguage")).toString();
}

void setSpellingLanguage(const QString &name)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.setValue(QStringLiteral("Editor/spellingLanguage"), name);
}

bool livePreview()
{
    return readFlag("livePreview", false);
}

void setLivePreview(bool on)
{
    writeFlag("livePreview", on);
}

bool folding()
{
    return readFlag("folding", true);
}

void setFolding(bool on)
{
    writeFlag("folding", on);
}

bool wordWrap()
{
    return readFlag("wordWrap", false);
}

void setWordWrap(bool on)
{
    writeFlag("wordWrap", on);
}

bool whiteSpace()
{
    return readFlag("whiteSpace", false);
}

void setWhiteSpace(bool on)
{
    writeFlag("whiteSpace", on);
}

bool lineEnds()
{
    return readFlag("lineEnds", false);
}

void setLineEnds(bool on)
{
    writeFlag("lineEnds", on);
}

} // namespace tw::editorSettings
