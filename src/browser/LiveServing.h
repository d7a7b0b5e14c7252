#pragma once

#include "browser/LiveArea.h"
#include "pages/PageFile.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

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
// resolve against: its file, or for an untitled page a file named after its
// caption in the start folder (which need not exist).
QString livePagePath(const QString &caption, bool untitled, const QString &startFolder);

// The live address of a path, and back; a path of nothing for any other scheme.
QUrl liveAddress(const QString &path);
QString livePath(const QUrl &address);

// Where a link clicked in the live view leads a browser window: the file
// behind a live address, any other address as it is.
QString browserAddressFor(const QUrl &link);

// The answer to the view's request for an address: the page's own address
// gets its bytes; any other live address gets the file at that path, opened,
// when it is a readable regular file in the page's folder or below (symbolic
// links followed). A path out of the folder is refused, whether it exists or
// not. Nothing is created or written.
LiveAnswer answerLiveRequest(const QUrl &requested, const QString &pagePath,
                             const QByteArray &pageBytes, const QByteArray &contentType);

// Why the page's folder cannot be read, or nothing when it can.
QString folderProblem(const QString &pagePath);

} // namespace tw
