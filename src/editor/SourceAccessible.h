#pragma once

namespace tw {

// Makes assistive technology reach a SourceEditor through SourceAccessible,
// which converts between byte positions and character offsets at the cost
// of one line rather than of the whole page. Installed once; later calls do
// nothing. The editor's own side of this (its offsets and what it announces
// to assistive technology) is defined next to it, in SourceAccessible.cpp.
void installSourceAccessible();

} // namespace tw
