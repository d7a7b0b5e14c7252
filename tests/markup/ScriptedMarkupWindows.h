#pragma once

#include "ScriptedDialogs.h"
#include "markup/FontCommands.h"
#include "markup/MarkupWindows.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace tw::test {

// Stands in for the palette, the links dialog and the picture-path warning:
// each answers from its own queue and records that it was shown. A window
// shown with an empty queue throws ScriptError.
class ScriptedMarkupWindows final : public MarkupWindows {
public:
    using PicPathStep = std::function<PicPathAnswer(Dialogs &, const QString &folder, const SavePageForPicture &)>;

    QList<int> picks;                       // cell index, or -1 for the close box
    QList<std::optional<QString>> addresses; // nothing = Cancel
    QList<PicPathStep> picPaths;
    QStringList shown; // "palette", "links", "picpath <folder>"

    int pickColorCell(QWidget *) override
    {
        shown << QStringLiteral("palette");
        if (picks.isEmpty())
            throw ScriptError("unscripted palette");
        return picks.takeFirst();
    }
    std::optional<QString> askLinkAddress(Dialogs &, QWidget *) override
    {
        shown << QStringLiteral("links");
        if (addresses.isEmpty())
            throw ScriptError("unscripted links dialog");
        return addresses.takeFirst();
    }
    PicPathAnswer askPicturePath(Dialogs &dialogs, const QString &folder, const SavePageForPicture &savePage,
                                 QWidget *) override
    {
        shown << QStringLiteral("picpath ") + folder;
        if (picPaths.isEmpty())
            throw ScriptError("unscripted picture-path warning");
        return picPaths.takeFirst()(dialogs, folder, savePage);
    }
};

// The palette index of the cell with this name ("a1" to "d4").
inline int cellIndex(const char *name)
{
    for (int i = 0; i < paletteCells().size(); ++i) {
        if (qstrcmp(paletteCells().at(i).name, name) == 0)
            return i;
    }
    return -1;
}

// A warning closed at once with this button and folder text.
inline ScriptedMarkupWindows::PicPathStep answerPicPath(PicPathAnswer::Button button, const QString &folder,
                                                        bool dontShow = false)
{
    return [=](Dialogs &, const QString &, const SavePageForPicture &) {
        return PicPathAnswer{button, folder, dontShow};
    };
}

} // namespace tw::test
