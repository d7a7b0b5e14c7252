#pragma once

#include "markup/MarkupWindows.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tw {

class Dialogs;

// The "Warning..." dialog: the picture must lie beside the page. The user
// types or picks the page's folder (or saves the page first) and answers YES
// (copy the picture there) or NO (insert it as it is).
class frmPicPath : public QDialog {
    Q_OBJECT
public:
    frmPicPath(Dialogs &dialogs, const QString &folder, SavePageForPicture savePage,
               QWidget *parent = nullptr);

    // How it closed and what it held then.
    PicPathAnswer answer() const;

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Image1;
    QComboBox *txtOpen;
    QPushButton *CmdBrowse;
    QPushButton *SaveHtml;
    QCheckBox *ShowBox;
    QPushButton *CmdYes;
    QPushButton *CmdNo;

private:
    void CmdBrowse_Click();
    void SaveHtml_Click();
    void closeWith(PicPathAnswer::Button button);

    Dialogs &m_dialogs;
    SavePageForPicture m_savePage;
    PicPathAnswer::Button m_button = PicPathAnswer::Closed;
};

} // namespace tw
