#include "markup/CommandState.h"

namespace tw {

PageColorLabels::~PageColorLabels() = default;

QString &CommandState::value(PageColor which)
{
    switch (which) {
    case PageColor::Link:
        return LinkColor;
    case PageColor::ALink:
        return ALinkColor;
    case PageColor::VLink:
        return VLinkColor;
    case PageColor::Text:
        return TextColor;
    case PageColor::Bg:
        break;
    }
    return BgColor;
}

qint16 &CommandState::pending(PageColor which)
{
    switch (which) {
    case PageColor::Link:
        return LinkColorPending;
    case PageColor::ALink:
        return ALinkColorPending;
    case PageColor::VLink:
        return VLinkColorPending;
    case PageColor::Text:
        return TextColorPending;
    case PageColor::Bg:
        break;
    }
    return BgColorPending;
}

} // namespace tw
