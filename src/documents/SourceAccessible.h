#pragma once

namespace tw {

// Makes assistive technology reach a SourceEditor through SourceAccessible,
// which converts between byte positions and character offsets at the cost
// of one line rather than of the whole page. Installed once; later calls do
// nothing.
void installSourceAccessible();

} // namespace tw
