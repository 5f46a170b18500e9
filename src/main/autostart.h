#pragma once

#include <QString>

// "Start at Login": the user's XDG autostart entry for Snapvale,
// $XDG_CONFIG_HOME/autostart/snapvale.desktop.
namespace Autostart {

QString entryPath();
// Whether the entry is there and not switched off (Hidden=true).
bool isOn();
// The entry's Exec value that runs `program`, whatever its path holds (quotes, `$`, `%`).
QString execValue(const QString &program);
// Writes or removes the entry. False when that failed; `error` then says why.
bool set(bool on, QString *error);

} // namespace Autostart
