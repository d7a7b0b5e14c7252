#pragma once

namespace tw {

// Puts the calling thread (and the threads it starts later) behind the
// window's thread: when both want a processor, the window goes first, so
// background work such as a search or a folder's listing never makes it
// slow to answer. QThread's priorities do nothing for ordinary threads on
// Linux; this lowers the thread's nice value.
void runBehindTheWindow();

} // namespace tw
