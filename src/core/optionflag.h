#pragma once

#include <QString>

// An option as the store keeps it: "1" on, "2" off. Only exactly "2" reads as off, so a missing
// key (the empty string) or any other value leaves the option on.
namespace OptionFlag {

inline const QString on = QStringLiteral("1");
inline const QString off = QStringLiteral("2");

inline bool isOn(const QString &stored) {
    return stored != off;
}
inline QString encode(bool enabled) {
    return enabled ? on : off;
}

} // namespace OptionFlag
