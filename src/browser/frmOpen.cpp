#include "browser/frmOpen.h"

#include "browser/BrowserCommands.h"
#include "browser/BrowserHost.h"
#include "browser/frmBrowser.h"
#include "platform/Dialogs.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace tw {

namespace {

QPushButton *plainButton(const char *caption, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

frmOpen::frmOpen(BrowserHost &host, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_host(host)
{
    setObjectName(QStringLiteral("frmOpen"));
    setWindowTitle(QStringLiteral("Open"));
    setFixedSize(pxSize(5460, 2205));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    Image1->setGeometry(pxRect(240, 240, 480, 480));

    Label1 = new QLabel(QStringLiteral("Type a Internet address of a document or folder, and Web "
                                       "Browser will open it for you."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(pxRect(960, 240, 3732, 492));
    Label1->setMinimumHeight(Label1->heightForWidth(Label1->width()));

    Label2 = new QLabel(QStringLiteral("&Open:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(pxRect(312, 1080, 432, 192));
    Label2->adjustSize();

    txtOpen = new QComboBox(this);
    txtOpen->setObjectName(QStringLiteral("txtOpen"));
    txtOpen->setEditable(true);
    txtOpen->setInsertPolicy(QComboBox::NoInsert);
    txtOpen->setCompleter(nullptr);
    txtOpen->lineEdit()->setMaxLength(std::numeric_limits<int>::max()); // addresses are taken whole
    txtOpen->setAccessibleName(QStringLiteral("Open"));
    txtOpen->setGeometry(px(960), px(960), px(4332), txtOpen->sizeHint().height());
    // Enter in the field is OK. The field has the focus and hands its keys to
    // its line edit, which reports Enter (Return or the keypad's) as
    // returnPressed.
    connect(txtOpen->lineEdit(), &QLineEdit::returnPressed, this, &frmOpen::cmdOK_Click);
    Label2->setBuddy(txtOpen);

    cmdOK = plainButton("OK", "cmdOK", this);
    cmdOK->setGeometry(pxRect(1440, 1680, 1212, 372));
    CmdCancel = plainButton("Cancel", "CmdCancel", this);
    CmdCancel->setGeometry(pxRect(2760, 1680, 1212, 372));
    CmdOpen = plainButton("&Browse...", "CmdOpen", this);
    CmdOpen->setGeometry(pxRect(4080, 1680, 1212, 372));

    setTabOrder(txtOpen, cmdOK);
    setTabOrder(cmdOK, CmdOpen);
    setTabOrder(CmdOpen, CmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmOpen::cmdOK_Click);
    connect(CmdOpen, &QPushButton::clicked, this, &frmOpen::CmdOpen_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &frmOpen::CmdCancel_Click);
    txtOpen->setFocus(Qt::OtherFocusReason);
}

void frmOpen::cmdOK_Click()
{
    const QString text = txtOpen->currentText();
    frmBrowser *shared = sharedBrowserWindow(m_host);
    shared->cboAddress->setEditText(text);
    shared->Navigate(text);
    accept();
}

void frmOpen::CmdOpen_Click()
{
    const FileChoice choice = m_host.dialogs().openFile(
        QStringLiteral("HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*"),
        QStringLiteral("htm"));
    txtOpen->setEditText(choice.path);
    cmdOK->setFocus(Qt::OtherFocusReason);
}

void frmOpen::CmdCancel_Click()
{
    reject();
}

void frmOpen::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close this window; Cancel or its close button does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tw
