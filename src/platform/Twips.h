#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tw {

// Window and control measures are kept in twips (1/1440 inch) and turned into
// pixels through the screen's logical DPI: 15 twips a pixel at 96 DPI.
double logicalDpi();
int twipsToPixels(double twips, double dpi);
double pixelsToTwips(int pixels, double dpi);

inline int px(double twips) { return twipsToPixels(twips, logicalDpi()); }
inline QSize pxSize(double w, double h) { return {px(w), px(h)}; }
inline QRect pxRect(double left, double top, double w, double h)
{
    return {px(left), px(top), px(w), px(h)};
}

} // namespace tw
