#pragma once

namespace tw {

class frmMain;

// The View menus' highlighting and line-number toggles: they start from the
// settings, are kept there, and apply to every open page. A status bar notice
// says when the active page is too large to highlight.
void wireLook(frmMain &frame);

} // namespace tw
