#pragma once

namespace tw {

// The program's entry point: records the start folder, shows the splash,
// builds and shows the frame, closes the splash and runs the event loop.
int Main(int argc, char *argv[]);

} // namespace tw
