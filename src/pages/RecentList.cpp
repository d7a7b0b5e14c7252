#include "pages/RecentList.h"

#include <QSettings>

namespace tw {

QStringList withRecentPage(QStringList pages, const QString &path)
{
    pages.removeAll(path);
    pages.prepend(path);
    while (pages.size() > kRecentPages)
        pages.removeLast();
    return pages;
}

namespace recentList {

namespace {

const QString kKey = QStringLiteral("recentPages");

void openGroup(QSettings &s)
{
    s.beginGroup(QStringLiteral("Editor"));
}

} // namespace

QStringList pages()
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    openGroup(s);
    QStringList out;
    const int n = s.beginReadArray(kKey);
    for (int i = 0; i < n && out.size() < kRecentPages; ++i) {
        s.setArrayIndex(i);
        const QString path = s.value(QStringLiteral("path")).toString();
        if (!path.isEmpty() && !out.contains(path))
            out << path;
    }
    s.endArray();
    return out;
}

void setPages(const QStringList &paths)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    openGroup(s);
    s.remove(kKey);
    s.beginWriteArray(kKey);
    for (int i = 0; i < paths.size() && i < kRecentPages; ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("path"), paths.at(i));
    }
    s.endArray();
}

void note(const QString &path)
{
    setPages(withRecentPage(pages(), path));
}

void forget(const QString &path)
{
    QStringList list = pages();
    list.removeAll(path);
    setPages(list);
}

} // namespace recentList

} // namespace tw
