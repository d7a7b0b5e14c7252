#include "browser/frmBrowser.h"

#include "browser/Address.h"
#include "browser/Bookmarks.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/BrowserHost.h"
#include "browser/PageArea.h"
#include "browser/PictureButton.h"
#include "browser/frmAbout.h"
#include "browser/frmOpen.h"
#include "browser/MenuItems.h"
#include "platform/AppPaths.h"
#include "platform/Twips.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QStyle>

#include <cmath>
#include <limits>

namespace tw {

namespace {

// Positions and sizes, in twips.
constexpr int kStripHeight = 465;
constexpr int kPanelTop = 465;
constexpr int kPanelHeight = 675;
constexpr int kPageTop = 1200;
constexpr int kButtonSize = 480;

// Drawn fallbacks where the style has no fitting picture: a magnifier for
// Search, a star for Favorites.
QIcon drawnIcon(bool star, const QPalette &palette)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette.color(QPalette::ButtonText), 2.5));
    if (star) {
        QPolygonF points;
        for (int i = 0; i < 10; ++i) {
            const double radius = i % 2 ? 6.0 : 14.0;
            const double angle = -M_PI / 2 + i * M_PI / 5;
            points << QPointF(16 + radius * std::cos(angle), 17 + radius * std::sin(angle));
        }
        painter.setBrush(QColor(0xf0, 0xc0, 0x20));
        painter.drawPolygon(points);
    } else {
        painter.drawEllipse(QRectF(5, 5, 15, 15));
        painter.setPen(QPen(palette.color(QPalette::ButtonText), 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(18, 18), QPointF(27, 27));
    }
    return QIcon(pixmap);
}

} // namespace

frmBrowser::frmBrowser(BrowserHost &host, QWidget *parent) : QWidget(parent), m_host(host)
{
    setObjectName(QStringLiteral("frmBrowser"));
    setMinimumSize(1, 1);

    tbToolBar = new QWidget(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    picAddress = new QWidget(this);
    picAddress->setObjectName(QStringLiteral("picAddress"));
    lblAddress = new QLabel(QStringLiteral("&Address:"), picAddress);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setGeometry(pxRect(48, 84, 648, 192));
    // Larger fonts than the designed ones still show the whole caption.
    lblAddress->resize(lblAddress->size().expandedTo(lblAddress->sizeHint()));
    cboAddress = new QComboBox(picAddress);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    // The list holds only the starting address; typed text is taken exactly
    // as typed, never completed from the list.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    // A line edit cuts its text at 32,767 characters unless told otherwise;
    // an address is taken whole.
    cboAddress->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    cboAddress->setAccessibleName(QStringLiteral("Address"));
    cboAddress->setToolTip(QStringLiteral("Address"));
    lblAddress->setBuddy(cboAddress);
    // Enter (Return or the keypad's): the box has the focus and hands its
    // keys to its line edit, which reports Enter as returnPressed.
    connect(cboAddress->lineEdit(), &QLineEdit::returnPressed, this, &frmBrowser::cboAddress_Click);
    // Choosing from the drop-down list: the chosen entry becomes the box's
    // text, whatever was typed there, and is navigated to.
    connect(cboAddress, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            cboAddress->setEditText(cboAddress->itemText(index));
        cboAddress_Click();
    });
    cboAddress->installEventFilter(this);

    buildStrip();
    buildMenus();
    createPageArea();

    showBarState();
    m_host.watchBars(this, [this] { showBarState(); });
}

frmBrowser::~frmBrowser()
{
    if (brwWebBrowser) {
        brwWebBrowser->onLoadStarted = nullptr;
        brwWebBrowser->onLoadFinished = nullptr;
        brwWebBrowser->onTitleChanged = nullptr;
    }
}

void frmBrowser::buildStrip()
{
    const QStyle *s = style();
    struct ButtonEntry {
        PictureButton **button;
        const char *name;
        const char *label;
        const char *icon;
        QStyle::StandardPixmap fallback;
        int left;
        void (frmBrowser::*action)();
    };
    const ButtonEntry entries[] = {
        {&CmdBackUp, "CmdBackUp", "Back", "go-previous", QStyle::SP_ArrowBack, 0,
         &frmBrowser::CmdBackUp_MouseUp},
        {&CmdFowardUp, "CmdFowardUp", "Forward", "go-next", QStyle::SP_ArrowForward, 480,
         &frmBrowser::CmdFowardUp_MouseUp},
        {&CmdStopUp, "CmdStopUp", "Stop", "process-stop", QStyle::SP_BrowserStop, 960,
         &frmBrowser::CmdStopUp_MouseUp},
        {&CmdRefreshUp, "CmdRefreshUp", "Refresh", "view-refresh", QStyle::SP_BrowserReload, 1560,
         &frmBrowser::CmdRefreshUp_MouseUp},
        {&CmdHomeUp, "CmdHomeUp", "Home", "go-home", QStyle::SP_DirHomeIcon, 2040,
         &frmBrowser::CmdHomeUp_MouseUp},
        {&CmdSearchUp, "CmdSearchUp", "Search", "edit-find", QStyle::SP_FileDialogContentsView, 2520,
         &frmBrowser::CmdSearchUp_MouseUp},
        {&CmdFavoriteUp, "CmdFavoriteUp", "Favorites", "bookmarks", QStyle::SP_DirLinkIcon, 3120,
         &frmBrowser::CmdFavoriteUp_MouseUp},
    };
    for (const ButtonEntry &entry : entries) {
        QIcon icon = QIcon::fromTheme(QLatin1String(entry.icon));
        if (icon.isNull()) {
            if (entry.button == &CmdSearchUp || entry.button == &CmdFavoriteUp)
                icon = drawnIcon(entry.button == &CmdFavoriteUp, palette());
            else
                icon = s->standardIcon(entry.fallback);
        }
        auto *button = new PictureButton(QLatin1String(entry.name), QLatin1String(entry.label), icon,
                                         tbToolBar);
        button->setGeometry(pxRect(entry.left, 0, kButtonSize, kButtonSize));
        connect(button, &PictureButton::acted, this, entry.action);
        *entry.button = button;
    }
    // The buttons come first in the tab order, then the address box.
    for (int i = 0; i + 1 < int(std::size(entries)); ++i)
        setTabOrder(*entries[i].button, *entries[i + 1].button);
    setTabOrder(CmdFavoriteUp, cboAddress);
}

void frmBrowser::buildMenus()
{
    mnuFile = newMenu(this, "&File", "mnuFile");
    mnuFileNew = newMenu(this, "&New", "mnuFileNew");
    mnuFile->addMenu(mnuFileNew);
    mnuFileBrowser = addMenuItem(mnuFileNew, "&Web Browser", "mnuFileBrowser");
    mnuFileOpen = addMenuItem(mnuFile, "&Open...", "mnuFileOpen", QKeySequence(QStringLiteral("Ctrl+O")));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileLine"));
    mnuExit = addMenuItem(mnuFile, "E&xit", "mnuExit");

    mnuView = newMenu(this, "&View", "mnuView");
    mnuViewToolbar = addCheckItem(mnuView, "&Toolbar", "mnuViewToolbar");
    mnuViewEdit = addCheckItem(mnuView, "HTML &Edit Toolbar", "mnuViewEdit");

    mnuFavorites = newMenu(this, "F&avorites", "mnuFavorites");
    for (const Bookmark &bookmark : kBookmarks) {
        if (QLatin1String(bookmark.caption) == QLatin1String("-")) {
            mnuFavorites->addSeparator()->setObjectName(QLatin1String(bookmark.name));
            continue;
        }
        QAction *item = addMenuItem(mnuFavorites, bookmark.caption, bookmark.name);
        const char *address = bookmark.address;
        // A bookmark sends the page area there and does nothing else: the
        // address box keeps its text.
        connect(item, &QAction::triggered, this, [this, address] {
            Navigate(address ? QString::fromLatin1(address) : helpAddress());
        });
    }

    mnuHelp = newMenu(this, "&Help", "mnuHelp");
    mnuContents = addMenuItem(mnuHelp, "&Contents", "mnuContents");
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("line"));
    mnuWebBrowser = addMenuItem(mnuHelp, "&About Web Browser...", "mnuWebBrowser");

    connect(mnuFileBrowser, &QAction::triggered, this, [this] { ShowSampleInBrowser(m_host); });
    connect(mnuFileOpen, &QAction::triggered, this, &frmBrowser::mnuFileOpen_Click);
    connect(mnuExit, &QAction::triggered, this, &frmBrowser::mnuExit_Click);
    connect(mnuViewToolbar, &QAction::triggered, this,
            [this](bool checked) { m_host.setToolbarShown(checked); });
    connect(mnuViewEdit, &QAction::triggered, this,
            [this](bool checked) { m_host.setEditBarsShown(checked); });
    connect(mnuContents, &QAction::triggered, this, [this] { ShowHelpContents(m_host); });
    connect(mnuWebBrowser, &QAction::triggered, this, &frmBrowser::mnuWebBrowser_Click);
}

void frmBrowser::createPageArea()
{
    QString error;
    brwWebBrowser = tw::createPageArea(this, &error);
    if (!brwWebBrowser) {
        lblUnavailable = new QLabel(
            QStringLiteral("The web browser component could not be loaded.\n%1").arg(error), this);
        lblUnavailable->setObjectName(QStringLiteral("lblUnavailable"));
        lblUnavailable->setWordWrap(true);
        lblUnavailable->setAlignment(Qt::AlignCenter);
        m_pageWidget = lblUnavailable;
        return;
    }
    m_pageWidget = brwWebBrowser->widget();
    brwWebBrowser->onLoadStarted = [this] { setWindowTitle(QStringLiteral("Working...")); };
    brwWebBrowser->onLoadFinished = [this](bool) { showPageName(); };
    brwWebBrowser->onTitleChanged = [this] {
        if (!brwWebBrowser->isLoading())
            showPageName();
    };
}

void frmBrowser::showPageName()
{
    if (brwWebBrowser)
        setWindowTitle(brwWebBrowser->title());
}

void frmBrowser::showBarState()
{
    mnuViewEdit->setChecked(m_host.editBarsShown());
    mnuViewToolbar->setChecked(m_host.toolbarShown());
}

void frmBrowser::Form_Load()
{
    show();
    tbToolBar->update();
    Form_Resize();
    cboAddress->move(px(50), lblAddress->y() + lblAddress->height() + px(15));
    if (StartingAddress.isEmpty())
        return;
    cboAddress->setEditText(StartingAddress);
    cboAddress->addItem(cboAddress->currentText());
    Navigate(StartingAddress);
}

QSize frmBrowser::sizeHint() const
{
    return pxSize(9600, 7200);
}

void frmBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// The strip and the address panel span the width; the address box keeps a
// margin of 100 twips; the page area fills the rest. A size too small for
// that leaves the element as it was.
void frmBrowser::Form_Resize()
{
    const int w = width();
    const int h = height();
    tbToolBar->setGeometry(0, 0, w, px(kStripHeight));
    picAddress->setGeometry(0, px(kPanelTop), w, px(kPanelHeight));
    tbToolBar->raise();
    const int boxWidth = w - px(100);
    if (boxWidth >= 0)
        cboAddress->resize(boxWidth, cboAddress->sizeHint().height());
    const int pageHeight = h - px(kPanelTop + kPanelHeight) - px(100);
    if (m_pageWidget && pageHeight >= 0)
        m_pageWidget->setGeometry(0, px(kPageTop), w, pageHeight);
}

// The bar buttons of the frame take the focus when clicked and then work on
// the selected part of the address, but a line edit drops its selection when
// the focus leaves it. The box hands the focus change to its line edit at
// once, so the selection is read before and put back after.
bool frmBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != cboAddress || event->type() != QEvent::FocusOut)
        return QWidget::eventFilter(watched, event);
    QLineEdit *line = cboAddress->lineEdit();
    const int start = line->selectionStart();
    const int end = line->selectionEnd();
    const bool backward = line->cursorPosition() == start;
    static_cast<QObject *>(cboAddress)->event(event);
    if (start >= 0 && end > start && !line->hasSelectedText())
        line->setSelection(backward ? end : start, backward ? start - end : end - start);
    return true;
}

void frmBrowser::Navigate(const QString &target)
{
    if (brwWebBrowser)
        brwWebBrowser->navigate(addressToUrl(target, startDir()));
}

void frmBrowser::cboAddress_Click()
{
    if (NavigateSuppressed)
        return;
    Navigate(cboAddress->currentText());
}

void frmBrowser::CmdBackUp_MouseUp()
{
    if (brwWebBrowser)
        brwWebBrowser->back();
}

void frmBrowser::CmdFowardUp_MouseUp()
{
    if (brwWebBrowser)
        brwWebBrowser->forward();
}

void frmBrowser::CmdStopUp_MouseUp()
{
    if (!brwWebBrowser)
        return;
    brwWebBrowser->stop();
    showPageName();
}

void frmBrowser::CmdRefreshUp_MouseUp()
{
    if (brwWebBrowser)
        brwWebBrowser->reload();
}

void frmBrowser::CmdHomeUp_MouseUp()
{
    Navigate(helpAddress());
}

void frmBrowser::CmdSearchUp_MouseUp()
{
    Navigate(QString::fromLatin1(kSearchAddress));
}

void frmBrowser::CmdFavoriteUp_MouseUp()
{
    mnuFavorites->popup(CmdFavoriteUp->mapToGlobal(QPoint(0, CmdFavoriteUp->height())));
}

void frmBrowser::mnuFileOpen_Click()
{
    frmOpen dialog(m_host, this);
    dialog.exec();
}

void frmBrowser::mnuWebBrowser_Click()
{
    frmAbout dialog(m_host.dialogs(), this);
    dialog.exec();
}

void frmBrowser::mnuExit_Click()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

} // namespace tw
