#pragma once

#include <QString>
#include <QStringList>

namespace tw {

class frmMain;

// "Reopen Pages at Start" in both File menus (checkable, kept in the
// settings) and the keeper of the list of open pages behind it.
void wireReopenPages(frmMain &frame);

// What start-up opens after the first empty window: the pages the recovery
// journal restores (its question comes first), then, when the user chose so,
// the pages open at the last exit, then the pages named on the command line.
// From then on the list of open pages follows the windows.
void openStartPages(frmMain &frame, const QStringList &commandLine, const QString &journalFolder);

} // namespace tw
