#pragma once

namespace tw {

class frmMain;

// Connects every command action of the frame to the work it runs.
void wireCommands(frmMain &frame);

} // namespace tw
