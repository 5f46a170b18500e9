#pragma once

#include <QString>

// What the picker's figure needs of the X server, as a hand and an eye would: keys typed through
// XTest, a window found by its title, the keyboard given to a window.
namespace X11Keys {

// Presses the keys together and releases them: "ctrl+alt+v", "3".
bool type(const QString &keys);
// The top-level window with this title that is mapped, or 0.
quint32 mappedWindow(const QString &title);
void focus(quint32 window);

} // namespace X11Keys
