#pragma once

#include "markup/CommandState.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPixmap;
class QWidget;

namespace tw {

class ActiveEditor;
class Dialogs;
class MarkupWindows;

inline constexpr const char *kBackgroundFilter = "Pictures Files|*.jpg;*.gif";

// The BODY tag: TEXT, BGCOLOR, LINK, VLINK and ALINK in that order, each
// value in double quotes as given (a quote in it as &quot;), then BACKGROUND,
// an address, only when a picture is given.
QString bodyTagText(const QString &text, const QString &bgColor, const QString &link,
                    const QString &vlink, const QString &alink,
                    const std::optional<QString> &background);

// The value a page colour takes, and the colour its label is drawn in, each
// time the Page Properties window is created.
QString defaultPageColor(PageColor which);
QColor defaultLabelColor(PageColor which);

// The Page Properties window ("Page Properties") without its widgets: the
// real frmOptions and the tests' scripted windows share these steps.
// Constructing one runs the creation steps: the five colour values go back
// to their defaults and the background-picture mark is cleared, so a later
// OK never names a picture chosen in an earlier opening.
class PagePropertiesWindow : public PageColorLabels {
public:
    PagePropertiesWindow(CommandState &state, Dialogs &dialogs, MarkupWindows &windows);
    ~PagePropertiesWindow() override;

    // Shows the window modally until OK (true), Cancel or the close box.
    virtual bool runModal() = 0;

    // A click on a colour label: requests that colour and shows the palette.
    void clickLabel(PageColor which, QWidget *parent);
    // Browse, or a click on the preview: asks for a background picture. A
    // file that is not a readable picture is refused with a message and the
    // earlier choice stays.
    void browse();
    // Remove: forgets the background picture.
    void remove();

    // The bare name of the background picture, empty when none.
    QString backgroundName() const { return m_backgroundName; }
    // The tag OK writes.
    QString bodyTag() const;

protected:
    // Shows the chosen picture; a null pixmap empties the preview.
    virtual void showPreview(const QPixmap &picture) = 0;
    virtual QWidget *dialogParent() = 0;

    CommandState &m_state;
    Dialogs &m_dialogs;
    MarkupWindows &m_windows;

private:
    QString m_backgroundName;
};

using PagePropertiesFactory = std::function<std::unique_ptr<PagePropertiesWindow>(CommandState &)>;

// Builds the real frmOptions; dialogs and windows must outlive it.
PagePropertiesFactory realPageProperties(Dialogs &dialogs, MarkupWindows &windows, QWidget *parent);

// "Propert&ies" (the bar button and a document's File menu): shows the Page
// Properties window, reusing one the palette created hidden, and on OK
// writes the BODY tag in place of the selection as one undo step. The
// window is gone afterwards, however it closed. With no editor OK writes
// nothing.
void CmdProperties_Click(CommandState &state, ActiveEditor &editor, const PagePropertiesFactory &make);

} // namespace tw
