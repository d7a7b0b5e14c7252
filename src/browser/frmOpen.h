#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace tw {

class BrowserHost;

// The open-location window: a typed address, or a page picked with Browse,
// goes to the shared browser window. Enter in the field is OK; Escape does
// nothing; no button is the default.
class frmOpen : public QDialog {
    Q_OBJECT
public:
    explicit frmOpen(BrowserHost &host, QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QComboBox *txtOpen;
    QPushButton *cmdOK;
    QPushButton *CmdOpen;
    QPushButton *CmdCancel;

    void cmdOK_Click();
    void CmdOpen_Click();
    void CmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    BrowserHost &m_host;
};

} // namespace tw
