#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace tw {

// The five colours of a page's BODY tag, in the order the palette serves
// their requests.
enum class PageColor { Link, ALink, VLink, Text, Bg };
inline constexpr PageColor kPageColors[] = {PageColor::Link, PageColor::ALink, PageColor::VLink,
                                            PageColor::Text, PageColor::Bg};

// What the palette needs of the Page Properties window: it draws the label of
// a page colour in the colour picked for it.
class PageColorLabels {
public:
    virtual ~PageColorLabels();
    virtual void showPageColor(PageColor which, const QColor &fill) = 0;
};

// The values the dialog commands share for one run of the program; nothing
// here is saved. The frame owns one and hands it to each command.
struct CommandState {
    // Page colour values, as the palette's colour texts. Page Properties sets
    // them to their defaults each time its window is created.
    QString LinkColor;
    QString ALinkColor;
    QString VLinkColor;
    QString TextColor;
    QString BgColor;

    // Colour requests, 1 = requested. A page colour request stays set until a
    // palette pick serves it, even across closed palettes.
    qint16 FontColorPending = 0;
    qint16 LinkColorPending = 0;
    qint16 ALinkColorPending = 0;
    qint16 VLinkColorPending = 0;
    qint16 TextColorPending = 0;
    qint16 BgColorPending = 0;

    // Picture-path warning: 1 = the Image command no longer warns (this run).
    qint16 DontShowPicWarning = 0;
    // The folder text last confirmed with YES, exactly as the user left it.
    QString PicHtmlPath;

    // 1 while the Page Properties window holds a background picture.
    qint16 BgPictureChosen = 0;

    // The Page Properties window while it exists, shown or hidden. It is kept
    // here so that a palette pick serving a left-over page colour request can
    // reach it, and a later opening shows that same window.
    std::unique_ptr<PageColorLabels> pageProperties;
    // Creates the Page Properties window hidden into pageProperties (its
    // creation steps run). Installed by the Properties command.
    std::function<void()> createPageProperties;

    QString &value(PageColor which);
    qint16 &pending(PageColor which);
};

} // namespace tw
