#pragma once

#include <QFrame>
#include <QStringList>

class QLabel;
class QScrollArea;
class QToolButton;

namespace tw {

// A bar inside a window that tells the user something nobody asked for (a
// file that can no longer be written, a page changed on disk) without
// stopping the work: a text and a Close button, no modal box, and the focus
// stays where it is. A text is said once: saying it again while it is shown
// changes nothing. Texts said while the bar is shown are added below the
// ones there; Close takes them all away. Assistive technology hears each new
// text as an alert.
class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // Shows `text` unless it is shown already; true when it was not.
    bool say(const QString &text);
    // The texts shown now, oldest first; none while the bar is closed.
    QStringList texts() const { return m_shown; }
    QToolButton *closeButton() const { return m_close; }

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

public slots:
    // Hides the bar and its texts; a focus on its button goes to the window
    // the bar is in (its focus proxy: the editor of a document window).
    void dismiss();

signals:
    // The bar was shown or hidden or took another text: the window it is in
    // lays itself out anew.
    void changed();

private:
    QLabel *m_text;
    QScrollArea *m_scroll = nullptr;
    QToolButton *m_close;
    QStringList m_shown;
};

} // namespace tw
