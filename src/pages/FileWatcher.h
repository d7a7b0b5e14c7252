#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

class QFileSystemWatcher;

namespace tw {

// Follows files through the system's change notices (nothing polls) and
// remembers each as this program last read or wrote it, so that a notice
// about the program's own write, failed ones too, is told apart from another
// program's change.
class FileWatcher : public QObject {
    Q_OBJECT
public:
    explicit FileWatcher(QObject *parent = nullptr);

    // What a file was when this program last read or wrote it.
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp &o) const
        {
            return exists == o.exists && size == o.size && modified == o.modified;
        }
    };
    static Stamp stampOf(const QString &path);

    // Takes the file as it is now for known, and follows it.
    void watch(const QString &path);
    // Takes a followed file as it is now for known.
    void restamp(const QString &path);
    void forget(const QString &path);
    // Looks at the file now: true, with its new state taken for known, when
    // it differs from the known one. `now` is its state.
    bool takeChange(const QString &path, Stamp &now);
    // True when the file is as it was last known.
    bool isAsKnown(const QString &path) const;

signals:
    // The system noticed something about the file; takeChange tells whether
    // it matters.
    void noticed(const QString &path);

private:
    QFileSystemWatcher *m_watcher;
    QHash<QString, Stamp> m_known;
};

} // namespace tw
