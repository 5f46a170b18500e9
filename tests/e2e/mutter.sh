#!/usr/bin/env bash
# GNOME's compositor for real: Mutter nested on Xvfb, Snapvale a native Wayland client of it
# with its window minimised (no tray). The picker and the replace question of --paste must be
# seen on Mutter's output, a key picks, the clipboard round trips through wl-paste, and three
# --paste calls into a filled entry leave one question. Skipped where Mutter is missing.
#
# Mutter shows no window list to a client, so the test waits on what the program says of its
# windows (shown, hidden, given the keyboard) and on Mutter's output: a window of the program
# is light on its dark background.
set -euo pipefail
binary=$(readlink -f "$1")
command -v mutter >/dev/null || { echo "mutter: not installed, skipped"; exit 0; }
if [ -z "${MUTTER_ON_PRIVATE_BUS:-}" ]; then
    MUTTER_ON_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data
start_xvfb
x11=$DISPLAY
log=$work/snapvale.log

# Whether a window of the program is drawn on Mutter's output (the picker's list and the
# question hold thousands of light pixels; the pointer a handful).
window_seen() { DISPLAY=$x11 xwd -root -silent | python3 "$here/lit.py" 1000 >/dev/null; }
nothing_seen() { ! window_seen; }
# Whether the clipboard, as a Wayland program pastes it, holds $1.
pastes() { [ "$(timeout 5 wl-paste --no-newline 2>/dev/null)" = "$1" ]; }
# Puts $1 on the clipboard as a Wayland program does, and waits until it is there: without
# data-control, wl-copy must first be given the keyboard.
copy() {
    printf '%s' "$1" | timeout 10 wl-copy || fail "wl-copy '$1' did not end"
    wait_for "wl-paste to give '$1'" 10 pastes "$1"
}

unset WAYLAND_DISPLAY
mutter --nested --wayland --no-x11 >"$work/mutter.log" 2>&1 &
pids+=($!)
wait_for "Mutter's Wayland socket" 20 test -S "$XDG_RUNTIME_DIR/wayland-0"
export WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland
unset DISPLAY

mark=$(log_mark "$log")
"$binary" >>"$log" 2>&1 &
pids+=($!)
wait_for "Snapvale's instance socket" 20 test -S "$XDG_RUNTIME_DIR/snapvale.socket"
wait_for "the main window to be seen" 20 window_seen
copy 'third entry'
timeout 20 "$binary" --paste 3 || fail "--paste 3"
[ "$(timeout 10 "$binary" --get 3)" = 'third entry' ] || fail "entry 3: '$("$binary" --get 3)'"
copy 'fifth entry'
timeout 20 "$binary" --paste 5 || fail "--paste 5"
[ "$(timeout 10 "$binary" --get 5)" = 'fifth entry' ] || fail "entry 5: '$("$binary" --get 5)'"
copy 'before the pick'
# No tray here: hiding minimises.
timeout 10 "$binary" --hide || fail "--hide"
wait_for "the main window to leave Mutter's output" 10 nothing_seen

mark=$(log_mark "$log")
timeout 10 "$binary" --menu || fail "--menu"
wait_for "the picker to get the keyboard" 10 logged_since "$log" "$mark" "FrmPicker active"
wait_for "the picker to be seen with the window minimised" 10 window_seen
mark=$(log_mark "$log")
DISPLAY=$x11 xdotool key 5
wait_for "the pick to reach wl-paste" 10 pastes 'fifth entry'
wait_for "the picker to close after the pick" 10 logged_since "$log" "$mark" "FrmPicker hidden"
wait_for "the picker to leave Mutter's output" 10 nothing_seen

# Three pastes into a filled entry: the first asks, and is seen; the others are told so.
copy 'replacing'
mark=$(log_mark "$log")
timeout 60 "$binary" --paste 3 >/dev/null 2>&1 &
first=$!
pids+=($first)
wait_for "the replace question to get the keyboard" 10 logged_since "$log" "$mark" "FrmWarn1 active"
for _ in 2 3; do
    status=0
    timeout 20 "$binary" --paste 3 2>/dev/null || status=$?
    [ "$status" = 5 ] || fail "another --paste: status $status, not 5 (a question is open)"
done
wait_for "the replace question to be seen" 10 window_seen
# Its default button keeps the entry. The other --paste calls raised it again: the key waits
# until it has the keyboard once more.
wait_for "the replace question to have the keyboard" 10 has_keyboard "$log" FrmWarn1
mark=$(log_mark "$log")
DISPLAY=$x11 xdotool key Escape
wait_for "the replace question to close" 10 logged_since "$log" "$mark" "FrmWarn1 hidden"
end_within "$first" 10 "the first --paste"
[ "$status" = 3 ] || fail "the first --paste ended with $status, not 3 (kept)"
[ "$(timeout 10 "$binary" --get 3)" = 'third entry' ] || fail "entry 3 changed"

echo "mutter: all passed"
