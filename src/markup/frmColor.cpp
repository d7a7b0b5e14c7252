#include "markup/frmColor.h"

#include "markup/FontCommands.h"
#include "platform/Twips.h"

#include <QPushButton>

namespace tw {

frmColor::frmColor(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmColor"));
    setWindowTitle(QStringLiteral("Colors"));
    // The cells' grid with the same margin all round.
    setFixedSize(pxSize(1488 + kPaletteCellWidth + 48, 1128 + kPaletteCellHeight + 48));

    const QList<PaletteCell> &all = paletteCells();
    for (int i = 0; i < all.size(); ++i) {
        const PaletteCell &cell = all.at(i);
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(cell.name));
        button->setGeometry(pxRect(cell.left, cell.top, kPaletteCellWidth, kPaletteCellHeight));
        const QString text = QString::fromLatin1(cell.text);
        button->setAccessibleName(text);
        button->setToolTip(text);
        button->setAutoDefault(false);
        // A style sheet is the one fill every widget style honours; the
        // focused cell shows a frame in the highlight colour.
        button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                             "palette(dark); } QPushButton:focus { border: 3px solid "
                                             "palette(highlight); }")
                                  .arg(cell.fill.name()));
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_picked = i;
            accept();
        });
        cells.append(button);
    }
}

} // namespace tw
