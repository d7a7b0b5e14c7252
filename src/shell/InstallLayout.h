#pragma once

namespace tw {

// Where an installed tree keeps the browser module, relative to the program's
// own folder (PREFIX/bin -> PREFIX/<libdir>/tagwright), so that a tree
// installed under another prefix, or a package built for /usr, finds it too.
void addInstalledBrowserModuleDir();

} // namespace tw
