#include "markup/MarkupWindows.h"

#include "markup/frmColor.h"
#include "markup/frmLinks.h"
#include "markup/frmPicPath.h"

namespace tw {

MarkupWindows::~MarkupWindows() = default;

int QtMarkupWindows::pickColorCell(QWidget *parent)
{
    frmColor window(parent);
    window.exec();
    return window.pickedCell();
}

std::optional<QString> QtMarkupWindows::askLinkAddress(Dialogs &dialogs, QWidget *parent)
{
    frmLinks window(dialogs, parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.address();
}

PicPathAnswer QtMarkupWindows::askPicturePath(Dialogs &dialogs, const QString &folder,
                                              const SavePageForPicture &savePage, QWidget *parent)
{
    frmPicPath window(dialogs, folder, savePage, parent);
    window.exec();
    return window.answer();
}

} // namespace tw
