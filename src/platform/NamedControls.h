#pragma once

#include <QPushButton>
#include <QRect>
#include <QString>

namespace tw {

// A push button carrying its control name as object name, placed in pixels.
// autoDefault false keeps Enter from pressing it when it has the focus only
// by tab order.
inline QPushButton *namedButton(QWidget *parent, const char *name, const char *caption,
                                const QRect &rect, bool autoDefault = true)
{
    auto *b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(rect);
    if (!autoDefault)
        b->setAutoDefault(false);
    return b;
}

} // namespace tw
