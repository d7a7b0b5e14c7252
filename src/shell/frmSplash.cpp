#include "shell/frmSplash.h"

#include "platform/Twips.h"
#include "platform/Version.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace tw {

void ClickFrame::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    Q_EMIT clicked();
}

QPixmap logoPixmap(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1d, 0x4e, 0x89));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, side, side), side / 6.0, side / 6.0);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(side * 2 / 5);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QStringLiteral("</>"));
    return pixmap;
}

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text, double pointSize, bool bold,
              double left, double top, double width, double height)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    l->setFont(font);
    l->setGeometry(pxRect(left, top, width, height));
    l->setWordWrap(true);
    // Clicks on the labels reach the frame underneath.
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

} // namespace

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("Tagwright"));
    setFixedSize(pxSize(7485, 3780));

    fraMainFrame = new ClickFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameShape(QFrame::Box);
    fraMainFrame->setGeometry(pxRect(45, 0, 7380, 3732));
    connect(fraMainFrame, &ClickFrame::clicked, this, &QDialog::accept);

    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setGeometry(pxRect(360, 600, 1800, 1800));
    picLogo->setPixmap(logoPixmap(px(1800)));
    picLogo->setAttribute(Qt::WA_TransparentForMouseEvents);

    picture1 = new QLabel(fraMainFrame);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setGeometry(pxRect(360, 2640, 6660, 30));
    picture1->setStyleSheet(QStringLiteral("background: #1d4e89"));
    picture1->setAttribute(Qt::WA_TransparentForMouseEvents);

    lblProductName = label(fraMainFrame, "lblProductName", QStringLiteral("Tagwright"), 24, true, 2520, 600, 4500, 600);
    lblPlatform = label(fraMainFrame, "lblPlatform", QStringLiteral("for Windows 98"), 12, true, 2520, 1320, 4500, 360);
    lblVersion = label(fraMainFrame, "lblVersion", QStringLiteral("Version ") + versionText(), 10, true, 2520, 1740, 4500, 300);
    lblWarning = label(fraMainFrame, "lblWarning",
                       QStringLiteral("A hand-coding editor for HTML pages. Click to close."), 8, false,
                       2520, 2100, 4500, 480);
    lblCompany = label(fraMainFrame, "lblCompany", QStringLiteral("The Tagwright developers"), 8, false, 360, 2820, 6660, 300);
    lblCopyright = label(fraMainFrame, "lblCopyright", QStringLiteral("Free software; no warranty."), 8, false, 360, 3120, 6660, 300);

    centreOnScreen();
}

void frmSplash::centreOnScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

} // namespace tw
