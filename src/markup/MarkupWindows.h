#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace tw {

class Dialogs;

// How the picture-path warning was closed, and what the user left in it.
struct PicPathAnswer {
    enum Button { Yes, No, Closed };
    Button button = Closed;
    QString folder;             // the folder box text, as left
    bool dontShowAgain = false; // "Dont show again" checked when it closed
};

// Save HTML inside the picture-path warning: saves the page and gives its
// folder (ending in a separator), or nothing when it was not saved.
using SavePageForPicture = std::function<std::optional<QString>()>;

// The markup commands' own modal windows. The real ones are frmColor, frmLinks
// and frmPicPath; tests put a script in their place.
class MarkupWindows {
public:
    virtual ~MarkupWindows();

    // The palette "Colors": the index into paletteCells() of the cell
    // clicked, or -1 when it was closed without a pick.
    virtual int pickColorCell(QWidget *parent) = 0;

    // The "Links" dialog: the address on OK or Enter, nothing on Cancel or
    // the close box. Browse asks through dialogs.
    virtual std::optional<QString> askLinkAddress(Dialogs &dialogs, QWidget *parent) = 0;

    // The "Warning..." dialog about the picture's folder, opened with folder
    // in its folder box. "..." asks through dialogs; Save HTML runs savePage.
    virtual PicPathAnswer askPicturePath(Dialogs &dialogs, const QString &folder,
                                         const SavePageForPicture &savePage, QWidget *parent) = 0;
};

// The real windows, each created when shown and destroyed when closed.
class QtMarkupWindows final : public MarkupWindows {
public:
    int pickColorCell(QWidget *parent) override;
    std::optional<QString> askLinkAddress(Dialogs &dialogs, QWidget *parent) override;
    PicPathAnswer askPicturePath(Dialogs &dialogs, const QString &folder,
                                 const SavePageForPicture &savePage, QWidget *parent) override;
};

} // namespace tw
