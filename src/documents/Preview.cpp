#include "documents/Preview.h"

#include "documents/DocumentFiles.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

namespace tw {

bool PreviewActiveDocument(DocumentHost &host, const OpenBrowserWindow &openBrowser)
{
    auto *document = qobject_cast<frmDocument *>(host.activeChild());
    if (!document)
        return false;
    if (document->isUntitled()
        && !host.dialogs().askYesNo(
            QStringLiteral("You must save your page before view it. Do you want to save it ?"),
            QStringLiteral("Preview")))
        return false;
    if (!saveDocument(host, document))
        return false;
    openBrowser(document->caption());
    return true;
}

} // namespace tw
