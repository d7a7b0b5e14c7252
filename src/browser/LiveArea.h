#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>

class QWidget;

namespace tw {

// The scheme of the live view's addresses. "twlive:/home/ann/site/page.htm"
// is the page at that path, so relative addresses in it resolve against the
// page's folder; whatever the page loads from there is read from the disk.
inline constexpr const char *kLiveScheme = "twlive";

// The script world our own scripts run in inside the live page (the engine's
// QWebEngineScript::ApplicationWorld): it shares the page's document but
// none of its scripts' globals, so the page can neither see nor call what
// lives there. Everything of ours in the page runs in this one world, and
// its object there is named kLiveWorldObject.
inline constexpr unsigned kLiveWorldId = 1;
inline constexpr const char *kLiveWorldObject = "twLive";

// The text handed to the view for one update; reload when the change must
// load the page anew (its scripts changed) instead of changing it in place.
struct LiveText {
    QString text;
    bool reload = false;
};

// What the live view is given for one address it asks for.
struct LiveAnswer {
    enum class Kind { Bytes, File, Missing, Denied };
    Kind kind = Kind::Missing;
    QByteArray contentType; // Bytes and File
    QByteArray bytes; // Bytes
    QString path; // File: the file on the disk
    // File: opened already, for the view to read and delete. The program
    // opens it, so that only a regular file is ever opened and no open waits.
    std::unique_ptr<QIODevice> device;
};

// The live preview's view. Like PageArea (see there) it lives in the browser
// module, is header-only and holds no QObject.
class LiveArea {
public:
    virtual ~LiveArea() = default;

    virtual QWidget *widget() = 0;

    // Loads the live address anew, asking onRequest for its bytes. When it is
    // the address shown already, the scroll position is kept and the old
    // picture stays until the new one is painted.
    virtual void show(const QUrl &address) = 0;
    // Brings the view to the latest text of the page at address, asked for
    // through onText: in place when the view shows that page already and
    // the text allows, else by a load. Returns at once; while one update
    // is under way, further calls fold into the next one.
    virtual void update(const QUrl &address) = 0;
    // Restyles the shown page's style sheets loaded from sheet with css,
    // in place.
    virtual void restyle(const QUrl &sheet, const QString &css) = 0;
    // How many updates and loads were started so far.
    virtual int revision() const = 0;
    // An empty view.
    virtual void clear() = 0;
    // Runs a script in a world of its own beside the page's scripts; done
    // gets its result (tests and measurements read the page with it), unless
    // the area is destroyed first.
    virtual void runScript(const QString &script, std::function<void(const QVariant &)> done) = 0;
    // Scales the page: it is laid out as on a screen of the view's width
    // divided by the factor, and drawn that much larger (1 = its own size).
    virtual void setZoom(double factor) = 0;
    virtual double zoom() const = 0;
    // Prints the page as shown to a PDF file; done tells whether the file was
    // written, unless the area is destroyed first. An area that cannot print
    // says no.
    virtual void printToPdf(const QString &path, std::function<void(bool ok)> done)
    {
        (void)path;
        if (done)
            done(false);
    }

    // Set by the owner; called on the user-interface thread.
    // The bytes for a request of the scheme above.
    std::function<LiveAnswer(const QUrl &)> onRequest;
    // The page's latest text, when an update sends it.
    std::function<LiveText()> onText;
    // An update or a load was applied in the page: reloaded says which.
    std::function<void(bool reloaded)> onUpdated;
    // The page painted the given revision (its next animation frame after
    // it was applied).
    std::function<void(int revision)> onPainted;
    // A link the user clicked (or a new window opened from a click): the
    // view stays on its page; this is where the link leads. At most one per
    // click or key of the user's in the view; a page's scripts going
    // elsewhere by themselves open nothing, and are stopped (onStopped).
    std::function<void(const QUrl &)> onLinkClicked;
    // A load ended; false when the engine could not show the page.
    std::function<void(bool ok)> onShown;
    // The page was stopped: the process that draws it ended or was killed,
    // or its scripts were stopped; why says which.
    std::function<void(const QString &why)> onStopped;
    // The page scrolled or its size changed: what is drawn over it follows.
    std::function<void()> onMoved;
};

using CreateLiveAreaFunction = LiveArea *(*)(QWidget *parent);
inline constexpr const char *kCreateLiveAreaSymbol = "tw_createLiveArea";

// Called once right after the module is loaded, before any page exists:
// registers the live scheme, which the engine accepts only then.
using InitBrowserModuleFunction = void (*)();
inline constexpr const char *kInitBrowserModuleSymbol = "tw_initBrowserModule";

} // namespace tw
