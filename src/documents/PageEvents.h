#pragma once

#include "documents/frmDocument.h"

#include <QObject>
#include <QString>

namespace tw {

class frmDocument;

// Told when a document window reads its page from a file or writes it to
// one, so that the recent pages and the file watcher can follow.
class PageEvents : public QObject {
    Q_OBJECT
public:
    static PageEvents &instance();

signals:
    void pageRead(tw::frmDocument *document, const QString &path);
    void pageWritten(tw::frmDocument *document, const QString &path);
    // A write to the file failed; the file may still have been touched.
    void pageWriteFailed(tw::frmDocument *document, const QString &path);
};

} // namespace tw
