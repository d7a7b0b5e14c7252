#pragma once

namespace tw {

class frmMain;

// View, Live Preview (F6): the dock beside the editor that shows the active
// document window's text as a page. The choice starts from the settings and
// is kept there; the dock, and the web engine with it, is made only when it
// is first shown. Closing the dock unchecks the item.
void wireLivePreview(frmMain &frame);

} // namespace tw
