#pragma once

class QMenu;

namespace tw {

// Several items of a menu may share an access key. Qt moves through all of
// them on each press of the letter and stops on a disabled one, where nothing
// is highlighted, so an enabled item behind it cannot be reached. Steered,
// the letter moves through the enabled items only, and when only one of them
// is enabled it is chosen at once, as an item with a letter of its own is.
void steerSharedAccessKeys(QMenu *menu);

} // namespace tw
