#pragma once

#include <QDialog>
#include <QList>

class QPushButton;

namespace tw {

// The palette "Colors": sixteen colour cells. Each cell is a push button
// filled with its colour whose accessible name and tooltip are the colour
// text it writes; a click (or Space or Enter on the focused cell) picks it
// and closes the window.
class frmColor : public QDialog {
    Q_OBJECT
public:
    explicit frmColor(QWidget *parent = nullptr);

    // The index into paletteCells() of the cell picked, or -1.
    int pickedCell() const { return m_picked; }

    // In paletteCells() order: a1 a2 a3 a4 b1 ... d4.
    QList<QPushButton *> cells;

private:
    int m_picked = -1;
};

} // namespace tw
