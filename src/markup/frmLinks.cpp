#include "markup/frmLinks.h"

#include "documents/DocumentFiles.h"
#include "platform/Dialogs.h"
#include "platform/NamedControls.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <limits>

namespace tw {

frmLinks::frmLinks(Dialogs &dialogs, QWidget *parent) : QDialog(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmLinks"));
    setWindowTitle(QStringLiteral("Links"));
    setFixedSize(pxSize(5400, 2100));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(pxRect(120, 120, 480, 480));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_FileLinkIcon).pixmap(px(480)));

    Label2 = new QLabel(QStringLiteral("Type a Internet address of a document or folder, and click ok to add link."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(pxRect(720, 120, 4560, 600));
    Label2->setWordWrap(true);

    Label1 = new QLabel(QStringLiteral("&Link to :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(pxRect(120, 900, 1000, 315));

    txtPath = new QComboBox(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setEditable(true);
    txtPath->setInsertPolicy(QComboBox::NoInsert);
    // Taken whole: a line edit would cut the address at 32,767 characters.
    txtPath->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    txtPath->setGeometry(pxRect(1140, 870, 3000, 345));
    txtPath->setAccessibleName(QStringLiteral("Link to"));
    txtPath->setToolTip(QStringLiteral("Address, file or folder the link points at"));
    Label1->setBuddy(txtPath);

    CmdBrowse = namedButton(this, "CmdBrowse", "&Browse...", pxRect(4260, 870, 1020, 345));
    CmdBrowse->setToolTip(QStringLiteral("Pick a page beside this one"));
    CmdAccept = namedButton(this, "CmdAccept", "OK", pxRect(2940, 1560, 1080, 375));
    CmdCancel = namedButton(this, "CmdCancel", "Cancel", pxRect(4200, 1560, 1080, 375));
    CmdAccept->setDefault(true);

    setTabOrder(txtPath, CmdBrowse);
    setTabOrder(CmdBrowse, CmdAccept);
    setTabOrder(CmdAccept, CmdCancel);

    connect(CmdBrowse, &QPushButton::clicked, this, &frmLinks::CmdBrowse_Click);
    connect(CmdAccept, &QPushButton::clicked, this, &QDialog::accept);
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(txtPath->lineEdit(), &QLineEdit::returnPressed, this, &QDialog::accept);
    // The address box has the focus whenever the dialog opens.
    txtPath->setFocus(Qt::OtherFocusReason);
}

QString frmLinks::address() const
{
    return txtPath->currentText();
}

void frmLinks::CmdBrowse_Click()
{
    const FileChoice choice = m_dialogs.openFile(QString::fromLatin1(kOpenFilter), QString());
    // A cancelled pick puts back the previous pick of this showing, or nothing.
    if (!choice.cancelled())
        m_lastPick = choice.title;
    txtPath->setEditText(m_lastPick);
}

} // namespace tw
