#pragma once

#include "editor/TextSearch.h"
#include "pages/PageFile.h"
#include "search/TextMatches.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <memory>
#include <functional>

#include <sys/stat.h>

namespace tw::search {

// What Find in Files looks for, and where.
struct SearchQuery {
    QString pattern;
    FindOptions options;
    QString filter = QStringLiteral("*.htm *.html *.css *.js"); // blank-separated wildcards
    QString folder;
};

// A page's text as its window holds it, taken on the window thread when a
// search starts; it is searched instead of the file on disk.
struct OpenText {
    QString path;
    QByteArray utf8;
};

// Where a file lies: its identity on disk and when it last changed, to tell
// later whether it changed since it was searched.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    bool operator==(const FileStamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};
// The stamp of path (symbolic links followed); size -1 when it has none.
FileStamp stampOf(const QString &path);

// One match: byte offsets into the page's UTF-8 text, its line and column
// (both from 1; the column in characters), and the line it lies on, as shown
// (shortened around the match when long), with the match's place in it.
struct SearchHit {
    qsizetype start = 0;
    qsizetype length = 0;
    int line = 0;
    int column = 0;
    QString lineText;
    int markStart = 0;
    int markLength = 0;
};

// The matches of one page.
struct PageHits {
    QString path;     // as the walk reached it
    QString relative; // to the searched folder
    bool open = false; // searched in its window's text
    PageEncoding encoding = PageEncoding::Utf8;
    FileStamp stamp;  // of the file when it was read
    QByteArray digest; // of the text searched
    qsizetype count = 0; // every match, also those not listed
    QVector<SearchHit> hits; // the first kMaxListedHits
};

// What a whole search met.
struct SearchTotals {
    int filesSearched = 0;
    int pages = 0;       // with at least one match
    qint64 matches = 0;
    int skippedLinks = 0;   // symbolic links that lead back into a folder already searched
    int skippedFolders = 0; // folders that cannot be read
    int skippedFiles = 0;   // files that cannot be read, too large, or named in bytes that are not UTF-8
    QStringList problems;   // a sentence for each skipped file or folder
    QString error;          // the pattern is wrong or the folder cannot be searched: nothing was
    bool stopped = false;
};

inline constexpr int kMaxListedHits = 1000;
// The largest file searched: far beyond any hand-written page.
inline constexpr qint64 kLargestSearched = 512'000'000;

// Whether a file name matches one of the filter's blank-separated wildcards
// (letter case ignored: pages made elsewhere are often named .HTM).
class NameFilter {
public:
    explicit NameFilter(const QString &filter);
    bool matches(const QString &name) const;

private:
    QStringList m_suffixes; // "*.ext" wildcards, compared fast
    QVector<QRegularExpression> m_others;
    bool m_all = false;
};

// Walks the folder and searches every file the filter names. Meant for a
// worker thread: everything it needs is copied in, and it reports through
// callbacks only. Symbolic links are followed, but a folder is searched once
// however it is reached (so link loops end); folders that cannot be read and
// anything that is not a regular file are skipped, never opened.
//
// The calling thread walks the folder while helper threads read and match
// the files it finds, and then helps them; pages and problems are reported
// in the walk's order however the work was shared out.
class SiteSearch {
public:
    SiteSearch(SearchQuery query, QList<OpenText> open);
    ~SiteSearch();

    // Pages with matches as they are found, and the totals at the end.
    // onPage is called from one thread at a time.
    std::function<void(PageHits &&)> onPage;
    // threads: how many search files, the calling thread among them; 0 for
    // one a processor (at most four).
    SearchTotals run(const std::atomic<bool> &stop, int threads = 0);

private:
    struct Task;
    struct Outcome;
    void walk(const QByteArray &folder, const QString &relative, int depth);
    void add(Task &&task);
    void work(TextSearch &search);
    Outcome searchFile(TextSearch &search, const Task &task);
    void finish(size_t index, Outcome &&outcome);

    SearchQuery m_query;
    NameFilter m_filter;
    QHash<QPair<quint64, quint64>, QByteArray> m_open; // (device, inode) -> the window's text
    QHash<QPair<quint64, quint64>, QString> m_openPath;
    QSet<QPair<quint64, quint64>> m_folders; // searched already (the walk's own)
    // Bytes every match holds (letter case aside unless matchCase): a page
    // without them is passed over before the full search.
    QByteArray m_needle;
    const std::atomic<bool> *m_stop = nullptr;
    SearchTotals m_totals;
    struct Shared;
    std::unique_ptr<Shared> m_shared;
};
} // namespace tw::search

Q_DECLARE_METATYPE(tw::search::PageHits)
Q_DECLARE_METATYPE(tw::search::SearchTotals)
