#include "pages/FileWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace tw {

FileWatcher::FileWatcher(QObject *parent) : QObject(parent), m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatcher::noticed);
}

FileWatcher::Stamp FileWatcher::stampOf(const QString &path)
{
    const QFileInfo info(path);
    Stamp s;
    s.exists = info.exists();
    if (s.exists) {
        s.size = info.size();
        s.modified = info.lastModified();
    }
    return s;
}

void FileWatcher::watch(const QString &path)
{
    m_known.insert(path, stampOf(path));
    // A save replaces the file, and the system then stops watching the old
    // one: the path is added again each time.
    m_watcher->removePath(path);
    m_watcher->addPath(path);
}

void FileWatcher::restamp(const QString &path)
{
    if (m_known.contains(path))
        m_known.insert(path, stampOf(path));
}

void FileWatcher::forget(const QString &path)
{
    m_watcher->removePath(path);
    m_known.remove(path);
}

bool FileWatcher::takeChange(const QString &path, Stamp &now)
{
    now = stampOf(path);
    // A file written anew (or back after a deletion) is followed again.
    if (now.exists && !m_watcher->files().contains(path))
        m_watcher->addPath(path);
    if (m_known.value(path) == now)
        return false;
    m_known.insert(path, now);
    return true;
}

bool FileWatcher::isAsKnown(const QString &path) const
{
    return stampOf(path) == m_known.value(path);
}

} // namespace tw
