#pragma once

#include "Ceiling.h"
#include "ScriptedDialogs.h"
#include "browser/BrowserHost.h"
#include "browser/PageArea.h"
#include "browser/frmBrowser.h"

#include <QByteArray>
#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QTest>

namespace tw::test {

inline constexpr int kLoad = kCeiling; // a local page loaded

// A frame of the test's own: an MDI area and the bar state.
class FakeBrowserHost final : public QObject, public BrowserHost {
    Q_OBJECT
public:
    QMdiArea area;
    ScriptedDialogs script;
    bool toolbar = true;
    bool edit = true;

    Dialogs &dialogs() override { return script; }
    void addBrowserWindow(frmBrowser *window) override { area.addSubWindow(window)->show(); }
    bool toolbarShown() const override { return toolbar; }
    bool editBarsShown() const override { return edit; }
    void setToolbarShown(bool shown) override
    {
        toolbar = shown;
        Q_EMIT barsChanged();
    }
    void setEditBarsShown(bool shown) override
    {
        edit = shown;
        Q_EMIT barsChanged();
    }
    void watchBars(QObject *context, std::function<void()> changed) override
    {
        connect(this, &FakeBrowserHost::barsChanged, context, std::move(changed));
    }
    QList<frmBrowser *> windows() const
    {
        QList<frmBrowser *> out;
        for (QMdiSubWindow *sub : area.subWindowList())
            if (auto *w = qobject_cast<frmBrowser *>(sub->widget()))
                out << w;
        return out;
    }

Q_SIGNALS:
    void barsChanged();
};

// Counts the loads a window's page area starts and finishes, on top of what
// the window itself does with them.
struct LoadCount {
    int started = 0;
    int finished = 0;

    explicit LoadCount(frmBrowser *window)
        : m_area(window->page()), m_started(m_area->onLoadStarted), m_finished(m_area->onLoadFinished)
    {
        m_area->onLoadStarted = [this] {
            ++started;
            m_started();
        };
        m_area->onLoadFinished = [this](bool ok) {
            ++finished;
            m_finished(ok);
        };
    }
    // The window outlives the count.
    ~LoadCount()
    {
        m_area->onLoadStarted = m_started;
        m_area->onLoadFinished = m_finished;
    }
    LoadCount(const LoadCount &) = delete;
    LoadCount &operator=(const LoadCount &) = delete;

private:
    PageArea *m_area;
    std::function<void()> m_started;
    std::function<void(bool)> m_finished;
};

inline QByteArray page(const char *title, const char *body = "")
{
    return QByteArray("<!DOCTYPE html><html><head><title>") + title + "</title></head><body>" + body
        + "</body></html>";
}

} // namespace tw::test
