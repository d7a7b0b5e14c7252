#include "platform/NoticeBar.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace tw {

NoticeBar::NoticeBar(QWidget *parent) : QFrame(parent), m_text(new QLabel(this)), m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("noticeBar"));
    setAccessibleName(QStringLiteral("Notice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    // Shown while the user types: nothing in it takes the focus by itself.
    setFocusPolicy(Qt::NoFocus);
    m_text->setObjectName(QStringLiteral("lblNotice"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setFocusPolicy(Qt::NoFocus);
    m_close->setObjectName(QStringLiteral("cmdNoticeClose"));
    m_close->setText(QStringLiteral("Close"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_close->setAccessibleName(QStringLiteral("Close the notice"));
    m_close->setToolTip(QStringLiteral("Close the notice (Escape in the page)"));
    m_close->setFocusPolicy(Qt::TabFocus); // a click leaves the focus in the page
    // A long text scrolls inside the bar rather than being cut off where the
    // window stops the bar growing.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrNotice"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_text->setAutoFillBackground(false);
    m_scroll->setWidget(m_text);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 3, 3);
    row->addWidget(m_scroll, 1);
    row->addWidget(m_close, 0, Qt::AlignTop);
    connect(m_close, &QToolButton::clicked, this, &NoticeBar::dismiss);
    hide();
}

bool NoticeBar::hasHeightForWidth() const
{
    return true;
}

int NoticeBar::heightForWidth(int width) const
{
    // The whole text's height at this width; the window caps it and the
    // rest scrolls.
    const QMargins m = layout()->contentsMargins();
    const int textWidth = qMax(1, width - m.left() - m.right() - layout()->spacing() - m_close->sizeHint().width()
                                      - m_scroll->verticalScrollBar()->sizeHint().width());
    const int text = m_text->heightForWidth(textWidth);
    return qMax(text, m_close->sizeHint().height()) + m.top() + m.bottom() + 2 * frameWidth();
}

bool NoticeBar::say(const QString &text)
{
    if (text.isEmpty() || m_shown.contains(text))
        return false;
    m_shown << text;
    m_text->setText(m_shown.join(QStringLiteral("\n\n")));
    setAccessibleDescription(m_text->text());
    show();
    emit changed();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    return true;
}

void NoticeBar::dismiss()
{
    if (isHidden())
        return;
    const bool hadFocus = m_close->hasFocus();
    m_shown.clear();
    m_text->clear();
    setAccessibleDescription(QString());
    hide();
    if (hadFocus && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    emit changed();
}

} // namespace tw
