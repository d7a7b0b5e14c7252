#pragma once

#include "browser/LiveArea.h"
#include "pages/PageFile.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

namespace tw {

// What the live preview serves, as plain functions: the page's bytes are the
// ones Save would write, and everything else the page loads comes from the
// disk, read only.

// The text as Save writes it: in the page's encoding, followed by CR LF. A
// Windows-1252 page holding characters that code page cannot store has them
// as character references (a save would ask first; either answer shows the
// same characters).
QByteArray savedBytes(const char *utf8, qsizetype length, PageEncoding encoding);

// The content type the page is served with: its encoding is the editor's.
QByteArray pageContentType(PageEncoding encoding);

// Where the page is taken to lie, which sets the folder relative addresses
// resolve against: its file. An untitled page lies nowhere: its path is its
// caption alone, not absolute, so it reaches no folder and no file (see
// reachableFolders); it shows its own text only.
QString livePagePath(const QString &caption, bool untitled);

// Whether the scripts of a page changed between two texts: the text of each
// script and noscript element, tags included, taken from the text (a page's
// scripts run only in a load, and the engine parses a noscript element
// differently with scripts on). A null before (nothing shown yet) counts as
// changed.
bool liveScriptsDiffer(const QString &before, const QString &after);

// The live address of a path, and back; a path of nothing for any other scheme.
QUrl liveAddress(const QString &path);
QString livePath(const QUrl &address);

// Where a link clicked in the live view leads a browser window: the file
// behind a live address, any other address as it is; nothing for a live
// address relative to a page not saved yet.
QString browserAddressFor(const QUrl &link);

// The answer to the view's request for an address: the page's own address
// gets its bytes; any other live address gets the file at that path, opened,
// when it is a readable regular file in the page's folder or below (symbolic
// links followed). A path out of the folder is refused, whether it exists or
// not. A style sheet in reach for which openSheet gives bytes (one open in
// a document window, unsaved text and all) is served those bytes instead of
// the file. Nothing is created or written.
using OpenSheetFunction = std::function<bool(const QString &path, QByteArray *bytes)>;
LiveAnswer answerLiveRequest(const QUrl &requested, const QString &pagePath,
                             const QByteArray &pageBytes, const QByteArray &contentType,
                             const OpenSheetFunction &openSheet = {});

// Why the page's folder cannot be read, or nothing when it can (or when the
// page lies in no folder).
QString folderProblem(const QString &pagePath);

} // namespace tw
