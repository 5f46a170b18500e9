#pragma once

#include <QSize>
#include <QWidget>

// Lengths of 1440 to the inch, converted at the screen's logical resolution (15 twips a pixel
// at 96 DPI), so that windows keep their proportions on high-DPI screens.
namespace Twips {

inline int toPixelsX(int twips, const QWidget *w) {
    return twips * w->logicalDpiX() / 1440;
}
inline int toPixelsY(int twips, const QWidget *w) {
    return twips * w->logicalDpiY() / 1440;
}
inline QSize toPixels(int width, int height, const QWidget *w) {
    return {toPixelsX(width, w), toPixelsY(height, w)};
}

} // namespace Twips
