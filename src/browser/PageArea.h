#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace tw {

// The page area of a browser window. The web engine behind it lives in a
// module that is loaded when the first browser window opens (see
// BrowserEngine.h), so this interface is all the program knows of it. It is
// header-only and holds no QObject, so the module needs no symbol of the
// program.
//
// The area is a widget: it belongs to the parent it was created with and is
// destroyed with it.
class PageArea {
public:
    virtual ~PageArea() = default;

    virtual QWidget *widget() = 0;

    // Loads the target; an empty address loads nothing.
    virtual void navigate(const QUrl &target) = 0;
    // Back and Forward do nothing when there is no page to go to.
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void reload() = 0;
    virtual void stop() = 0;

    virtual bool isLoading() const = 0;
    // The current page's name: its title, or its address when it has none.
    virtual QString title() const = 0;
    virtual QUrl url() const = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;

    // Set by the owner; called on the user-interface thread from the
    // engine's own signals.
    std::function<void()> onLoadStarted;
    std::function<void(bool ok)> onLoadFinished;
    std::function<void()> onTitleChanged;
};

// The one function the module exports, resolved by name.
using CreatePageAreaFunction = PageArea *(*)(QWidget *parent);
inline constexpr const char *kCreatePageAreaSymbol = "tw_createPageArea";

} // namespace tw
