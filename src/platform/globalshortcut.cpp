#include "platform/globalshortcut.h"

#include <QGuiApplication>

#include <cstdlib>

#ifdef SNAPVALE_HAVE_XTEST
#include "platform/x11.h"
#endif

namespace {

#ifdef SNAPVALE_HAVE_XTEST
xcb_window_t rootWindow(xcb_connection_t *c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The modifiers a grab names; Caps Lock and Num Lock are grabbed both ways besides.
constexpr quint16 modifierMask =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr quint16 lockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                    XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

// The X keysym of a Qt key without modifiers; 0 for a key this does not know.
xcb_keysym_t keysymOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t(u'a' + (key - Qt::Key_A));
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        return xcb_keysym_t(key); // Latin-1 keysyms are their characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return xcb_keysym_t(0xffbe + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Insert:
        return 0xff63;
    case Qt::Key_Home:
        return 0xff50;
    case Qt::Key_End:
        return 0xff57;
    case Qt::Key_PageUp:
        return 0xff55;
    case Qt::Key_PageDown:
        return 0xff56;
    case Qt::Key_Left:
        return 0xff51;
    case Qt::Key_Up:
        return 0xff52;
    case Qt::Key_Right:
        return 0xff53;
    case Qt::Key_Down:
        return 0xff54;
    case Qt::Key_Print:
        return 0xff61;
    case Qt::Key_Pause:
        return 0xff13;
    default:
        return 0;
    }
}

quint16 x11Modifiers(Qt::KeyboardModifiers modifiers) {
    quint16 mods = 0;
    if (modifiers & Qt::ShiftModifier)
        mods |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mods |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mods |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mods |= XCB_MOD_MASK_4;
    return mods;
}
#endif

} // namespace

GlobalShortcut::GlobalShortcut(QObject *parent)
    : QObject(parent) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

GlobalShortcut::~GlobalShortcut() {
    release();
}

bool GlobalShortcut::available() {
#ifdef SNAPVALE_HAVE_XTEST
    return X11::connection() != nullptr;
#else
    return false;
#endif
}

void GlobalShortcut::release() {
#ifdef SNAPVALE_HAVE_XTEST
    xcb_connection_t *c = X11::connection();
    if (c && m_keycode) {
        for (quint16 variant : lockVariants)
            xcb_ungrab_key(c, m_keycode, rootWindow(c), m_modifiers | variant);
        xcb_flush(c);
    }
#endif
    m_keycode = 0;
    m_modifiers = 0;
    m_key = QKeySequence();
}

bool GlobalShortcut::set(const QKeySequence &key, QString *why) {
    if (key.isEmpty()) {
        release();
        return true;
    }
#ifdef SNAPVALE_HAVE_XTEST
    xcb_connection_t *c = X11::connection();
    if (!c) {
        *why = tr("This desktop lets no program take a key for itself.");
        return false;
    }
    const QKeyCombination combination = key[0];
    const xcb_keycode_t keycode = X11::keycodeOf(c, keysymOf(combination.key()));
    if (!keycode) {
        *why =
            tr("The key %1 is not on this keyboard.").arg(key.toString(QKeySequence::NativeText));
        return false;
    }
    const quint16 mods = x11Modifiers(combination.keyboardModifiers());
    if (keycode == m_keycode && mods == m_modifiers) {
        m_key = QKeySequence(combination);
        return true;
    }
    // The new key is taken before the old one is given up: a refused key leaves the picker
    // with the key it had.
    const xcb_window_t root = rootWindow(c);
    bool taken = true;
    for (quint16 variant : lockVariants) {
        xcb_generic_error_t *error =
            xcb_request_check(c, xcb_grab_key_checked(c, 1, root, mods | variant, keycode,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        if (error) {
            taken = false;
            std::free(error);
        }
    }
    if (!taken) {
        for (quint16 variant : lockVariants)
            xcb_ungrab_key(c, keycode, root, mods | variant);
        xcb_flush(c);
        *why = tr("Another program already uses %1.").arg(key.toString(QKeySequence::NativeText));
        return false;
    }
    release();
    m_keycode = keycode;
    m_modifiers = mods;
    m_key = QKeySequence(combination);
    return true;
#else
    *why = tr("This desktop lets no program take a key for itself.");
    return false;
#endif
}

bool GlobalShortcut::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) {
#ifdef SNAPVALE_HAVE_XTEST
    if (!m_keycode || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (press->detail != m_keycode || (press->state & modifierMask) != m_modifiers)
        return false;
    // Not from inside the event dispatch: what follows opens a window.
    QMetaObject::invokeMethod(this, &GlobalShortcut::activated, Qt::QueuedConnection);
    return true;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}
