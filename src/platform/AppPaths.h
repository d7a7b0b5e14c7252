#pragma once

#include <QString>

namespace tw {

// The working directory at start-up, recorded before any window exists.
void recordStartDir();
// The recorded folder; the working directory when none was recorded yet.
QString startDir();

// Path of a file that lies beside the program: first StartDir, then the folder
// of the executable, then share/tagwright beside the executable's folder (an
// installed tree), then the installed data folder. When none holds the file,
// the StartDir path is returned, so reading it fails as a missing file.
QString besideProgram(const QString &fileName);

} // namespace tw
