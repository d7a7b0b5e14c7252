#pragma once

#include "pages/PageFile.h"

#include <QString>
#include <QWidget>

#include <functional>

namespace tw {

class NoticeBar;
class SourceEditor;

// The process-wide counter behind "Document N" captions: zero at start,
// raised before each new empty or template document and never lowered.
extern int DocumentCount;
inline int raiseDocumentCount()
{
    return ++DocumentCount;
}

// A document is untitled while the first eight characters of its caption,
// lower-cased, are "document"; a file path is titled.
bool isUntitledCaption(const QString &caption);

// A document window: one editor whose text is the whole page, and a caption
// that is the document's identity and, once it has a file, the file's path.
// Its menus are the frame's shared document menus. What the program has to
// tell about the page unasked goes into a notice bar above the editor.
class frmDocument : public QWidget {
    Q_OBJECT
public:
    explicit frmDocument(QWidget *parent = nullptr);

    QString caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    bool isUntitled() const { return isUntitledCaption(caption()); }

    // The editor, object name "TxtText".
    SourceEditor *textEdit;

    // The bar above the editor, object name "noticeBar"; hidden until told.
    NoticeBar *notices;
    // Says `text` in the notice bar once the event at hand has been handled
    // (an edit under way, a key), not twice at once; the focus stays in the editor,
    // and Escape typed there closes the bar when the editor has nothing of its
    // own for Escape to cancel.
    void notice(const QString &text);

    // How the page's text is written back to its file.
    PageEncoding encoding = PageEncoding::Utf8;

    // Asked before the window closes; returning false keeps it open.
    std::function<bool(frmDocument *)> closeGuard;
    // Closes the window (its frame too, inside the multiple-document area).
    void closeWindow();
    // Closes the window and drops its text without asking.
    void closeWithoutQuestion();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutEditor();
    bool m_closeWithoutQuestion = false;
};

} // namespace tw
