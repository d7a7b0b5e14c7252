#pragma once

#include <QString>

namespace tw::clipboard {

// Plain-text clipboard. text() is empty when the clipboard holds no text.
void setText(const QString &text);
QString text();

} // namespace tw::clipboard
