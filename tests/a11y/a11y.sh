#!/usr/bin/env bash
# The running program read as a screen reader reads it: over the AT-SPI bus, under Xvfb.
set -euo pipefail
binary=$1
here=$(cd "$(dirname "$0")" && pwd)

source "$here/../e2e/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/config"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

start_xvfb

# A session bus of its own; the AT-SPI bus is started on it on demand.
timeout 140 dbus-run-session -- /usr/bin/python3 "$here/a11y.py" "$binary" "$work"
