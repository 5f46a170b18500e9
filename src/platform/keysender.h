#pragma once

#include <QList>
#include <QString>

// Pasting into another program's window: which window has the keyboard, and sending it the paste
// keys. Each way is chosen by what the session offers: an X11 display (XTest), or a Wayland
// compositor that offers the virtual-keyboard protocol (through `wtype`).
struct PasteTarget {
    enum class Method { None, X11, VirtualKeyboard };
    Method method = Method::None;
    // X11: the top-level window that had the focus, and its WM_CLASS class.
    quint32 window = 0;
    QString windowClass;
    // A window of Snapvale itself: nothing is pasted there.
    bool own = false;
};

namespace KeySender {

// The keys that paste in a window of this class: terminal emulators take Ctrl+Shift+V, xterm
// takes Shift+Insert (from the primary selection), everything else Ctrl+V.
enum class PasteKeys { CtrlV, CtrlShiftV, ShiftInsert };
PasteKeys pasteKeysFor(const QString &windowClass);
// How the keys read in a notice: "Ctrl+V".
QString keysText(PasteKeys keys);

// The window that has the keyboard now; Method::None when no way of sending keys to it exists.
PasteTarget keyboardTarget();

// Waits (a little) for the target to have the keyboard back, then sends the paste keys. False
// when they could not be sent.
bool paste(const PasteTarget &target);

// Presses X11 keysyms together through XTest and releases them, to whatever window has the
// keyboard; false without an X11 display or when a key is not on the keyboard.
bool typeX11(const QList<quint32> &keysyms);

// Whether the Wayland compositor this program talks to (WAYLAND_DISPLAY) offers the
// virtual-keyboard protocol, asked of its registry once.
bool waylandOffersVirtualKeyboard();
// Whether it offers a global of this interface ("zwlr_data_control_manager_v1"), asked now.
bool waylandOffers(const char *interface);

} // namespace KeySender
