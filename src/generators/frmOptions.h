#pragma once

#include "generators/PageProperties.h"

#include <QDialog>

class QGroupBox;
class QPushButton;
class QTabWidget;
class QFrame;

namespace tw {

// The "Page Properties" window: five colour labels that ask the palette for
// the page's colours, a background picture with its preview, OK and Cancel.
// The labels are flat push buttons so that the keyboard reaches them.
class frmOptions : public QDialog, public PagePropertiesWindow {
    Q_OBJECT
public:
    frmOptions(CommandState &state, Dialogs &dialogs, MarkupWindows &windows, QWidget *parent = nullptr);

    bool runModal() override;
    void showPageColor(PageColor which, const QColor &fill) override;

    QPushButton *label(PageColor which) const;

    QTabWidget *tbsOptions;
    QWidget *picOptions;
    QGroupBox *fraBackground;
    QGroupBox *fraColors;
    QPushButton *CmdBrowse;
    QPushButton *CmdRemove;
    QFrame *Picture1;
    QPushButton *Image1;
    QPushButton *Label1; // Links
    QPushButton *Label2; // Active Links
    QPushButton *Label3; // Visited Links
    QPushButton *Label4; // Text
    QPushButton *Label5; // BackGround
    QPushButton *cmdOK;
    QPushButton *CmdCancel;

protected:
    void showPreview(const QPixmap &picture) override;
    QWidget *dialogParent() override { return this; }
};

} // namespace tw
