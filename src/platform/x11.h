#pragma once

// The X11 connection and keyboard lookups shared by the paste keys and the global shortcut;
// only where the XCB libraries are built in.
#ifdef SNAPVALE_HAVE_XTEST
#include <xcb/xcb.h>

namespace X11 {

// The connection of this program's X11 display; null on any other platform (Wayland, offscreen).
xcb_connection_t *connection();

// The first keycode that types `keysym` on the current keyboard map; 0 when none does.
xcb_keycode_t keycodeOf(xcb_connection_t *c, xcb_keysym_t keysym);

} // namespace X11
#endif
