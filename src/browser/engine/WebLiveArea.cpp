// The live preview's view, in the browser module. The page's bytes come from
// the program through LiveArea::onRequest; a profile of its own serves them
// under the live scheme, keeps nothing on disk, and leaves the browser
// windows' profile alone.
#include "browser/LiveArea.h"
#include "browser/engine/LiveBridge.h"
#include "browser/engine/LivePage.h"
#include "browser/engine/LiveText.h"
#include "browser/engine/LiveWorldScript.h"
#include "browser/engine/LocalRequestGuard.h"
#include "browser/engine/UserInput.h"

#include <QChildEvent>
#include <QFile>
#include <QJsonDocument>
#include <QJsonValue>
#include <QWebChannel>
#include <QPointer>
#include <QTimer>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

#include <algorithm>
#include <csignal>
#include <sys/types.h>

namespace {

using tw::editBetween;
using tw::LivePage;
using tw::LiveSchemeHandler;
using tw::scriptString;
using tw::TextEdit;
using tw::UserInput;

static_assert(tw::kLiveWorldId == QWebEngineScript::ApplicationWorld, "one world for all of ours");

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
        // A reloaded page's place is set by our world (see place()).
        addScript(QStringLiteral("twLiveManualScroll"), QByteArrayLiteral("history.scrollRestoration = 'manual';"),
                  QWebEngineScript::DocumentCreation);
        // The channel reaches our world only: the page's own scripts see
        // neither its transport nor the bridge.
        m_bridge = new tw::LiveBridge(this);
        m_bridge->onPainted = [this](int revision) {
            if (onPainted)
                onPainted(revision);
        };
        m_channel = new QWebChannel(this);
        m_channel->registerObject(QStringLiteral("twLiveBridge"), m_bridge);
        m_page->setWebChannel(m_channel, tw::kLiveWorldId);
        QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
        channelScript.open(QIODevice::ReadOnly);
        addScript(QStringLiteral("twLiveChannel"), channelScript.readAll(), QWebEngineScript::DocumentCreation);
        addScript(QStringLiteral("twLiveWorld"), QByteArray(tw::kLiveWorldScript), QWebEngineScript::DocumentCreation);
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
        connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) { loaded(ok); });
        connect(m_page, &QWebEnginePage::scrollPositionChanged, this, [this] { moved(); });
        connect(m_page, &QWebEnginePage::contentsSizeChanged, this, [this] { moved(); });
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                    m_page->address = QUrl(); // the next update loads afresh
                    m_held = 0;
                    ++m_call; // whatever was asked of the page is answered no more
                    m_watchdog.stop();
                    m_busy = false;
                    m_loading = false;
                    m_probing = false;
                    if (m_stopping) {
                        // Stopped here because its scripts did not answer:
                        // the new text goes into a new process.
                        m_stopping = false;
                        if (onStopped)
                            onStopped(QStringLiteral("its scripts did not answer for %1 seconds and were ended")
                                          .arg(m_watchdog.interval() / 1000));
                        step();
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
        m_watchdog.stop();
        onRequest = nullptr;
        onText = nullptr;
        onUpdated = nullptr;
        onPainted = nullptr;
        onLinkClicked = nullptr;
        onShown = nullptr;
        onStopped = nullptr;
        m_bridge->onPainted = nullptr;
        onMoved = nullptr;
        // The page goes before its profile, which is a child of this view.
        delete m_page;
    }

    QWidget *widget() override { return this; }

    void show(const QUrl &address) override
    {
        m_forceLoad = true;
        update(address);
    }

    // Each update first asks something of the page in our world (the change
    // itself, or the place to keep for a load); a page whose script never
    // ends cannot answer, and when no answer comes within kAnswerMs its
    // process is ended and the text goes into a new one. The editor never
    // waits for any of it.
    void update(const QUrl &address) override
    {
        if (runScripts())
            m_forceLoad = true; // the page was shown without its scripts
        m_next = address;
        m_dirty = true;
        if (!m_busy) {
            step();
        } else if (m_loading && !m_probing) {
            // A page whose script loops while it loads never finishes.
            m_probing = true;
            ask(QStringLiteral("0"), [this](const QVariant &) { m_probing = false; });
        }
    }

    void restyle(const QUrl &sheet, const QString &css) override
    {
        if (m_busy || m_page->address != m_next || m_page->renderProcessPid() <= 0)
            return; // what is under way loads the sheet as it is now
        m_page->runJavaScript(QStringLiteral("twLive.restyle(%1, %2)")
                                  .arg(scriptString(QString::fromLatin1(sheet.toEncoded())), scriptString(css)),
                              tw::kLiveWorldId);
    }

    int revision() const override { return m_revision; }

    void clear() override
    {
        runScripts();
        m_next = QUrl();
        m_dirty = false;
        m_forceLoad = false;
        ++m_call;
        m_busy = false;
        m_loading = false;
        m_probing = false;
        m_watchdog.stop();
        m_place = QVariant();
        m_held = 0;
        m_page->address = QUrl(QStringLiteral("about:blank"));
        m_page->load(m_page->address);
    }

    void runScript(const QString &script, std::function<void(const QVariant &)> done) override
    {
        // The engine answers scripts still running when the page goes; by
        // then their askers may be gone too.
        m_page->runJavaScript(script, tw::kLiveWorldId, [this, done = std::move(done)](const QVariant &v) {
            if (done && !m_closing)
                done(v);
        });
    }

    void setZoom(double factor) override { m_page->setZoomFactor(factor); }
    double zoom() const override { return m_page->zoomFactor(); }
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

    void moved()
    {
        if (onMoved)
            onMoved();
    }

    void addScript(const QString &name, const QByteArray &source, QWebEngineScript::InjectionPoint point)
    {
        QWebEngineScript script;
        script.setName(name);
        script.setInjectionPoint(point);
        script.setWorldId(tw::kLiveWorldId);
        script.setSourceCode(QString::fromUtf8(source));
        m_page->scripts().insert(script);
    }

    // Asks the page for something in our world, watched: answered calls
    // done with the result, unless the page is gone or stopped first.
    void ask(const QString &script, std::function<void(const QVariant &)> done, int boundMs = kAnswerMs)
    {
        const int call = ++m_call;
        m_watchdog.start(boundMs);
        m_page->runJavaScript(script, tw::kLiveWorldId, [this, call, done = std::move(done)](const QVariant &v) {
            if (m_closing || call != m_call || m_stopping)
                return;
            m_watchdog.stop();
            done(v);
        });
    }

    bool shownIs(const QUrl &address) const
    {
        return !address.isEmpty() && address == m_page->address
            && m_page->url().adjusted(QUrl::RemoveFragment) == address && m_page->renderProcessPid() > 0;
    }

    // Brings the page to the latest text: in place, or by a load.
    void step()
    {
        if (m_next.isEmpty() || !m_dirty)
            return;
        m_dirty = false;
        m_busy = true;
        ++m_revision;
        const bool same = shownIs(m_next);
        if (!same || m_forceLoad || !onText) {
            m_forceLoad = false;
            if (m_page->renderProcessPid() <= 0 || m_scriptsStopped) {
                m_place = QVariant();
                go();
            } else {
                // A sign of life first; the same page keeps its place.
                ask(QStringLiteral("twLive.anchor()"), [this, same](const QVariant &place) {
                    m_place = same ? place : QVariant();
                    go();
                });
            }
            return;
        }
        const tw::LiveText text = onText();
        if (text.reload) {
            ask(QStringLiteral("twLive.anchor()"), [this](const QVariant &place) {
                m_place = place;
                go();
            });
            return;
        }
        send(m_revision, text.text, m_held > 0);
    }

    // Sends the text to the page, as an edit of the text it holds when it
    // holds one, else whole (the page also asks for it whole when it does
    // not hold the text this side thinks).
    void send(int revision, const QString &text, bool asEdit)
    {
        QString script;
        if (asEdit) {
            const TextEdit edit = editBetween(m_heldText, text);
            script = QStringLiteral("twLive.change(%1, %2, %3, %4, ")
                         .arg(revision)
                         .arg(m_held)
                         .arg(edit.at)
                         .arg(edit.removed)
                + scriptString(edit.inserted) + QLatin1Char(')');
        } else {
            script = QStringLiteral("twLive.update(%1, ").arg(revision) + scriptString(text) + QLatin1Char(')');
        }
        m_held = 0;
        // A large page takes its time to parse and compare, more so on a
        // busy machine: it is given longer before it counts as stuck.
        ask(script,
            [this, revision, text](const QVariant &result) {
                const QVariantMap answer = result.toMap();
                if (answer.value(QStringLiteral("resend")).toBool()) {
                    send(revision, text, false);
                    return;
                }
                if (answer.value(QStringLiteral("reload")).toBool() || !result.isValid()) {
                    m_place = answer.value(QStringLiteral("place"));
                    go();
                    return;
                }
                m_held = revision;
                m_heldText = text;
                m_busy = false;
                if (onUpdated)
                    onUpdated(false);
                step();
            },
            kAnswerMs + int(qMin<qsizetype>(text.size() / 200, 60000)));
    }

    // Loads the latest address; the place kept, if any, is set once parsed.
    void go()
    {
        m_busy = true;
        m_loading = true;
        m_held = 0; // a new document holds no text of ours
        m_page->refreshing = true;
        m_input.forget(); // a press before it is no press in the new page
        const bool same = m_next == m_page->address && m_page->url().adjusted(QUrl::RemoveFragment) == m_next;
        placeOnReady();
        if (same) {
            m_page->triggerAction(QWebEnginePage::Reload);
            return;
        }
        m_page->address = m_next;
        m_page->load(m_next);
    }

    void loaded(bool ok)
    {
        m_page->refreshing = false;
        if (!m_loading) { // the empty page, or a load of the engine's own
            if (onShown)
                onShown(ok);
            return;
        }
        m_loading = false;
        m_busy = false;
        m_probing = false;
        ++m_call;
        m_watchdog.stop();
        // Pictures and styles loaded after the text may have moved it since
        // the page was parsed.
        if (!m_place.isNull())
            m_page->runJavaScript(QStringLiteral("twLive.place(%1)").arg(placeJson()), tw::kLiveWorldId);
        m_place = QVariant();
        m_page->runJavaScript(QStringLiteral("twLive.paint(%1)").arg(m_revision), tw::kLiveWorldId);
        if (onShown)
            onShown(ok);
        if (onUpdated)
            onUpdated(true);
        step();
    }

    QString placeJson() const
    {
        return QString::fromUtf8(QJsonDocument::fromVariant(QVariantList{m_place}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    }

    // Scrolls the next document to the kept place as soon as it is parsed,
    // before its first picture in most pages, so the view does not jump.
    void placeOnReady()
    {
        QWebEngineScriptCollection &scripts = m_page->scripts();
        for (const QWebEngineScript &old : scripts.find(QStringLiteral("twLivePlace")))
            scripts.remove(old);
        if (m_place.isNull())
            return;
        addScript(QStringLiteral("twLivePlace"), QStringLiteral("twLive.place(%1);").arg(placeJson()).toUtf8(),
                  QWebEngineScript::DocumentReady);
    }

    void stopUnanswering()
    {
        const qint64 pid = m_page->renderProcessPid();
        if (pid <= 0) {
            ++m_call;
            m_busy = false;
            m_dirty = true;
            m_forceLoad = true;
            step();
            return;
        }
        m_stopping = true;
        m_dirty = true;
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
            m_dirty = true;
            m_forceLoad = true;
            if (!m_busy) // else what is under way loads the latest text
                step();
            if (onStopped)
                onStopped(QStringLiteral("its scripts tried to open another address without a click and were stopped"));
        });
    }
    // True when the scripts were stopped until now.
    bool runScripts()
    {
        if (!m_scriptsStopped)
            return false;
        m_scriptsStopped = false;
        m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        return true;
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
    tw::LiveBridge *m_bridge;
    QWebChannel *m_channel;
    QUrl m_next; // the address to show
    bool m_dirty = false; // the page's text changed since the last step
    bool m_busy = false; // a step is under way: further updates fold into the next
    bool m_loading = false; // a load of ours is under way
    bool m_forceLoad = false; // the next step loads
    bool m_probing = false; // a loading page was asked for a sign of life
    bool m_stopping = false; // the page's process is being ended
    bool m_closing = false; // the view is being destroyed
    bool m_scriptsStopped = false;
    int m_call = 0; // the call to the page whose answer counts
    int m_revision = 0;
    int m_held = 0; // the revision whose text the page holds, or 0
    QString m_heldText; // that text
    QTimer m_watchdog;
    QVariant m_place; // where a load puts the view (see twLive.anchor)
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
