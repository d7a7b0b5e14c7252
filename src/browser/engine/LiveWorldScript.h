#pragma once

namespace tw {

// The live view's own script, run in kLiveWorldId at the creation of every
// document it shows (after the web channel's script): it defines the
// kLiveWorldObject object that changes the shown page in place.
extern const char kLiveWorldScript[];

} // namespace tw
