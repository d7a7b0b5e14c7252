#include "markup/frmPicPath.h"

#include "documents/DocumentFiles.h"
#include "markup/ImageCommand.h"
#include "platform/Dialogs.h"
#include "platform/NamedControls.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <limits>

namespace tw {

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect rect)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(rect);
    l->setWordWrap(true);
    return l;
}

} // namespace

frmPicPath::frmPicPath(Dialogs &dialogs, const QString &folder, SavePageForPicture savePage,
                       QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs), m_savePage(std::move(savePage))
{
    setObjectName(QStringLiteral("frmPicPath"));
    setWindowTitle(QStringLiteral("Warning..."));
    setFixedSize(pxSize(6120, 3360));

    Image1 = label(this, "Image1", QString(), pxRect(120, 120, 480, 480));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(px(480)));
    Label1 = label(this, "Label1",
                   QStringLiteral("The path of the picture must be the same of your html. If the path is "
                                  "different, do you want that the picture file be copied in the same "
                                  "directory ?"),
                   pxRect(720, 120, 5280, 840));
    Label2 = label(this, "Label2", QStringLiteral("If yes, enter the path of your html in this box :"),
                   pxRect(720, 1020, 5280, 300));

    txtOpen = new QComboBox(this);
    txtOpen->setObjectName(QStringLiteral("txtOpen"));
    txtOpen->setEditable(true);
    txtOpen->setInsertPolicy(QComboBox::NoInsert);
    // Taken whole: a line edit would cut the folder at 32,767 characters.
    txtOpen->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    txtOpen->setGeometry(pxRect(720, 1380, 4560, 345));
    txtOpen->setAccessibleName(QStringLiteral("Folder of your html"));
    txtOpen->setToolTip(QStringLiteral("The folder the picture is copied into"));
    txtOpen->setEditText(folder);
    Label2->setBuddy(txtOpen);

    CmdBrowse = namedButton(this, "CmdBrowse", "...", pxRect(5400, 1380, 600, 345), false);
    CmdBrowse->setAccessibleName(QStringLiteral("Choose the folder through your html file"));
    CmdBrowse->setToolTip(QStringLiteral("Choose the folder through your html file"));
    SaveHtml = namedButton(this, "SaveHtml", "&Save HTML", pxRect(720, 1860, 1500, 375), false);
    SaveHtml->setToolTip(QStringLiteral("Save the page first, so that its folder is known"));

    ShowBox = new QCheckBox(QStringLiteral("Dont show again"), this);
    ShowBox->setObjectName(QStringLiteral("ShowBox"));
    ShowBox->setGeometry(pxRect(720, 2340, 2880, 300));
    ShowBox->setChecked(false);

    CmdYes = namedButton(this, "CmdYes", "YES", pxRect(3600, 2820, 1080, 375), false);
    CmdNo = namedButton(this, "CmdNo", "NO", pxRect(4920, 2820, 1080, 375), false);

    setTabOrder(txtOpen, CmdBrowse);
    setTabOrder(CmdBrowse, SaveHtml);
    setTabOrder(SaveHtml, ShowBox);
    setTabOrder(ShowBox, CmdYes);
    setTabOrder(CmdYes, CmdNo);

    connect(CmdBrowse, &QPushButton::clicked, this, &frmPicPath::CmdBrowse_Click);
    connect(SaveHtml, &QPushButton::clicked, this, &frmPicPath::SaveHtml_Click);
    connect(CmdYes, &QPushButton::clicked, this, [this] { closeWith(PicPathAnswer::Yes); });
    connect(CmdNo, &QPushButton::clicked, this, [this] { closeWith(PicPathAnswer::No); });
    txtOpen->setFocus(Qt::OtherFocusReason);
}

PicPathAnswer frmPicPath::answer() const
{
    return {m_button, txtOpen->currentText(), ShowBox->isChecked()};
}

void frmPicPath::closeWith(PicPathAnswer::Button button)
{
    m_button = button;
    accept();
}

void frmPicPath::CmdBrowse_Click()
{
    const FileChoice choice = m_dialogs.openFile(QString::fromLatin1(kOpenFilter), QString());
    if (!choice.cancelled())
        txtOpen->setEditText(folderOfChoice(choice.path, choice.title));
}

void frmPicPath::SaveHtml_Click()
{
    if (!m_savePage)
        return;
    if (const std::optional<QString> folder = m_savePage())
        txtOpen->setEditText(*folder);
}

} // namespace tw
