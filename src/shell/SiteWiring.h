#pragma once

#include <QString>

namespace tw {

class frmMain;

// The text a file of the site dragged into a page writes there: an image
// tag for a picture, a link for a page, each with the file's address from
// the page's folder (an untitled page counts as one in the site's folder);
// empty for any other file, which is not taken.
QString siteDropText(const QString &pagePath, const QString &siteFolder, const QString &file);

// Adds "Open Folder...", "Site" and "Show Active Page" to the menus, the dock
// (made when first needed) and what the last run left of it.
void wireSite(frmMain &frame);

} // namespace tw
