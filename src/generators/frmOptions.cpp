#include "generators/frmOptions.h"

#include "platform/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

namespace tw {

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect rect)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(rect);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmOptions::frmOptions(CommandState &state, Dialogs &dialogs, MarkupWindows &windows, QWidget *parent)
    : QDialog(parent), PagePropertiesWindow(state, dialogs, windows)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Page Properties"));
    setFixedSize(pxSize(5775, 4500));

    tbsOptions = new QTabWidget(this);
    tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    tbsOptions->setGeometry(pxRect(120, 120, 5535, 3720));
    picOptions = new QWidget;
    picOptions->setObjectName(QStringLiteral("picOptions"));
    const int tab = tbsOptions->addTab(picOptions, QStringLiteral("Options"));
    tbsOptions->setTabToolTip(tab, QStringLiteral("Set Options for Group 1"));

    fraBackground = new QGroupBox(QStringLiteral("BackGround"), picOptions);
    fraBackground->setObjectName(QStringLiteral("fraBackground"));
    fraBackground->setGeometry(pxRect(120, 120, 2520, 3000));
    CmdBrowse = button(fraBackground, "CmdBrowse", QStringLiteral("Browse"), pxRect(120, 300, 1080, 375));
    CmdBrowse->setToolTip(QStringLiteral("Choose a background picture"));
    CmdRemove = button(fraBackground, "CmdRemove", QStringLiteral("Remove"), pxRect(1320, 300, 1080, 375));
    CmdRemove->setToolTip(QStringLiteral("No background picture"));
    Picture1 = new QFrame(fraBackground);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setGeometry(pxRect(120, 780, 2280, 2100));
    Image1 = button(Picture1, "Image1", QString(), pxRect(30, 30, 2220, 2040));
    Image1->setFlat(true);
    Image1->setIconSize(Image1->size());
    Image1->setAccessibleName(QStringLiteral("Background picture"));
    Image1->setToolTip(QStringLiteral("Click to choose a background picture"));

    fraColors = new QGroupBox(QStringLiteral("Colors"), picOptions);
    fraColors->setObjectName(QStringLiteral("fraColors"));
    fraColors->setGeometry(pxRect(2760, 120, 2520, 3000));
    struct LabelSpec {
        QPushButton **member;
        const char *name;
        const char *caption;
        PageColor which;
    };
    const LabelSpec labels[] = {
        {&Label4, "Label4", "Text", PageColor::Text},
        {&Label5, "Label5", "BackGround", PageColor::Bg},
        {&Label1, "Label1", "Links", PageColor::Link},
        {&Label3, "Label3", "Visited Links", PageColor::VLink},
        {&Label2, "Label2", "Active Links", PageColor::ALink},
    };
    int top = 360;
    for (const LabelSpec &spec : labels) {
        const QString caption = QString::fromLatin1(spec.caption);
        QPushButton *b = button(fraColors, spec.name, caption, pxRect(240, top, 2040, 375));
        b->setFlat(true);
        b->setToolTip(QStringLiteral("Pick the %1 colour").arg(caption));
        *spec.member = b;
        showPageColor(spec.which, defaultLabelColor(spec.which));
        const PageColor which = spec.which;
        connect(b, &QPushButton::clicked, this, [this, which] { clickLabel(which, this); });
        top += 540;
    }

    cmdOK = button(this, "cmdOK", QStringLiteral("OK"), pxRect(3000, 3960, 1200, 375));
    CmdCancel = button(this, "CmdCancel", QStringLiteral("Cancel"), pxRect(4455, 3960, 1200, 375));
    cmdOK->setDefault(true);

    connect(CmdBrowse, &QPushButton::clicked, this, [this] { browse(); });
    connect(Image1, &QPushButton::clicked, this, [this] { browse(); });
    connect(CmdRemove, &QPushButton::clicked, this, [this] { remove(); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Centred on the screen, once, when created.
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

QPushButton *frmOptions::label(PageColor which) const
{
    switch (which) {
    case PageColor::Link:
        return Label1;
    case PageColor::ALink:
        return Label2;
    case PageColor::VLink:
        return Label3;
    case PageColor::Text:
        return Label4;
    case PageColor::Bg:
        break;
    }
    return Label5;
}

bool frmOptions::runModal()
{
    return exec() == QDialog::Accepted;
}

void frmOptions::showPageColor(PageColor which, const QColor &fill)
{
    QPushButton *b = label(which);
    if (!b)
        return;
    QPalette palette = b->palette();
    palette.setColor(QPalette::ButtonText, fill);
    palette.setColor(QPalette::WindowText, fill);
    b->setPalette(palette);
}

void frmOptions::showPreview(const QPixmap &picture)
{
    Image1->setIcon(picture.isNull() ? QIcon() : QIcon(picture));
}

PagePropertiesFactory realPageProperties(Dialogs &dialogs, MarkupWindows &windows, QWidget *parent)
{
    return [&dialogs, &windows, parent = QPointer<QWidget>(parent)](CommandState &state) {
        return std::unique_ptr<PagePropertiesWindow>(new frmOptions(state, dialogs, windows, parent));
    };
}

} // namespace tw
