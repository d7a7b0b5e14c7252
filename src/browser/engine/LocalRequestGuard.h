#pragma once

#include <QWebEngineUrlRequestInterceptor>

class QWebEngineProfile;

namespace tw {

// Keeps the pages of a profile away from the user's other files. A page,
// wherever it came from, loads local files only from its own folder and
// below (see FolderReach.h): a request of a file: address from anywhere
// else, or led out by a symbolic link, is blocked. Pipes and devices are
// never asked for at all, not even by the user's own navigation: opening
// one waits for a writer, holding the engine's threads and the program's
// end. Addresses off the disk pass as they are.
class LocalRequestGuard final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Installs a guard on the profile and keeps its local pages off the
    // web. Their scripts may read what their folder holds, and nothing else.
    static void protect(QWebEngineProfile *profile);
};

} // namespace tw
