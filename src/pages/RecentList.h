#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// The pages last opened or saved, newest first, kept in the settings store
// (group [Editor], array recentPages) so that every running copy shares them.
inline constexpr int kRecentPages = 10;

// The list with this page first, once only, at most kRecentPages long.
QStringList withRecentPage(QStringList pages, const QString &path);

namespace recentList {

// The stored list; empty entries and repeats are dropped.
QStringList pages();
void setPages(const QStringList &paths);
// Puts the page first in the stored list.
void note(const QString &path);
// Takes the page off the stored list.
void forget(const QString &path);

} // namespace recentList

} // namespace tw
