#include "browser/frmAbout.h"

#include "platform/Twips.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tw {

namespace {

QLabel *label(const QString &text, const char *name, const QRect &geometry, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    return l;
}

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QFrame *rule(int top, int thickness, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(thickness);
    line->setGeometry(px(120), px(top), px(5700 - 120), thickness);
    return line;
}

} // namespace

frmAbout::frmAbout(Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      store(&systemKeyStore()),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Web Browser"));
    setFixedSize(pxSize(5745, 3465));

    Image1 = label(QString(), "Image1", pxRect(240, 240, 480, 480), this);
    Image1->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    lblTitle = label(QStringLiteral("Web Browser for Tagwright"), "lblTitle",
                     pxRect(1080, 240, 4452, 324), this);
    lblTitle->setFont(arialBold(13.5));
    Label1 = label(QStringLiteral("for Windows 95"), "Label1", pxRect(1080, 720, 1608, 252), this);
    Label1->setFont(arialBold(10.5));
    lblVersion = label(QStringLiteral("Version 1.0"), "lblVersion", pxRect(1080, 1080, 1056, 228), this);
    lblVersion->setFont(arialBold(10.5));
    for (QLabel *l : {lblTitle, Label1, lblVersion})
        l->resize(qMax(l->width(), l->sizeHint().width()), qMax(l->height(), l->sizeHint().height()));
    lblDescription = label(QStringLiteral("A utility of Tagwright. Its pages are shown by the Qt "
                                          "WebEngine web browser component."),
                           "lblDescription", pxRect(1080, 1560, 4224, 540), this);
    lblDescription->setWordWrap(true);
    rule(2266, 1, this)->setObjectName(QStringLiteral("Line1"));
    rule(2278, 2, this);
    lblDisclaimer = label(QStringLiteral("Tagwright is free software and comes with no warranty."),
                          "lblDisclaimer", pxRect(252, 2520, 3876, 468), this);
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(pxRect(4320, 2520, 1260, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(pxRect(4320, 3000, 1245, 345));
    cmdSysInfo->setAutoDefault(false);

    // Escape closes the dialog as OK does (QDialog's reject).
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    cmdOK->setFocus(Qt::OtherFocusReason);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo(*store, m_dialogs, starter);
}

} // namespace tw
