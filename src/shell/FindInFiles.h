#pragma once

#include "search/SiteReplace.h"
#include "search/SiteSearch.h"

#include <QDialog>
#include <QDockWidget>
#include <QPointer>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

namespace tw {

class frmDocument;
class frmMain;
namespace search {
class SearchResultModel;
class SearchRun;
} // namespace search

// The Find in Files window: what to find and replace, how, in which files of
// which folder. It is not modal; its buttons start the search in the dock.
class FindInFilesDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindInFilesDialog(QWidget *parent = nullptr);

    // Shows the window; the folder becomes `folder` unless the user typed
    // another one since it was last shown.
    void present(const QString &folder);
    search::SearchQuery query() const;
    QString replacement() const;

    QLineEdit *findEdit;
    QLineEdit *replaceEdit;
    QLineEdit *filterEdit;
    QLineEdit *folderEdit;
    QCheckBox *matchCase;
    QCheckBox *wholeWord;
    QCheckBox *regularExpression;
    QPushButton *findButton;
    QPushButton *replaceButton;
    QPushButton *closeButton;

    // Escape while a search runs stops it and keeps the window.
    std::function<bool()> stopRunning;

signals:
    void findAll();
    void replaceAll();

protected:
    void reject() override;

private:
    QString m_offered; // the folder last offered
};

// The "Search Results" dock: the matches as they are found, their count, a
// Stop button, and after a replace the pages written and those left alone.
// Activating a row opens its page (or brings its window to the front) with
// the match selected.
class SearchResultsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit SearchResultsDock(frmMain &frame);
    ~SearchResultsDock() override;

    // Searches with the query; with a replacement, asks once the search is
    // done and then replaces every match found.
    void start(const search::SearchQuery &query, const QString *replacement = nullptr);
    // Ends the running search at once; true when one was running.
    bool stop();
    bool busy() const;

    QTreeView *view() const { return m_view; }
    QLabel *summary() const { return m_summary; }
    QListWidget *report() const { return m_report; }
    QPushButton *stopButton() const { return m_stopButton; }
    search::SearchResultModel *model() const { return m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The search (and its replace, when one was asked for) is over.
    void done();

private:
    void searched(const search::SearchTotals &totals);
    void replaceFound();
    void showReplaced(const QVector<search::PageReplaced> &pages);
    void activate(int row);
    frmDocument *openDocument(const search::PageHits &page) const;

    frmMain &m_frame;
    search::SearchResultModel *m_model;
    QTreeView *m_view;
    QLabel *m_summary;
    QListWidget *m_report;
    QPushButton *m_stopButton;
    std::unique_ptr<search::SearchRun> m_run;
    search::SearchQuery m_query;
    std::unique_ptr<QString> m_replacement;
    QThread *m_writer = nullptr;
};

// Adds the dock and the window and wires "Find in Files..." to them. The
// folder offered is the one `defaultFolder` names, or else the active page's
// folder, or else the folder the program started in.
void wireFindInFiles(frmMain &frame, std::function<QString()> defaultFolder = {});

} // namespace tw
