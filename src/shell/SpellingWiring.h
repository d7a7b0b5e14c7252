#pragma once

namespace tw {

class frmMain;

// Check Spelling and the Spelling Language menu of the document window's Edit
// menu: both start from the settings, are kept there and apply to every open
// page; each page gets its spelling marks when it is first shown.
void wireSpelling(frmMain &frame);

} // namespace tw
