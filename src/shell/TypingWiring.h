#pragma once

namespace tw {

class frmMain;

// The View menus' toggles for help while typing (closing tags, completion,
// matching tags): they start from the settings, are kept there, and apply to
// every open page.
void wireTypingHelp(frmMain &frame);

} // namespace tw
