// The browser module: the only code of the program that links the web
// engine. It is loaded with QLibrary when the first browser window opens.
#include "browser/PageArea.h"
#include "browser/engine/LocalRequestGuard.h"
#include "browser/engine/ScriptDialogPage.h"

#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

class WebPageArea final : public QWebEngineView, public tw::PageArea {
public:
    explicit WebPageArea(QWidget *parent) : QWebEngineView(parent)
    {
        setObjectName(QStringLiteral("brwWebBrowser"));
        // Script dialogs that offer to stop a page that will not stop.
        setPage(new tw::ScriptDialogPage(this));
        setAccessibleName(QStringLiteral("Page"));
        connect(this, &QWebEngineView::loadStarted, this, [this] {
            m_loading = true;
            if (onLoadStarted)
                onLoadStarted();
        });
        connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
            m_loading = false;
            if (onLoadFinished)
                onLoadFinished(ok);
        });
        connect(this, &QWebEngineView::titleChanged, this, [this] {
            if (onTitleChanged)
                onTitleChanged();
        });
    }

    ~WebPageArea() override
    {
        // The engine may still report on the page while it is torn down;
        // the owner is gone by then.
        onLoadStarted = nullptr;
        onLoadFinished = nullptr;
        onTitleChanged = nullptr;
    }

    QWidget *widget() override { return this; }
    void navigate(const QUrl &target) override
    {
        if (!target.isEmpty())
            load(target);
    }
    void back() override { QWebEngineView::back(); }
    void forward() override { QWebEngineView::forward(); }
    void reload() override { QWebEngineView::reload(); }
    void stop() override { QWebEngineView::stop(); }
    bool isLoading() const override { return m_loading; }
    QString title() const override { return QWebEngineView::title(); }
    QUrl url() const override { return QWebEngineView::url(); }
    bool canGoBack() const override { return history()->canGoBack(); }
    bool canGoForward() const override { return history()->canGoForward(); }

private:
    bool m_loading = false;
};

} // namespace

extern "C" Q_DECL_EXPORT tw::PageArea *tw_createPageArea(QWidget *parent)
{
    // Browser windows and Preview share the default profile: a saved page
    // shown there keeps to its folder as the live preview does, and pages
    // off the web work as ever.
    static const bool protectedOnce = [] {
        tw::LocalRequestGuard::protect(QWebEngineProfile::defaultProfile());
        return true;
    }();
    Q_UNUSED(protectedOnce);
    return new WebPageArea(parent);
}
