#pragma once

// The live preview's page and the handler of its scheme: the page stays on
// its own address and shows no boxes; the handler answers its requests
// from the area's owner.

#include "browser/LiveArea.h"
#include "browser/engine/UserInput.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlSchemeHandler>

#include <functional>

class QWebEngineProfile;
class QWebEngineUrlRequestJob;

namespace tw {

// Answers the live scheme's requests from the area's owner.
class LiveSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    LiveSchemeHandler(std::function<LiveAnswer(const QUrl &)> *answer, QObject *parent);
    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    std::function<LiveAnswer(const QUrl &)> *m_answer;
};

// The live page: it stays on its own address, and its scripts cannot open
// boxes or windows. A preview is no place for a page's alerts: they would
// come back at every refresh while the user types.
class LivePage final : public QWebEnginePage {
public:
    LivePage(QWebEngineProfile *profile, LiveArea *area, UserInput *input);

    QUrl address; // the page's own address, without fragment
    bool refreshing = false; // a load of ours is under way
    // A navigation that no press of the user's asked for was refused.
    std::function<void()> onUnasked;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl &, const QString &) override;
    // A page leaving asks through confirm(): our own refresh may leave it.
    bool javaScriptConfirm(const QUrl &, const QString &) override;
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override;

private:
    LiveArea *m_area;
    UserInput *m_input;
};

} // namespace tw
