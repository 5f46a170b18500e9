#include "platform/desktop.h"

#include <QWidget>
#include <QWindow>

void applyStaysOnTop(QWidget *window, bool topmost) {
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    QWindow *handle = window->windowHandle();
    if (handle && window->isVisible()) {
        // A shown window is told directly: new widget flags would re-create its native window,
        // which hides it and costs a round trip to the window system.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
        return;
    }
    window->setWindowFlags(flags);
}
