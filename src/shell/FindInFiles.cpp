#include "shell/FindInFiles.h"

#include "documents/DocumentFiles.h"
#include "documents/frmDocument.h"
#include "editor/FindReplace.h"
#include "editor/SourceEditor.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "search/SearchResultModel.h"
#include "search/SearchRun.h"
#include "shell/CommandActions.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

#include <limits>

namespace tw {

using search::PageHits;
using search::PageReplaced;

namespace {

QPushButton *button(QWidget *parent, const QString &text, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}

QLineEdit *field(QWidget *parent, const char *name, const QString &accessible)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

QCheckBox *option(QWidget *parent, const QString &text, const char *name)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return box;
}

// Draws the line of a match with the match marked in the selection's colours.
class MarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QPoint mark = index.data(search::SearchResultModel::MarkRole).toPoint();
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(3, 0, -3, 0);
        QTextLayout layout(text, opt.font);
        QTextCharFormat marked;
        marked.setBackground(opt.palette.highlight());
        marked.setForeground(opt.palette.highlightedText());
        marked.setFontWeight(QFont::Bold);
        layout.setFormats({{mark.x(), mark.y(), marked}});
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return;
        painter->save();
        painter->setClipRect(area);
        painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                             : QPalette::Text));
        // Lines shown from where the match begins when it would lie beyond the column.
        const qreal markX = line.cursorToX(mark.x());
        const qreal shift = markX > area.width() / 2 ? markX - area.width() / 4 : 0;
        layout.draw(painter, QPointF(area.left() - shift, area.top() + (area.height() - line.height()) / 2));
        painter->restore();
    }
};

QString folderOf(frmDocument *document)
{
    if (!document || document->isUntitled())
        return QString();
    return QFileInfo(document->caption()).absolutePath();
}

} // namespace

FindInFilesDialog::FindInFilesDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindInFilesDialog"));
    setWindowTitle(QStringLiteral("Find in Files"));
    setModal(false);
    findEdit = field(this, "findInFilesEdit", QStringLiteral("Find what"));
    replaceEdit = field(this, "replaceInFilesEdit", QStringLiteral("Replace with"));
    replaceEdit->setToolTip(QStringLiteral("The replacement; with a regular expression $1 names a group and \\n a line end"));
    filterEdit = field(this, "filterEdit", QStringLiteral("File types"));
    filterEdit->setText(search::SearchQuery().filter);
    filterEdit->setToolTip(QStringLiteral("Names of the files to search, separated by blanks"));
    folderEdit = field(this, "folderEdit", QStringLiteral("In folder"));
    folderEdit->setToolTip(QStringLiteral("The folder searched, with all its subfolders"));
    matchCase = option(this, QStringLiteral("Match &case"), "matchCase");
    wholeWord = option(this, QStringLiteral("&Whole word"), "wholeWord");
    regularExpression = option(this, QStringLiteral("Regular e&xpression"), "regularExpression");
    findButton = button(this, QStringLiteral("&Find All"), "findAll");
    findButton->setDefault(true);
    replaceButton = button(this, QStringLiteral("&Replace All"), "replaceAll");
    closeButton = button(this, QStringLiteral("Close"), "close");

    auto *fields = new QGridLayout;
    const std::pair<const char *, QLineEdit *> rows[] = {{"F&ind what:", findEdit},
                                                          {"Re&place with:", replaceEdit},
                                                          {"File &types:", filterEdit},
                                                          {"In f&older:", folderEdit}};
    int r = 0;
    for (const auto &[caption, edit] : rows) {
        auto *label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(edit);
        fields->addWidget(label, r, 0);
        fields->addWidget(edit, r++, 1);
    }
    auto *options = new QHBoxLayout;
    for (QCheckBox *box : {matchCase, wholeWord, regularExpression})
        options->addWidget(box);
    options->addStretch();
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {findButton, replaceButton, closeButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();
    auto *all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);

    connect(findButton, &QPushButton::clicked, this, &FindInFilesDialog::findAll);
    connect(replaceButton, &QPushButton::clicked, this, &FindInFilesDialog::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void FindInFilesDialog::present(const QString &folder)
{
    if (folderEdit->text().isEmpty() || folderEdit->text() == m_offered)
        folderEdit->setText(QDir::toNativeSeparators(folder));
    m_offered = folderEdit->text();
    show();
    raise();
    activateWindow();
    findEdit->setFocus(Qt::ShortcutFocusReason);
    findEdit->selectAll();
}

search::SearchQuery FindInFilesDialog::query() const
{
    search::SearchQuery q;
    q.pattern = findEdit->text();
    q.options.matchCase = matchCase->isChecked();
    q.options.wholeWord = wholeWord->isChecked();
    q.options.regularExpression = regularExpression->isChecked();
    q.filter = filterEdit->text();
    q.folder = QDir::fromNativeSeparators(folderEdit->text());
    return q;
}

QString FindInFilesDialog::replacement() const
{
    return replaceEdit->text();
}

void FindInFilesDialog::reject()
{
    if (stopRunning && stopRunning())
        return;
    QDialog::reject();
}

SearchResultsDock::SearchResultsDock(frmMain &frame)
    : QDockWidget(QStringLiteral("Search Results"), &frame), m_frame(frame),
      m_model(new search::SearchResultModel(this)), m_view(new QTreeView), m_summary(new QLabel),
      m_report(new QListWidget), m_stopButton(new QPushButton(QStringLiteral("&Stop")))
{
    setObjectName(QStringLiteral("dockSearchResults"));
    m_view->setObjectName(QStringLiteral("lstSearchResults"));
    m_view->setAccessibleName(QStringLiteral("Search Results"));
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setItemDelegateForColumn(search::SearchResultModel::TextColumn, new MarkDelegate(m_view));
    m_view->header()->setStretchLastSection(true);
    m_view->setColumnWidth(search::SearchResultModel::PageColumn, 220);
    m_view->setColumnWidth(search::SearchResultModel::LineColumn, 60);
    m_view->setColumnWidth(search::SearchResultModel::ColumnColumn, 60);
    m_summary->setObjectName(QStringLiteral("searchSummary"));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_stopButton->setObjectName(QStringLiteral("stopSearch"));
    m_stopButton->setAccessibleName(QStringLiteral("Stop"));
    m_stopButton->setEnabled(false);
    m_report->setObjectName(QStringLiteral("searchReport"));
    m_report->setAccessibleName(QStringLiteral("Pages replaced"));
    m_report->hide();

    auto *content = new QWidget;
    auto *top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_stopButton);
    auto *all = new QVBoxLayout(content);
    all->setContentsMargins(2, 2, 2, 2);
    all->addLayout(top);
    all->addWidget(m_view, 3);
    all->addWidget(m_report, 1);
    setWidget(content);

    connect(m_stopButton, &QPushButton::clicked, this, &SearchResultsDock::stop);
    // Escape anywhere in the dock stops the search.
    for (QWidget *w : {static_cast<QWidget *>(m_view), static_cast<QWidget *>(m_report),
                       static_cast<QWidget *>(m_stopButton)})
        w->installEventFilter(this);
    connect(m_view, &QAbstractItemView::activated, this, [this](const QModelIndex &i) { activate(i.row()); });
}

SearchResultsDock::~SearchResultsDock()
{
    if (m_writer) {
        m_writer->wait();
        delete m_writer;
    }
}

bool SearchResultsDock::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
        && stop())
        return true;
    return QDockWidget::eventFilter(watched, event);
}

bool SearchResultsDock::busy() const
{
    return (m_run && m_run->running()) || m_writer;
}

void SearchResultsDock::start(const search::SearchQuery &query, const QString *replacement)
{
    if (m_writer)
        return; // pages are being written: their list comes first
    stop();
    m_query = query;
    m_replacement.reset(replacement ? new QString(*replacement) : nullptr);
    // Open pages are searched as their windows hold them now.
    QList<search::OpenText> open;
    for (frmDocument *document : m_frame.documents()) {
        if (!document->isUntitled())
            open.push_back({document->caption(), QByteArray(document->textEdit->documentData(),
                                                            document->textEdit->documentLength())});
    }
    m_model->clear();
    m_report->clear();
    m_report->hide();
    m_summary->setText(QStringLiteral("Searching..."));
    m_stopButton->setEnabled(true);
    show();
    raise();
    m_run = std::make_unique<search::SearchRun>(query, std::move(open));
    connect(m_run.get(), &search::SearchRun::found, m_model, &search::SearchResultModel::append);
    connect(m_run.get(), &search::SearchRun::finished, this, &SearchResultsDock::searched);
    m_run->start();
}

bool SearchResultsDock::stop()
{
    if (!m_run || !m_run->running())
        return false;
    m_run->stop();
    m_stopButton->setEnabled(false);
    qint64 matches = 0;
    for (const PageHits &p : m_model->pages())
        matches += p.count;
    m_summary->setText(QStringLiteral("Stopped: %1 found so far in %2.")
                           .arg(matches == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(matches),
                                m_model->pages().size() == 1 ? QStringLiteral("1 page")
                                                             : QStringLiteral("%1 pages").arg(m_model->pages().size())));
    m_replacement.reset();
    emit done();
    return true;
}

void SearchResultsDock::searched(const search::SearchTotals &totals)
{
    m_stopButton->setEnabled(false);
    if (!totals.error.isEmpty()) {
        m_summary->setText(totals.error);
        m_replacement.reset();
        emit done();
        return;
    }
    m_summary->setText(search::searchSummary(totals));
    m_summary->setToolTip(totals.problems.join(QLatin1Char('\n')));
    if (!totals.problems.isEmpty()) {
        m_report->addItems(totals.problems);
        m_report->show();
    }
    if (m_replacement && totals.matches > 0) {
        replaceFound();
        return;
    }
    m_replacement.reset();
    emit done();
}

frmDocument *SearchResultsDock::openDocument(const PageHits &page) const
{
    for (frmDocument *document : m_frame.documents()) {
        if (document->isUntitled())
            continue;
        if (document->caption() == page.path)
            return document;
        const search::FileStamp s = search::stampOf(document->caption());
        if (s.size >= 0 && s.device == page.stamp.device && s.inode == page.stamp.inode)
            return document;
    }
    return nullptr;
}

void SearchResultsDock::replaceFound()
{
    const QString replacement = *m_replacement;
    m_replacement.reset();
    const QVector<PageHits> pages = m_model->pages();
    qint64 matches = 0;
    for (const PageHits &p : pages)
        matches += p.count;
    if (!m_frame.dialogs().askYesNo(search::replaceQuestion(matches, int(pages.size()), replacement),
                                    QStringLiteral("Replace in Files"))) {
        emit done();
        return;
    }
    // Pages open in a window change there, one undo step each, and stay
    // unsaved; the others are written on a worker thread.
    QVector<PageReplaced> replaced;
    QVector<PageHits> onDisk;
    FindRequest request;
    request.find = m_query.pattern;
    request.replace = replacement;
    request.options = m_query.options;
    for (const PageHits &page : pages) {
        frmDocument *document = openDocument(page);
        if (!document) {
            onDisk.push_back(page);
            continue;
        }
        PageReplaced r;
        r.path = document->caption();
        r.relative = page.relative;
        SourceEditor *editor = document->textEdit;
        if (search::textDigest(editor->documentData(), editor->documentLength()) != page.digest) {
            r.message = QStringLiteral("\"%1\" was left as it was: it changed in its window since it was searched.")
                            .arg(QDir::toNativeSeparators(r.path));
        } else {
            const FindOutcome outcome = replaceAllInEditor(*editor, request);
            r.written = outcome.changed;
            r.count = r.written ? page.count : 0;
            if (!r.written)
                r.message = QStringLiteral("\"%1\" was left as it was: %2")
                                .arg(QDir::toNativeSeparators(r.path), outcome.message);
        }
        replaced.push_back(r);
    }
    m_summary->setText(QStringLiteral("Replacing..."));
    const search::SearchQuery query = m_query;
    m_writer = QThread::create([this, query, replacement, onDisk, replaced]() mutable {
        TextSearch search(query.pattern.toUtf8(), query.options);
        const QByteArray bytes = replacement.toUtf8();
        for (const PageHits &page : onDisk)
            replaced.push_back(search::replaceInFile(page, search, bytes));
        QMetaObject::invokeMethod(this, [this, replaced] { showReplaced(replaced); }, Qt::QueuedConnection);
    });
    m_writer->start();
}

void SearchResultsDock::showReplaced(const QVector<PageReplaced> &pages)
{
    if (m_writer) {
        m_writer->wait();
        delete m_writer;
        m_writer = nullptr;
    }
    m_summary->setText(search::replaceSummary(pages));
    m_report->clear();
    m_report->addItems(search::replaceReportLines(pages));
    m_report->show();
    emit done();
}

void SearchResultsDock::activate(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const PageHits page = m_model->pageAt(row);
    const search::SearchHit hit = m_model->hitAt(row);
    frmDocument *document = openDocument(page);
    if (!document)
        document = openPage(m_frame, page.path, m_frame.openCount);
    if (!document)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(document->parentWidget()))
        m_frame.mdiArea->setActiveSubWindow(sub);
    SourceEditor *editor = document->textEdit;
    const qsizetype length = editor->documentLength();
    if (hit.start + hit.length <= length
        && search::textDigest(editor->documentData(), length) == page.digest) {
        editor->SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(hit.start),
                              static_cast<long>(hit.start + hit.length));
    } else {
        // The text changed since it was searched: its line at least.
        editor->setCursorPosition(hit.line - 1, 0);
    }
    editor->SendScintilla(QsciScintilla::SCI_SCROLLCARET);
    editor->setFocus(Qt::OtherFocusReason);
}

void wireFindInFiles(frmMain &frame, std::function<QString()> defaultFolder)
{
    CommandActions &a = frame.commands();
    auto *dock = new SearchResultsDock(frame);
    frame.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    auto *window = new FindInFilesDialog(&frame);
    window->stopRunning = [dock] { return dock->stop(); };
    QObject::connect(a.findInFiles, &QAction::triggered, window, [&frame, window, defaultFolder] {
        QString folder = defaultFolder ? defaultFolder() : QString();
        if (folder.isEmpty())
            folder = folderOf(frame.activeDocument());
        if (folder.isEmpty())
            folder = startDir();
        window->present(folder);
    });
    QObject::connect(window, &FindInFilesDialog::findAll, dock, [window, dock] { dock->start(window->query()); });
    QObject::connect(window, &FindInFilesDialog::replaceAll, dock, [window, dock] {
        const QString replacement = window->replacement();
        dock->start(window->query(), &replacement);
    });
}

} // namespace tw
