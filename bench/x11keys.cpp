#include "x11keys.h"

#include "platform/keysender.h"

#include <QGuiApplication>
#include <QList>

#include <cstdlib>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *connection() {
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_keysym_t keysymOf(const QString &name) {
    if (name == QLatin1String("ctrl"))
        return 0xffe3;
    if (name == QLatin1String("alt"))
        return 0xffe9;
    if (name == QLatin1String("shift"))
        return 0xffe1;
    if (name == QLatin1String("Escape"))
        return 0xff1b;
    return name.size() == 1 ? xcb_keysym_t(name.at(0).unicode()) : 0;
}

QByteArray property(xcb_connection_t *c, xcb_window_t w, xcb_atom_t atom) {
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    QByteArray value;
    if (reply)
        value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

} // namespace

bool X11Keys::type(const QString &keys) {
    QList<quint32> keysyms;
    for (const QString &key : keys.split(QLatin1Char('+')))
        keysyms << keysymOf(key);
    if (!KeySender::typeX11(keysyms))
        return false;
    // A round trip: the keys have reached the server when it answers.
    xcb_connection_t *c = connection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return true;
}

quint32 X11Keys::mappedWindow(const QString &title) {
    xcb_connection_t *c = connection();
    if (!c)
        return 0;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (!tree)
        return 0;
    quint32 found = 0;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = xcb_query_tree_children_length(tree) - 1; i >= 0 && !found; --i) {
        xcb_get_window_attributes_reply_t *attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        if (viewable && property(c, children[i], XCB_ATOM_WM_NAME) == title.toUtf8())
            found = children[i];
    }
    std::free(tree);
    return found;
}

void X11Keys::focus(quint32 window) {
    xcb_connection_t *c = connection();
    if (!c)
        return;
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}
