#pragma once

#include <QString>

#include <functional>

namespace tw {

class DocumentHost;

// Opens a new browser window whose starting address is the given path.
using OpenBrowserWindow = std::function<void(const QString &startingAddress)>;

// Preview: saves the active document as Save does (an untitled one only
// after the user agrees, and under the name then chosen) and opens a browser
// window on the saved file. Nothing happens when the active child is not a
// document. A save that fails is reported by the save and opens no window.
// True when a window was opened.
bool PreviewActiveDocument(DocumentHost &host, const OpenBrowserWindow &openBrowser);

} // namespace tw
