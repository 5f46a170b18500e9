#!/usr/bin/env bash
# GNOME's compositor for real: Mutter nested on Xvfb, Snapvale a native Wayland client of it
# with its window minimised (no tray). The picker and the replace question of --paste must be
# seen (the Xvfb screen changes), a key picks, the clipboard round trips through wl-paste, and
# three --paste calls into a filled entry leave one question. Skipped where Mutter is missing.
set -euo pipefail
binary=$(readlink -f "$1")
command -v mutter >/dev/null || { echo "mutter: not installed, skipped"; exit 0; }
if [ -z "${MUTTER_ON_PRIVATE_BUS:-}" ]; then
    MUTTER_ON_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

source "$(dirname "$0")/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data
start_xvfb
x11=$DISPLAY
screen() { DISPLAY=$x11 xwd -root -silent | md5sum; }

unset WAYLAND_DISPLAY
mutter --nested --wayland --no-x11 >"$work/mutter.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/wayland-0" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/wayland-0" ] || fail "mutter did not start: $(tail -5 "$work/mutter.log")"
export WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland
unset DISPLAY

"$binary" >"$work/snapvale.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/snapvale.socket" ] && break; sleep 0.1; done
printf 'third entry' | wl-copy
"$binary" --paste 3 || fail "--paste 3"
printf 'fifth entry' | wl-copy
"$binary" --paste 5 || fail "--paste 5"
printf 'before the pick' | wl-copy
# No tray here: hiding minimises.
"$binary" --hide || fail "--hide"
sleep 1
away=$(screen)

"$binary" --menu || fail "--menu"
sleep 1
[ "$(screen)" != "$away" ] || fail "the picker is not seen with the window minimised"
DISPLAY=$x11 xdotool key 5
for _ in $(seq 50); do [ "$(wl-paste --no-newline 2>/dev/null)" = 'fifth entry' ] && break; sleep 0.1; done
[ "$(wl-paste --no-newline)" = 'fifth entry' ] || fail "the pick did not reach wl-paste"
sleep 1
[ "$(screen)" = "$away" ] || fail "the picker stayed after the pick"

# Three pastes into a filled entry: the first asks, and is seen; the others are told so.
printf 'replacing' | wl-copy
"$binary" --paste 3 >/dev/null 2>&1 &
first=$!
sleep 1
for _ in 2 3; do
    status=0
    "$binary" --paste 3 2>/dev/null || status=$?
    [ "$status" = 5 ] || fail "another --paste: status $status, not 5 (a question is open)"
done
[ "$(screen)" != "$away" ] || fail "the replace question is not seen"
# Its default button keeps the entry.
DISPLAY=$x11 xdotool key Escape
status=0
wait "$first" || status=$?
[ "$status" = 3 ] || fail "the first --paste ended with $status, not 3 (kept)"
[ "$("$binary" --get 3)" = 'third entry' ] || fail "entry 3 changed"

echo "mutter: all passed"
