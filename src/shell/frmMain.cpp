#include "shell/frmMain.h"

#include "browser/frmBrowser.h"
#include "documents/DocumentEncoding.h"
#include "documents/DocumentJournal.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "markup/CommandState.h"
#include "markup/MarkupWindows.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "shell/BarToggles.h"
#include "shell/CommandActions.h"
#include "shell/CommandBars.h"
#include "shell/CommandWiring.h"
#include "shell/FileDrops.h"
#include "shell/FrameMenus.h"
#include "shell/MainToolbar.h"
#include "shell/MenuAccessKeys.h"
#include "shell/StatusClock.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace tw {

frmMain::frmMain(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs),
      m_activeEditor([this] { return activeControl(); }), m_commands(new CommandActions(this)),
      m_markupState(std::make_unique<CommandState>()),
      m_markupWindows(std::make_unique<QtMarkupWindows>())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tagwright"));
    setContextMenuPolicy(Qt::NoContextMenu);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(mdiArea, 1);
    advancedBar = new AdvancedBar(*m_commands, central);
    advancedBar->hide();
    editBar = new EditBar(*m_commands, central);
    layout->addWidget(advancedBar);
    layout->addWidget(editBar);
    setCentralWidget(central);

    toolBar = buildMainToolbar(*m_commands, this);
    addToolBar(Qt::TopToolBarArea, toolBar);
    buildStatusBar();

    m_bars = new BarToggles(toolBar, editBar, advancedBar, statusBar(), *m_commands, this);
    m_menus = new FrameMenus(*m_commands, menuBar(), this);
    m_drops = new FileDrops(this, [this](const QStringList &paths) { openFiles(paths); });
    m_accessKeys = new MenuAccessKeys(this);
    wireCommands(*this);

    connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::followActiveChild);
    followActiveChild();
}

frmMain::~frmMain()
{
    // Windows and bars close and hide while the frame is torn down; nothing
    // may follow them or filter their events then.
    disconnect(mdiArea, nullptr, this, nullptr);
    delete m_accessKeys;
    delete m_drops;
    delete m_bars;
}

void frmMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    statusText = new QLabel(QStringLiteral("Status"));
    statusText->setObjectName(QStringLiteral("statusText"));
    statusText->setFixedWidth(px(7038));
    statusDate = new QLabel;
    statusDate->setObjectName(QStringLiteral("statusDate"));
    statusDate->setMinimumWidth(px(2540));
    statusTime = new QLabel;
    statusTime->setObjectName(QStringLiteral("statusTime"));
    statusTime->setMinimumWidth(px(2540));
    auto *format = new QLabel; // the active page's encoding and line ends
    format->setObjectName(QStringLiteral("statusFormat"));
    bar->addWidget(statusText);
    bar->addPermanentWidget(format);
    bar->addPermanentWidget(statusDate);
    bar->addPermanentWidget(statusTime);
    new StatusClock(statusDate, statusTime, this);
}

void frmMain::MDIForm_Load()
{
    restoreWindowPlacement(*this);
    QComboBox *size = editBar->sizeBox;
    size->clear();
    size->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                    QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")});
    size->setEditText(QStringLiteral("1"));
    NewDocument();
}

// The active child's menus replace the frame's, and the commands that act on a
// document window are enabled only while one is active.
void frmMain::followActiveChild()
{
    const bool document = activeDocument() != nullptr;
    if (auto *format = statusBar()->findChild<QLabel *>(QStringLiteral("statusFormat")))
        format->setText(document ? documentFormatText(*activeDocument()) : QString());
    if (auto *browser = qobject_cast<frmBrowser *>(activeChild())) {
        m_menus->show(browser->menus());
    } else {
        m_menus->show(document ? m_menus->documentMenus() : m_menus->frameMenus());
    }
    for (QAction *action : m_commands->documentOnly())
        action->setEnabled(document);
}

// Every document with unsaved changes is asked about before anything closes;
// Cancel keeps the frame and all its windows open.
void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !confirmCloseAll(*this)) {
        event->ignore();
        return;
    }
    saveWindowPlacement(*this);
    emit closingAll();
    m_closing = true;
    mdiArea->closeAllSubWindows();
    event->accept();
}

void frmMain::endOnRequest()
{
    emit closingAll();
    for (frmDocument *document : documents()) {
        if (auto *journal = document->findChild<DocumentJournal *>())
            journal->keep();
    }
    m_closing = true;
    QApplication::exit(0);
}

void frmMain::exitAtOnce()
{
    if (!confirmCloseAll(*this))
        return;
    emit closingAll();
    m_closing = true;
    QApplication::exit(0);
}

QWidget *frmMain::activeControl() const
{
    QMdiSubWindow *sub = mdiArea->currentSubWindow();
    if (!sub || !sub->widget())
        return nullptr;
    QWidget *content = sub->widget();
    if (QWidget *focused = content->focusWidget())
        return focused;
    return content->focusProxy();
}

QWidget *frmMain::activeChild() const
{
    QMdiSubWindow *sub = mdiArea->currentSubWindow();
    return sub ? sub->widget() : nullptr;
}

frmDocument *frmMain::activeDocument() const
{
    return qobject_cast<frmDocument *>(activeChild());
}

void frmMain::openFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        openPage(*this, path, openCount);
}

QList<frmDocument *> frmMain::documents() const
{
    QList<frmDocument *> out;
    for (QMdiSubWindow *sub : mdiArea->subWindowList()) {
        if (auto *doc = qobject_cast<frmDocument *>(sub->widget()))
            out << doc;
    }
    return out;
}

frmDocument *frmMain::NewDocument()
{
    const int number = raiseDocumentCount();
    return createDocument(QStringLiteral("Document ") + QString::number(number));
}

frmDocument *frmMain::createDocument(const QString &caption)
{
    auto *document = new frmDocument;
    document->setCaption(caption);
    document->closeGuard = [this](frmDocument *doc) { return m_closing || confirmClose(*this, doc); };
    // Unsaved changes are kept in a recovery journal until saved or dropped.
    new DocumentJournal(document, DocumentJournal::defaultFolder());
    // Opening a page sets the caption after its encoding; a save marks the
    // text unchanged after it may have changed the encoding.
    const auto showFormat = [this, document] {
        auto *format = statusBar()->findChild<QLabel *>(QStringLiteral("statusFormat"));
        if (format && activeDocument() == document)
            format->setText(documentFormatText(*document));
    };
    connect(document, &QWidget::windowTitleChanged, this, showFormat);
    connect(document->textEdit, &QsciScintilla::modificationChanged, this, showFormat);
    addChildWindow(document);
    document->textEdit->setFocus(Qt::OtherFocusReason);
    return document;
}

void frmMain::addBrowserWindow(frmBrowser *window)
{
    addChildWindow(window);
}

// Shows the window as the active child, at three quarters of the room there is.
void frmMain::addChildWindow(QWidget *content)
{
    QMdiSubWindow *sub = mdiArea->addSubWindow(content);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Before the frame is first shown its layout has not run yet; the frame's
    // own size less the bars is the best guess of the room there is.
    QSize area = mdiArea->viewport()->size();
    if (!mdiArea->isVisible())
        area = QSize(width() - editBar->width(), height() - toolBar->sizeHint().height()
                                                     - statusBar()->sizeHint().height() - 30);
    sub->resize(qMax(area.width() * 3 / 4, 200), qMax(area.height() * 3 / 4, 120));
    sub->show();
    mdiArea->setActiveSubWindow(sub);
}

bool frmMain::toolbarShown() const
{
    return m_bars->toolbarShown();
}

bool frmMain::editBarsShown() const
{
    return m_bars->editBarsShown();
}

void frmMain::setToolbarShown(bool shown)
{
    m_bars->setToolbarShown(shown);
}

void frmMain::setEditBarsShown(bool shown)
{
    m_bars->setEditBarsShown(shown);
}

void frmMain::watchBars(QObject *context, std::function<void()> changed)
{
    connect(m_bars, &BarToggles::toolbarShownChanged, context, [changed] { changed(); });
    connect(m_bars, &BarToggles::editBarsShownChanged, context, [changed] { changed(); });
}

} // namespace tw
