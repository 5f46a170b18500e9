#include "platform/desktop.h"

#include <QWidget>

void applyStaysOnTop(QWidget *window, bool topmost) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (wasVisible)
        window->show();
}
