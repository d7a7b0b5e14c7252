#include "documents/RecentPages.h"

#include "documents/DocumentFiles.h"
#include "documents/PageEvents.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace tw {

namespace {

// A menu caption for a path: & doubled so it is no access key, and line
// breaks or other control characters shown as a visible mark.
QString caption(int number, const QString &path)
{
    QString shown;
    for (const QChar c : path) {
        if (c == QLatin1Char('&'))
            shown += QStringLiteral("&&");
        else if (c.category() == QChar::Other_Control)
            shown += QChar(0x21B5);
        else
            shown += c;
    }
    const QString key = number < 10 ? QStringLiteral("&%1 ").arg(number) : QStringLiteral("1&0 ");
    return key + shown;
}

} // namespace

RecentPages::RecentPages(DocumentHost &host, int &openCount, QObject *parent)
    : QObject(parent), m_host(host), m_openCount(openCount)
{
    auto noteEvent = [this](frmDocument *, const QString &path) { note(path); };
    connect(&PageEvents::instance(), &PageEvents::pageRead, this, noteEvent);
    connect(&PageEvents::instance(), &PageEvents::pageWritten, this, noteEvent);
}

QMenu *RecentPages::newMenu()
{
    auto *menu = new QMenu(QStringLiteral("&Recent Pages"));
    menu->setObjectName(QStringLiteral("mnuRecentPages"));
    menu->setToolTipsVisible(true);
    connect(this, &QObject::destroyed, menu, &QObject::deleteLater);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { rebuild(menu); });
    rebuild(menu);
    return menu;
}

void RecentPages::note(const QString &path)
{
    recentList::note(path);
}

void RecentPages::open(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        recentList::forget(path);
        m_host.dialogs().message(
            QStringLiteral("%1 no longer exists. It has been taken off the recent pages.").arg(path),
            QStringLiteral("Recent Pages"), MessageKind::Warning);
        return;
    }
    openPage(m_host, path, m_openCount);
}

// Built afresh each time the menu opens, so every window's File menu shows
// the same list, including changes another running copy made.
void RecentPages::rebuild(QMenu *menu)
{
    menu->clear();
    const QStringList pages = recentList::pages();
    int number = 0;
    for (const QString &path : pages) {
        QAction *item = menu->addAction(caption(++number, path));
        item->setToolTip(path);
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { open(path); });
    }
    if (pages.isEmpty())
        menu->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

} // namespace tw
