// The live preview's view, in the browser module. The page's bytes come from
// the program through LiveArea::onRequest; a profile of its own serves them
// under the live scheme, keeps nothing on disk, and leaves the browser
// windows' profile alone.
#include "browser/LiveArea.h"
#include "browser/engine/LocalRequestGuard.h"
#include "browser/engine/UserInput.h"

#include <QBuffer>
#include <QChildEvent>
#include <QPointer>
#include <QTimer>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <csignal>
#include <sys/types.h>

namespace {

using tw::LiveAnswer;
using tw::UserInput;

class WebLiveArea;

// Answers the live scheme's requests from the area's owner.
class LiveSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    LiveSchemeHandler(std::function<LiveAnswer(const QUrl &)> *answer, QObject *parent)
        : QWebEngineUrlSchemeHandler(parent), m_answer(answer)
    {
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
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

private:
    std::function<LiveAnswer(const QUrl &)> *m_answer;
};

// The live page: it stays on its own address, and its scripts cannot open
// boxes or windows. A preview is no place for a page's alerts: they would
// come back at every refresh while the user types.
class LivePage final : public QWebEnginePage {
public:
    LivePage(QWebEngineProfile *profile, tw::LiveArea *area, UserInput *input)
        : QWebEnginePage(profile), m_area(area), m_input(input)
    {
    }

    QUrl address; // the page's own address, without fragment
    bool refreshing = false; // a load of ours is under way
    // A navigation that no press of the user's asked for was refused.
    std::function<void()> onUnasked;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
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

    void javaScriptAlert(const QUrl &, const QString &) override {}
    // A page leaving asks through confirm(): our own refresh may leave it.
    bool javaScriptConfirm(const QUrl &, const QString &) override { return refreshing; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override
    {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override
    {
    }

private:
    tw::LiveArea *m_area;
    UserInput *m_input;
};

class WebLiveArea final : public QWebEngineView, public tw::LiveArea {
public:
    explicit WebLiveArea(QWidget *parent) : QWebEngineView(parent)
    {
        setObjectName(QStringLiteral("webLivePreview"));
        setAccessibleName(QStringLiteral("Live Preview"));
        // Off the record: nothing of the preview is kept on disk.
        m_profile = new QWebEngineProfile(this);
        m_profile->installUrlSchemeHandler(tw::kLiveScheme, new LiveSchemeHandler(&onRequest, m_profile));
        tw::LocalRequestGuard::protect(m_profile);
        // Downloads asked for by the page are refused by leaving them unaccepted.
        m_page = new LivePage(m_profile, this, &m_input);
        m_page->onUnasked = [this] { stopScripts(); };
        QWebEngineSettings *s = m_page->settings();
        // Windows open only from a click, and then become browser windows
        // (see newWindowRequested below).
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        setPage(m_page);
        setContextMenuPolicy(Qt::NoContextMenu);
        // The engine restores a reloaded page's place by the element that
        // was at the top, so text typed above it would stay out of sight;
        // the place is kept by its distance from the top instead (see go()).
        QWebEngineScript manual;
        manual.setName(QStringLiteral("twLiveManualScroll"));
        manual.setInjectionPoint(QWebEngineScript::DocumentCreation);
        manual.setWorldId(QWebEngineScript::ApplicationWorld);
        manual.setSourceCode(QStringLiteral("history.scrollRestoration = 'manual';"));
        m_page->scripts().insert(manual);
        m_watchdog.setSingleShot(true);
        m_watchdog.setInterval(kAnswerMs);
        connect(&m_watchdog, &QTimer::timeout, this, [this] { stopUnanswering(); });

        // No window is made for the page: the address it asked for goes to
        // the owner as a clicked link, when the user's press asked for it.
        connect(m_page, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest &request) {
            if (!request.isUserInitiated() || !m_input.take())
                stopScripts();
            else if (onLinkClicked && !request.requestedUrl().isEmpty())
                onLinkClicked(request.requestedUrl());
        });
        connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
            m_page->refreshing = false;
            if (m_keepScroll) {
                m_keepScroll = false;
                // Pictures and styles loaded after the text may have moved
                // it since the page was parsed.
                if (m_page->scrollPosition() != m_scroll)
                    m_page->runJavaScript(QStringLiteral("window.scrollTo(%1, %2)")
                                              .arg(m_scroll.x())
                                              .arg(m_scroll.y()),
                                          QWebEngineScript::ApplicationWorld);
            }
            if (onShown)
                onShown(ok);
        });
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                    m_page->address = QUrl(); // the next show loads afresh
                    if (m_stopping) {
                        // Stopped here because its scripts did not answer:
                        // the new text goes into a new process.
                        m_stopping = false;
                        m_waiting = false;
                        if (onStopped)
                            onStopped(QStringLiteral("its scripts did not answer for %1 seconds and were ended")
                                          .arg(kAnswerMs / 1000));
                        go();
                        return;
                    }
                    if (status == QWebEnginePage::NormalTerminationStatus)
                        return;
                    if (onStopped)
                        onStopped(status == QWebEnginePage::KilledTerminationStatus
                                      ? QStringLiteral("its process was killed")
                                      : QStringLiteral("its process ended with code %1").arg(code));
                });
    }

    ~WebLiveArea() override
    {
        m_closing = true;
        m_waiting = false;
        m_watchdog.stop();
        onRequest = nullptr;
        onLinkClicked = nullptr;
        onShown = nullptr;
        onStopped = nullptr;
        // The page goes before its profile, which is a child of this view.
        delete m_page;
    }

    QWidget *widget() override { return this; }

    // A page whose script never ends keeps its process from taking the next
    // text, so each refresh first asks the page for a sign of life; when none
    // comes within kAnswerMs the process is ended and the text goes into a
    // new one. The editor never waits for any of it.
    void show(const QUrl &address) override
    {
        runScripts();
        m_next = address;
        if (m_waiting)
            return; // the answer, or its absence, loads the latest text
        if (m_page->renderProcessPid() <= 0) {
            go();
            return;
        }
        m_waiting = true;
        const int probe = ++m_probe;
        m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                              [this, probe](const QVariant &) {
                                  if (probe != m_probe || !m_waiting || m_stopping)
                                      return;
                                  m_waiting = false;
                                  m_watchdog.stop();
                                  go();
                              });
        m_watchdog.start();
    }

    void clear() override
    {
        runScripts();
        m_next = QUrl();
        m_waiting = false;
        m_watchdog.stop();
        m_keepScroll = false;
        m_page->address = QUrl(QStringLiteral("about:blank"));
        m_page->load(m_page->address);
    }

    void runScript(const QString &script, std::function<void(const QVariant &)> done) override
    {
        // The engine answers scripts still running when the page goes; by
        // then their askers may be gone too.
        m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                              [this, done = std::move(done)](const QVariant &v) {
                                  if (done && !m_closing)
                                      done(v);
                              });
    }

    void printToPdf(const QString &path, std::function<void(bool ok)> done) override
    {
        // One print at a time: the engine answers each through one signal.
        QObject::disconnect(m_printed);
        m_printed = QObject::connect(m_page, &QWebEnginePage::pdfPrintingFinished, this,
                                     [this, done = std::move(done)](const QString &, bool ok) {
                                         QObject::disconnect(m_printed);
                                         if (done && !m_closing)
                                             done(ok);
                                     });
        m_page->printToPdf(path);
    }

private:
    static constexpr int kAnswerMs = 2000;
    QMetaObject::Connection m_printed;

    // Loads the latest address asked for.
    void go()
    {
        const QUrl address = m_next;
        if (address.isEmpty())
            return;
        m_page->refreshing = true;
        m_input.forget(); // a press before it is no press in the new page
        const bool same = address == m_page->address && m_page->url().adjusted(QUrl::RemoveFragment) == address;
        m_keepScroll = same;
        m_scroll = same ? m_page->scrollPosition() : QPointF();
        placeOnReady();
        if (same) {
            m_page->triggerAction(QWebEnginePage::Reload);
            return;
        }
        m_page->address = address;
        m_page->load(address);
    }

    // Scrolls the next document to the kept place as soon as it is parsed,
    // before its first picture in most pages, so the view does not jump.
    void placeOnReady()
    {
        QWebEngineScriptCollection &scripts = m_page->scripts();
        for (const QWebEngineScript &old : scripts.find(QStringLiteral("twLivePlace")))
            scripts.remove(old);
        if (m_scroll.isNull())
            return;
        QWebEngineScript place;
        place.setName(QStringLiteral("twLivePlace"));
        place.setInjectionPoint(QWebEngineScript::DocumentReady);
        place.setWorldId(QWebEngineScript::ApplicationWorld);
        place.setSourceCode(QStringLiteral("window.scrollTo(%1, %2);").arg(m_scroll.x()).arg(m_scroll.y()));
        scripts.insert(place);
    }

    void stopUnanswering()
    {
        const qint64 pid = m_page->renderProcessPid();
        if (!m_waiting || pid <= 0) {
            m_waiting = false;
            go();
            return;
        }
        m_stopping = true;
        ::kill(pid_t(pid), SIGKILL);
    }

    // A page that tries to go elsewhere by itself is shown again without its
    // scripts, which ends their timers, until the next text comes.
    void stopScripts()
    {
        if (m_scriptsStopped || m_closing)
            return;
        m_scriptsStopped = true;
        // Not from inside the engine's call.
        QTimer::singleShot(0, this, [this] {
            if (!m_scriptsStopped)
                return; // new text came meanwhile
            m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
            if (!m_waiting) // else the answer loads the latest text
                go();
            if (onStopped)
                onStopped(QStringLiteral("its scripts tried to open another address without a click and were stopped"));
        });
    }
    void runScripts()
    {
        if (!m_scriptsStopped)
            return;
        m_scriptsStopped = false;
        m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    }

    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                m_input.watch(child);
        }
        return QWebEngineView::event(event);
    }

    QWebEngineProfile *m_profile;
    UserInput m_input;
    LivePage *m_page;
    QUrl m_next; // the address to show once the page answers
    bool m_waiting = false; // a sign of life was asked for
    bool m_stopping = false; // the page's process is being ended
    bool m_closing = false; // the view is being destroyed
    bool m_scriptsStopped = false;
    int m_probe = 0;
    QTimer m_watchdog;
    bool m_keepScroll = false;
    QPointF m_scroll;
};

} // namespace

extern "C" Q_DECL_EXPORT void tw_initBrowserModule()
{
    QWebEngineUrlScheme scheme(tw::kLiveScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Like file: a local scheme, kept away from pages off the network. It
    // may load file: addresses, which its profile's guard keeps to the
    // page's folder; its own addresses are served from that folder only.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
                    | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

extern "C" Q_DECL_EXPORT tw::LiveArea *tw_createLiveArea(QWidget *parent)
{
    return new WebLiveArea(parent);
}
