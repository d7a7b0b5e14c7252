#include "shell/frmMain.h"

#include "documents/MenuItems.h"
#include "documents/SourceEditor.h"
#include "documents/frmDocument.h"
#include "generators/FormCommands.h"
#include "generators/TableCommand.h"
#include "markup/TagCommands.h"
#include "documents/EditorOperations.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "rollover/RolloverCommands.h"
#include "shell/CommandBars.h"
#include "shell/frmSplash.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace tw {

namespace {

struct ToolbarEntry {
    const char *key;
    const char *tooltip;
    QStyle::StandardPixmap icon;
};

const ToolbarEntry kToolbar[] = {
    {"New", "New", QStyle::SP_FileIcon},
    {"Open", "Open", QStyle::SP_DialogOpenButton},
    {"Save", "Save", QStyle::SP_DialogSaveButton},
    {nullptr, nullptr, QStyle::SP_CustomBase},
    {"Cut", "Cut", QStyle::SP_CustomBase},
    {"Copy", "Copy", QStyle::SP_CustomBase},
    {"Paste", "Paste", QStyle::SP_CustomBase},
    {nullptr, nullptr, QStyle::SP_CustomBase},
    {"Preview", "Preview", QStyle::SP_FileDialogContentsView},
    {"Explorer", "Web Browser", QStyle::SP_ComputerIcon},
    {"Trash", "Delete", QStyle::SP_TrashIcon},
};

// Cut, Copy and Paste have no standard pixmap; they get small drawn ones.
QIcon drawnIcon(const QString &key)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    if (key == QLatin1String("Cut")) {
        p.drawEllipse(QRectF(5, 20, 8, 8));
        p.drawEllipse(QRectF(19, 20, 8, 8));
        p.drawLine(QPointF(11, 20), QPointF(22, 3));
        p.drawLine(QPointF(21, 20), QPointF(10, 3));
    } else if (key == QLatin1String("Copy")) {
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 4, 16, 19));
        p.drawRect(QRectF(12, 10, 16, 19));
    } else {
        p.setBrush(QColor(0xc8, 0x9b, 0x5a));
        p.drawRoundedRect(QRectF(5, 5, 22, 25), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 10, 14, 16));
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawRect(QRectF(11, 2, 10, 6));
    }
    return QIcon(pixmap);
}

QIcon toolbarIcon(const ToolbarEntry &entry, const QStyle *style)
{
    if (entry.icon != QStyle::SP_CustomBase)
        return style->standardIcon(entry.icon);
    return drawnIcon(QLatin1String(entry.key));
}

} // namespace

frmMain::frmMain(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs),
      m_activeEditor([this] { return activeControl(); }), m_clock(new QTimer(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tagwright"));
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(true);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(mdiArea, 1);
    setCentralWidget(central);

    buildBars();
    layout->addWidget(AEditBar);
    layout->addWidget(Editbar);
    buildToolbar();
    buildStatusBar();
    buildMenus();
    wireCommands();

    connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::switchMenus);
    // One application-wide filter serves three purposes: Alt and a menu's
    // letter opens that menu even where a bar button has the same access key
    // (Alt+F is File, not Font Color); files dropped anywhere in the frame,
    // the editors included, open as pages; and the bars' visibility changes
    // drive the View check marks.
    qApp->installEventFilter(this);
}

frmMain::~frmMain()
{
    // The bars are hidden while the frame is torn down; nothing may listen then.
    qApp->removeEventFilter(this);
    disconnect(mdiArea, nullptr, this, nullptr);
}

void frmMain::buildBars()
{
    Editbar = new EditBar(this);
    AEditBar = new AdvancedBar(this);
    AEditBar->hide();
    Size = Editbar->Size;
}

void frmMain::buildToolbar()
{
    tbToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolbarEntry &entry : kToolbar) {
        if (!entry.key) {
            tbToolBar->addSeparator();
            continue;
        }
        const QString key = QLatin1String(entry.key);
        QAction *action = tbToolBar->addAction(toolbarIcon(entry, style()), QLatin1String(entry.tooltip));
        action->setObjectName(QStringLiteral("tb") + key);
        action->setToolTip(QLatin1String(entry.tooltip));
        // Toolbar buttons leave the keyboard focus where it is.
        if (QWidget *w = tbToolBar->widgetForAction(action))
            w->setFocusPolicy(Qt::NoFocus);
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }
    addToolBar(Qt::TopToolBarArea, tbToolBar);
}

void frmMain::buildStatusBar()
{
    sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    statusText = new QLabel(QStringLiteral("Status"));
    statusText->setObjectName(QStringLiteral("statusText"));
    statusText->setFixedWidth(px(7038));
    statusDate = new QLabel;
    statusDate->setObjectName(QStringLiteral("statusDate"));
    statusDate->setMinimumWidth(px(2540));
    statusTime = new QLabel;
    statusTime->setObjectName(QStringLiteral("statusTime"));
    statusTime->setMinimumWidth(px(2540));
    sbStatusBar->addWidget(statusText);
    sbStatusBar->addPermanentWidget(statusDate);
    sbStatusBar->addPermanentWidget(statusTime);

    // The clock wakes once a minute, on the minute.
    m_clock->setSingleShot(true);
    m_clock->setTimerType(Qt::CoarseTimer);
    connect(m_clock, &QTimer::timeout, this, &frmMain::refreshClock);
    refreshClock();
}

void frmMain::refreshClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    statusDate->setText(locale.toString(now.date(), QLocale::ShortFormat));
    // The clock shows minutes only, since it is refreshed once a minute.
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("[:.]ss?")));
    statusTime->setText(locale.toString(now.time(), timeFormat));
    const int msIntoMinute = now.time().second() * 1000 + now.time().msec();
    m_clock->start(60000 - msIntoMinute + 50);
}

void frmMain::buildMenus()
{
    mnuFile = newMenu(this, "&File", "mnuFile");
    mnuFileNew = addMenuItem(mnuFile, "&New", "mnuFileNew", QKeySequence(QStringLiteral("Ctrl+N")));
    mnuFileOpen = addMenuItem(mnuFile, "&Open", "mnuFileOpen", QKeySequence(QStringLiteral("Ctrl+O")));
    mnuFile->addSeparator();
    mnuFileExit = addMenuItem(mnuFile, "E&xit", "mnuFileExit");

    mnuView = newMenu(this, "&View", "mnuView");
    mnuViewToolbar = addCheckItem(mnuView, "&Toolbar", "mnuViewToolbar");
    mnuViewEdit = addCheckItem(mnuView, "HTML &Edit Toolbar", "mnuViewEdit");
    mnuViewStatusBar = addCheckItem(mnuView, "Status &Bar", "mnuViewStatusBar");
    mnuView->addSeparator();
    mnuViewBrowser = addMenuItem(mnuView, "&Web Browser", "mnuViewBrowser");

    mnuHelp = newMenu(this, "&Help", "mnuHelp");
    mnuContents = addMenuItem(mnuHelp, "&Contents", "mnuContents");
    mnuHelpTemplate = addMenuItem(mnuHelp, "&Template", "mnuHelpTemplate", QKeySequence(Qt::Key_F1));
    mnuHelp->addSeparator();
    mnuHelpAbout = addMenuItem(mnuHelp, "&About Tagwright...", "mnuHelpAbout");

    switchMenus();
}

void frmMain::wireCommands()
{
    for (const auto *bar : {static_cast<CommandBar *>(Editbar), static_cast<CommandBar *>(AEditBar)}) {
        for (auto it = bar->buttons().cbegin(); it != bar->buttons().cend(); ++it) {
            if (const TagCommand *command = findTagCommand(it.key())) {
                connect(it.value(), &QPushButton::clicked, this,
                        [this, command] { runTagCommand(*command, m_activeEditor); });
            }
        }
    }
    connect(button(QStringLiteral("CmdAdvanced")), &QPushButton::clicked, this, &frmMain::CmdAdvanced_Click);

    using Generator = void (*)(Dialogs &, ActiveEditor &);
    const std::pair<const char *, Generator> generators[] = {
        {"CmdForm", &CmdForm_Click},         {"CmdCheckBox", &CmdCheckBox_Click},
        {"CmdRadio", &CmdRadio_Click},       {"CmdText", &CmdText_Click},
        {"TextArea", &TextArea_Click},       {"CmdSubmit", &CmdSubmit_Click},
        {"CmdReset", &CmdReset_Click},       {"CmdTable", &CmdTable_Click},
        {"CmdPicFlip", static_cast<Generator>(&CmdPicFlip_Click)},
        {"CmdInsertPic", &CmdInsertPic_Click},
    };
    for (const auto &[name, generator] : generators) {
        connect(button(QLatin1String(name)), &QPushButton::clicked, this,
                [this, generator = generator] { generator(m_dialogs, m_activeEditor); });
    }

    connect(button(QStringLiteral("CmdTemplate")), &QPushButton::clicked, this, [this] { NewFromTemplate(*this); });

    connect(mnuFileNew, &QAction::triggered, this, &frmMain::NewDocument);
    connect(mnuFileOpen, &QAction::triggered, this, [this] { openWithDialog(*this, OpenCount); });
    connect(mnuHelpTemplate, &QAction::triggered, this, [this] { NewFromTemplate(*this); });
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuViewToolbar, &QAction::triggered, this, [this] { setToolbarShown(!toolbarShown()); });
    connect(mnuViewEdit, &QAction::triggered, this, [this] { setEditBarsShown(!editBarsShown()); });
    connect(mnuViewStatusBar, &QAction::triggered, this, &frmMain::mnuViewStatusBar_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::showAbout);

    connect(this, &frmMain::toolbarShownChanged, mnuViewToolbar, &QAction::setChecked);
    connect(this, &frmMain::editBarsShownChanged, mnuViewEdit, &QAction::setChecked);
}

QPushButton *frmMain::button(const QString &name) const
{
    if (QPushButton *b = Editbar->button(name))
        return b;
    return AEditBar->button(name);
}

void frmMain::MDIForm_Load()
{
    restorePlacement();
    Size->clear();
    Size->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                    QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")});
    Size->setEditText(QStringLiteral("1"));
    NewDocument();
}

void frmMain::restorePlacement()
{
    const Placement saved = Settings::loadPlacement();
    const double dpi = logicalDpi();
    const Placement defaults;
    const QRect fallback(twipsToPixels(defaults.left, dpi), twipsToPixels(defaults.top, dpi),
                         twipsToPixels(defaults.width, dpi), twipsToPixels(defaults.height, dpi));
    const QRect wanted(twipsToPixels(saved.left, dpi), twipsToPixels(saved.top, dpi),
                       twipsToPixels(saved.width, dpi), twipsToPixels(saved.height, dpi));
    QVector<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->geometry();
    const QRect placement = reachablePlacement(wanted, fallback, screens);
    move(placement.topLeft());
    resize(placement.size());
}

void frmMain::savePlacement()
{
    if (isMinimized())
        return;
    const double dpi = logicalDpi();
    Placement p;
    p.left = pixelsToTwips(x(), dpi);
    p.top = pixelsToTwips(y(), dpi);
    p.width = pixelsToTwips(width(), dpi);
    p.height = pixelsToTwips(height(), dpi);
    Settings::savePlacement(p);
}

// Every document with unsaved changes is asked about before anything closes;
// Cancel keeps the frame and all its windows open.
void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !confirmCloseAll(*this)) {
        event->ignore();
        return;
    }
    savePlacement();
    m_closing = true;
    mdiArea->closeAllSubWindows();
    event->accept();
}

void frmMain::exitAtOnce()
{
    if (!confirmCloseAll(*this))
        return;
    m_closing = true;
    QApplication::exit(0);
}

void frmMain::closeAllWithoutQuestionForTests()
{
    m_closing = true;
    mdiArea->closeAllSubWindows();
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
        openPage(*this, path, OpenCount);
}

namespace {

QStringList droppedFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    if (openDropped(event->mimeData()))
        event->acceptProposedAction();
}

bool frmMain::openDropped(const QMimeData *mime)
{
    const QStringList paths = droppedFiles(mime);
    openFiles(paths);
    return !paths.isEmpty();
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
    connectDocument(document);
    QMdiSubWindow *sub = mdiArea->addSubWindow(document);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Before the frame is first shown its layout has not run yet; the frame's
    // own size less the bars is the best guess of the room there is.
    QSize area = mdiArea->viewport()->size();
    if (!mdiArea->isVisible())
        area = QSize(width() - Editbar->width(), height() - tbToolBar->sizeHint().height()
                                                     - sbStatusBar->sizeHint().height() - 30);
    sub->resize(qMax(area.width() * 3 / 4, 200), qMax(area.height() * 3 / 4, 120));
    sub->show();
    mdiArea->setActiveSubWindow(sub);
    document->TxtText->setFocus(Qt::OtherFocusReason);
    return document;
}

void frmMain::connectDocument(frmDocument *document)
{
    document->showBarState(toolbarShown(), editBarsShown());
    connect(this, &frmMain::toolbarShownChanged, document,
            [document](bool shown) { document->mnuViewToolbar->setChecked(shown); });
    connect(this, &frmMain::editBarsShownChanged, document,
            [document](bool shown) { document->mnuViewEdit->setChecked(shown); });
    connect(document->mnuNew, &QAction::triggered, this, &frmMain::NewDocument);
    connect(document->mnuOpen, &QAction::triggered, this, [this, document] { openWithDialog(*this, document->OpenCount); });
    connect(document->mnuFileSave, &QAction::triggered, this, [this] { SaveActiveDocument(*this); });
    connect(document->mnuFileSaveAs, &QAction::triggered, this, [this, document] { SaveDocumentAs(*this, document); });
    connect(document->mnuViewTemplate, &QAction::triggered, this, [this] { NewFromTemplate(*this); });
    document->closeGuard = [this](frmDocument *doc) { return m_closing || confirmClose(*this, doc); };
    connect(document->mnuExit, &QAction::triggered, this, &frmMain::exitAtOnce);
    connect(document->mnuViewToolbar, &QAction::triggered, this, [this] { setToolbarShown(!toolbarShown()); });
    connect(document->mnuViewEdit, &QAction::triggered, this, [this] { setEditBarsShown(!editBarsShown()); });
    connect(document->mnuAbout, &QAction::triggered, this, &frmMain::showAbout);
}

void frmMain::switchMenus()
{
    QMenuBar *bar = menuBar();
    bar->clear();
    const frmDocument *document = activeDocument();
    const QList<QMenu *> menus = document ? document->menus() : QList<QMenu *>{mnuFile, mnuView, mnuHelp};
    for (QMenu *menu : menus)
        bar->addMenu(menu);
}

bool frmMain::toolbarShown() const
{
    return !tbToolBar->isHidden();
}

bool frmMain::editBarsShown() const
{
    return !Editbar->isHidden();
}

void frmMain::setToolbarShown(bool shown)
{
    tbToolBar->setVisible(shown);
}

// Showing the edit bars brings the Advanced bar back only when the user had
// asked for it (the Advanced button then reads "&Hide").
void frmMain::setEditBarsShown(bool shown)
{
    if (!shown) {
        Editbar->hide();
        AEditBar->hide();
        return;
    }
    Editbar->show();
    if (button(QStringLiteral("CmdAdvanced"))->text() == QLatin1String("&Hide"))
        AEditBar->show();
}

QAction *frmMain::menuForMnemonic(const QEvent *event) const
{
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (key->modifiers() != Qt::AltModifier || key->key() < Qt::Key_A || key->key() > Qt::Key_Z)
        return nullptr;
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key->key())));
    for (QAction *action : menuBar()->actions()) {
        if (action->isVisible() && QKeySequence::mnemonic(action->text()) == pressed)
            return action;
    }
    return nullptr;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const bool inFrame = watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == this;
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) && inFrame) {
        if (QAction *menu = menuForMnemonic(event)) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
            } else {
                menuBar()->setActiveAction(menu);
            }
            return true;
        }
    }
    // Files dropped on an editor open as pages rather than landing as text.
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove
         || event->type() == QEvent::Drop) && inFrame) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!droppedFiles(drop->mimeData()).isEmpty()) {
            drop->acceptProposedAction();
            if (event->type() == QEvent::Drop)
                openDropped(drop->mimeData());
            return true;
        }
    }
    // ShowToParent and HideToParent follow the bar's own visibility flag, not
    // the frame being minimized or hidden.
    const bool shown = event->type() == QEvent::ShowToParent;
    if (shown || event->type() == QEvent::HideToParent) {
        if (watched == tbToolBar)
            Q_EMIT toolbarShownChanged(shown);
        else if (watched == Editbar)
            Q_EMIT editBarsShownChanged(shown);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::CmdAdvanced_Click()
{
    QPushButton *advanced = button(QStringLiteral("CmdAdvanced"));
    if (AEditBar->isHidden()) {
        AEditBar->show();
        advanced->setText(QStringLiteral("&Hide"));
        advanced->setToolTip(QStringLiteral("Hide Advanced toolbar"));
    } else {
        AEditBar->hide();
        advanced->setText(QStringLiteral("&Advanced"));
        advanced->setToolTip(QStringLiteral("Advanced toolbar"));
    }
    advanced->setAccessibleName(advanced->text().remove(QLatin1Char('&')));
    advanced->setAccessibleDescription(advanced->toolTip());
    m_activeEditor.focusBack();
}

void frmMain::mnuViewStatusBar_Click()
{
    const bool show = sbStatusBar->isHidden();
    sbStatusBar->setVisible(show);
    mnuViewStatusBar->setChecked(show);
}

void frmMain::showAbout()
{
    frmSplash splash(this);
    splash.exec();
}

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    if (key == QLatin1String("New"))
        NewDocument();
    else if (key == QLatin1String("Open"))
        openWithDialog(*this, OpenCount);
    else if (key == QLatin1String("Save"))
        SaveActiveDocument(*this);
    else if (key == QLatin1String("Cut"))
        Cut();
    else if (key == QLatin1String("Copy"))
        Copy();
    else if (key == QLatin1String("Paste"))
        Paste();
    else if (key == QLatin1String("Trash"))
        DeleteActiveDocument(*this);
}

void frmMain::Cut()
{
    cutSelection(m_activeEditor);
}

void frmMain::Copy()
{
    copySelection(m_activeEditor);
}

void frmMain::Paste()
{
    pasteClipboard(m_activeEditor);
}

} // namespace tw
