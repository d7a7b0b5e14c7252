#pragma once

#include <QDialog>
#include <QFrame>
#include <QPixmap>

class QLabel;

namespace tw {

// The program's logo, drawn at the given size.
QPixmap logoPixmap(int side);

// A frame that reports a mouse click; the splash window closes on it.
class ClickFrame : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;
Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// The splash window, shown while the program starts and, modally, as the
// About box. A click on it (or Escape) closes it.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    ClickFrame *fraMainFrame;
    QLabel *picLogo;
    QLabel *picture1;
    QLabel *lblProductName;
    QLabel *lblPlatform;
    QLabel *lblVersion;
    QLabel *lblWarning;
    QLabel *lblCompany;
    QLabel *lblCopyright;

    void centreOnScreen();
};

} // namespace tw
