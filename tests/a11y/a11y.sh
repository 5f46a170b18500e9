#!/usr/bin/env bash
# The running program read as a screen reader reads it: over the AT-SPI bus, under Xvfb.
set -euo pipefail
binary=$1
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/run" "$work/data" "$work/config"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "a11y: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")

# A session bus of its own; the AT-SPI bus is started on it on demand.
timeout 120 dbus-run-session -- /usr/bin/python3 "$here/a11y.py" "$binary" "$work"
