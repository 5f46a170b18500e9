#include "platform/keysender.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include <cstdlib>
#include <cstring>

#ifdef SNAPVALE_HAVE_XTEST
#include "platform/x11.h"

#include <xcb/xtest.h>
#endif
#ifdef SNAPVALE_HAVE_WAYLAND
#include <wayland-client.h>
#endif

Q_LOGGING_CATEGORY(lcPaste, "snapvale.paste")

namespace {

// A window's focus comes back by itself within this time after the picker has gone, or is
// given back; and then within the second time, at the most.
constexpr int focusReturnMs = 100;
constexpr int focusWaitMs = 1000;

#ifdef SNAPVALE_HAVE_XTEST
constexpr xcb_keysym_t keysymControl = 0xffe3;
constexpr xcb_keysym_t keysymShift = 0xffe1;
constexpr xcb_keysym_t keysymInsert = 0xff63;
constexpr xcb_keysym_t keysymV = 0x0076;

xcb_window_t focusedWindow(xcb_connection_t *c) {
    xcb_get_input_focus_reply_t *reply =
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const xcb_window_t focus = reply ? reply->focus : XCB_NONE;
    std::free(reply);
    return focus;
}

// The window's class from WM_CLASS ("instance\0class\0"); empty when it has none.
QString windowClass(xcb_connection_t *c, xcb_window_t w) {
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
    QString found;
    if (reply && reply->format == 8) {
        const QByteArray value(static_cast<const char *>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        const QList<QByteArray> parts = value.split('\0');
        found = QString::fromUtf8(parts.size() > 1 ? parts.at(1) : parts.value(0));
    }
    std::free(reply);
    return found;
}

// The focus may be a child of the window the user sees: its class is on an ancestor.
xcb_window_t withClass(xcb_connection_t *c, xcb_window_t w, QString *cls) {
    for (int depth = 0; w != XCB_NONE && depth < 16; ++depth) {
        *cls = windowClass(c, w);
        if (!cls->isEmpty())
            return w;
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
        if (!tree)
            return XCB_NONE;
        const xcb_window_t parent = tree->parent == tree->root ? XCB_NONE : tree->parent;
        std::free(tree);
        w = parent;
    }
    return XCB_NONE;
}

bool isOwnWindow(quint32 window, const QString &cls) {
    if (cls.compare(QLatin1String("snapvale"), Qt::CaseInsensitive) == 0)
        return true;
    for (const QWidget *w : QApplication::topLevelWidgets()) {
        if (w->internalWinId() == window)
            return true;
    }
    return false;
}

bool sendX11(xcb_connection_t *c, const PasteTarget &target) {
    // The picker's keyboard grab is gone once it has closed; the window that had the focus
    // gets it back, sooner or later.
    QElapsedTimer waited;
    waited.start();
    bool focusGiven = false;
    for (;;) {
        QString cls;
        const xcb_window_t now = withClass(c, focusedWindow(c), &cls);
        if (now == target.window)
            break;
        // Our own window made active again as the picker closed is no reason to wait.
        const bool ours = now != XCB_NONE && isOwnWindow(now, cls);
        if (waited.elapsed() > (focusGiven ? focusWaitMs : focusReturnMs) ||
            (ours && !focusGiven)) {
            if (focusGiven) {
                qCInfo(lcPaste, "the target window did not get the focus back");
                return false;
            }
            // Nothing gave it back (no window manager, or our own window was made active
            // again): the window that had it gets it again from here.
            xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, target.window, XCB_CURRENT_TIME);
            xcb_flush(c);
            focusGiven = true;
            waited.restart();
        }
        QThread::msleep(10);
    }
    QList<quint32> keys;
    switch (KeySender::pasteKeysFor(target.windowClass)) {
    case KeySender::PasteKeys::CtrlV:
        keys = {keysymControl, keysymV};
        break;
    case KeySender::PasteKeys::CtrlShiftV:
        keys = {keysymControl, keysymShift, keysymV};
        break;
    case KeySender::PasteKeys::ShiftInsert:
        keys = {keysymShift, keysymInsert};
        break;
    }
    return KeySender::typeX11(keys);
}
#endif

#ifdef SNAPVALE_HAVE_WAYLAND
struct GlobalSearch {
    const char *interface;
    bool found = false;
};
void onGlobal(void *data, wl_registry *, uint32_t, const char *interface, uint32_t) {
    auto *search = static_cast<GlobalSearch *>(data);
    if (std::strcmp(interface, search->interface) == 0)
        search->found = true;
}
void onGlobalRemove(void *, wl_registry *, uint32_t) {}
#endif

bool canRunWtype() {
    return !QStandardPaths::findExecutable(QStringLiteral("wtype")).isEmpty();
}

} // namespace

KeySender::PasteKeys KeySender::pasteKeysFor(const QString &windowClass) {
    const QString cls = windowClass.toLower();
    if (cls == QLatin1String("xterm") || cls == QLatin1String("uxterm"))
        return PasteKeys::ShiftInsert;
    static const char *const terminals[] = {"urxvt",
                                            "rxvt",
                                            "gnome-terminal",
                                            "gnome-terminal-server",
                                            "konsole",
                                            "kitty",
                                            "alacritty",
                                            "foot",
                                            "xfce4-terminal",
                                            "terminator",
                                            "tilix",
                                            "st-256color",
                                            "st",
                                            "lxterminal",
                                            "mate-terminal",
                                            "qterminal",
                                            "org.wezfurlong.wezterm",
                                            "terminology",
                                            "sakura",
                                            "guake",
                                            "tilda",
                                            "kgx",
                                            "blackbox"};
    for (const char *terminal : terminals) {
        if (cls == QLatin1String(terminal))
            return PasteKeys::CtrlShiftV;
    }
    return PasteKeys::CtrlV;
}

QString KeySender::keysText(PasteKeys keys) {
    switch (keys) {
    case PasteKeys::CtrlShiftV:
        return QStringLiteral("Ctrl+Shift+V");
    case PasteKeys::ShiftInsert:
        return QStringLiteral("Shift+Insert");
    case PasteKeys::CtrlV:
        break;
    }
    return QStringLiteral("Ctrl+V");
}

bool KeySender::typeX11(const QList<quint32> &keysyms) {
#ifdef SNAPVALE_HAVE_XTEST
    xcb_connection_t *c = X11::connection();
    if (!c)
        return false;
    QList<xcb_keycode_t> codes;
    for (quint32 key : keysyms)
        codes << X11::keycodeOf(c, key);
    if (codes.contains(0))
        return false;
    // Pressed in order, released in reverse, as a hand would.
    for (xcb_keycode_t code : codes)
        xcb_test_fake_input(c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
    return true;
#else
    Q_UNUSED(keysyms);
    return false;
#endif
}

bool KeySender::waylandOffers(const char *interface) {
#ifdef SNAPVALE_HAVE_WAYLAND
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return false;
    GlobalSearch search{interface};
    static const wl_registry_listener listener = {onGlobal, onGlobalRemove};
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &search);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return search.found;
#else
    Q_UNUSED(interface);
    return false;
#endif
}

bool KeySender::waylandOffersVirtualKeyboard() {
    static const bool offered = waylandOffers("zwp_virtual_keyboard_manager_v1");
    return offered;
}

PasteTarget KeySender::keyboardTarget() {
    PasteTarget target;
#ifdef SNAPVALE_HAVE_XTEST
    if (xcb_connection_t *c = X11::connection()) {
        const xcb_window_t focus = focusedWindow(c);
        // None or PointerRoot: no X11 window has the keyboard; under XWayland a Wayland
        // window may have it.
        if (focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT) {
            target.window = withClass(c, focus, &target.windowClass);
            if (target.window != XCB_NONE) {
                target.method = PasteTarget::Method::X11;
                target.own = isOwnWindow(target.window, target.windowClass);
                return target;
            }
        }
    }
#endif
    if (waylandOffersVirtualKeyboard() && canRunWtype())
        target.method = PasteTarget::Method::VirtualKeyboard;
    return target;
}

bool KeySender::paste(const PasteTarget &target) {
    switch (target.method) {
    case PasteTarget::Method::X11:
#ifdef SNAPVALE_HAVE_XTEST
        if (xcb_connection_t *c = X11::connection())
            return sendX11(c, target);
#endif
        return false;
    case PasteTarget::Method::VirtualKeyboard:
        // The compositor gives the keyboard back to the window it came from once the picker
        // is gone; wtype waits for that before it presses the keys. A new virtual keyboard's
        // first key may be lost while its keymap is taken in: a Shift tap goes first.
        return QProcess::startDetached(
            QStringLiteral("wtype"),
            {QStringLiteral("-s"), QStringLiteral("150"), QStringLiteral("-M"),
             QStringLiteral("shift"), QStringLiteral("-m"), QStringLiteral("shift"),
             QStringLiteral("-s"), QStringLiteral("50"), QStringLiteral("-M"),
             QStringLiteral("ctrl"), QStringLiteral("-k"), QStringLiteral("v"),
             QStringLiteral("-m"), QStringLiteral("ctrl")});
    case PasteTarget::Method::None:
        break;
    }
    return false;
}
