#pragma once

#include <QDialog>

#include "browser/SystemInfo.h"

class QLabel;
class QPushButton;

namespace tw {

class Dialogs;

// About Web Browser: fixed texts, OK (Enter and Escape) and System Info.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Dialogs &dialogs, QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *lblTitle;
    QLabel *Label1;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
    QPushButton *cmdSysInfo;

    // Where System Info looks and how it starts the program (tests replace them).
    KeyStore *store;
    ProgramStarter starter = startProgram;

    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    Dialogs &m_dialogs;
};

} // namespace tw
