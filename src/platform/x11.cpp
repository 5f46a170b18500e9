#include "platform/x11.h"

#ifdef SNAPVALE_HAVE_XTEST
#include <QGuiApplication>

#include <xcb/xcb_keysyms.h>

#include <cstdlib>

xcb_connection_t *X11::connection() {
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_keycode_t X11::keycodeOf(xcb_connection_t *c, xcb_keysym_t keysym) {
    // The map is read afresh each time: the user may have switched keyboard layouts.
    xcb_key_symbols_t *symbols = c && keysym ? xcb_key_symbols_alloc(c) : nullptr;
    if (!symbols)
        return 0;
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code;
}
#endif
