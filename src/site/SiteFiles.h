#pragma once

#include <QString>

namespace tw::site {

// What a file of the site is to a web page, by its name's ending (any case).
enum class WebKind { Page, StyleSheet, Script, Picture, Other };
WebKind webKindOf(const QString &fileName);
inline bool isWebFile(const QString &fileName)
{
    return webKindOf(fileName) != WebKind::Other;
}

// The address of target as a page at pagePath writes it: relative to the
// page's folder, with '/' between folders and "../" for each folder up. The
// characters that would change what the address means ('%', '#', '?') are
// percent-encoded; everything else stays as the name is spelt, as the image
// and link commands write a file's name. Paths are taken by name, neither
// needs to exist.
QString relativeAddress(const QString &pagePath, const QString &target);

// Where a page open at openPath lies once oldPath (a file or a folder) has
// been renamed to newPath: the new path, or empty when the rename does not
// touch it.
QString renamedPath(const QString &openPath, const QString &oldPath, const QString &newPath);

// Why a name typed for a new or renamed file cannot be used, as the end of
// a sentence; empty when it can.
QString nameProblem(const QString &name);

// Why the folder cannot be shown as a site, as the end of a sentence ("it
// does not exist."); empty when it can be read.
QString folderProblem(const QString &folder);

// True when path lies in folder or is it, judged by the names.
bool liesIn(const QString &path, const QString &folder);

} // namespace tw::site
