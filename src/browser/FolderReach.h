#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// How far a page's requests for local files reach: into the folders it may
// take files from, and nowhere else. QtCore only, so that the browser module
// judges the engine's requests by the same rule as the program.

// The folders a page at pagePath may load files from: its own folder, and
// with it everything below; and the site's folder when the page lies in it,
// so that a page may take what its site holds ("../css/site.css"); none for
// a path that is not absolute (an untitled page's).
QStringList reachableFolders(const QString &pagePath, const QString &siteFolder);
// The same with the site folder the user has open in the program now.
QStringList reachableFolders(const QString &pagePath);

enum class Reach {
    Inside, // an existing file or folder within one of the folders
    Outside, // named outside them, or led out by a symbolic link
    Missing, // named inside, but nothing is there
};

// Where path lies. It is judged by its name first, so that what lies outside
// is refused whether it exists or not, then by the place its symbolic links
// lead to, so that a link in the folder cannot lead out of it.
Reach reachOf(const QString &path, const QStringList &folders);

} // namespace tw
