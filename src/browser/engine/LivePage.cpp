#include "browser/engine/LivePage.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>

namespace tw {

LiveSchemeHandler::LiveSchemeHandler(std::function<LiveAnswer(const QUrl &)> *answer, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_answer(answer)
{
}

void LiveSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    LiveAnswer answer = *m_answer ? (*m_answer)(job->requestUrl()) : LiveAnswer();
    QIODevice *device = nullptr;
    switch (answer.kind) {
    case LiveAnswer::Kind::Bytes: {
        auto *buffer = new QBuffer;
        buffer->setData(answer.bytes);
        buffer->open(QIODevice::ReadOnly);
        device = buffer;
        break;
    }
    case LiveAnswer::Kind::File:
        // Opened by the owner, which opens nothing but regular files.
        if (!answer.device) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        device = answer.device.release();
        break;
    case LiveAnswer::Kind::Missing:
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    case LiveAnswer::Kind::Denied:
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The engine reads the device until the job is done.
    connect(job, &QObject::destroyed, device, &QObject::deleteLater);
    job->reply(answer.contentType, device);
}

LivePage::LivePage(QWebEngineProfile *profile, LiveArea *area, UserInput *input)
    : QWebEnginePage(profile), m_area(area), m_input(input)
{
}

bool LivePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return true; // frames inside the page do as they like
    if (url.adjusted(QUrl::RemoveFragment) == address)
        return true;
    if (!m_input->take()) {
        if (onUnasked)
            onUnasked();
    } else if (type == NavigationTypeLinkClicked && m_area->onLinkClicked) {
        m_area->onLinkClicked(url);
    }
    return false;
}

void LivePage::javaScriptAlert(const QUrl &, const QString &) {}

bool LivePage::javaScriptConfirm(const QUrl &, const QString &)
{
    return refreshing;
}

bool LivePage::javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *)
{
    return false;
}

void LivePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) {}

} // namespace tw
