#pragma once

#include <QIcon>

class QStyle;

namespace tw {

// The main toolbar's pictures: the style's standard icons where it has one,
// small drawn pictures for Cut, Copy and Paste, which it has not.
enum class ToolbarPicture { New, Open, Save, Cut, Copy, Paste, Preview, Browser, Trash };
QIcon toolbarIcon(ToolbarPicture picture, const QStyle *style);

} // namespace tw
