#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace tw {

class Dialogs;

// The "Links" dialog: an address typed or picked with Browse. OK and Enter in
// the address box accept it; Cancel, Escape and the close box do not.
class frmLinks : public QDialog {
    Q_OBJECT
public:
    explicit frmLinks(Dialogs &dialogs, QWidget *parent = nullptr);

    QString address() const;

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Image1;
    QComboBox *txtPath;
    QPushButton *CmdBrowse;
    QPushButton *CmdAccept;
    QPushButton *CmdCancel;

private:
    void CmdBrowse_Click();
    Dialogs &m_dialogs;
    QString m_lastPick; // bare name of the last Browse pick in this showing
};

} // namespace tw
