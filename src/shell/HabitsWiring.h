#pragma once

namespace tw {

class frmMain;

// The editor's habits: the top of the Edit menu (Undo, Redo, Cut, Copy,
// Paste, Select All, each enabled only while it can act on the active page),
// Go to Line, printing the page's source, and how the text is shown (word
// wrap, blanks, line ends and folding, kept in the settings; fold and unfold
// all; the zoom, kept for the run).
void wireHabits(frmMain &frame);

} // namespace tw
