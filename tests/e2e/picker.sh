#!/usr/bin/env bash
# The picker on X11, for real: another program's window has the keyboard, Ctrl+Alt+V (typed
# through XTest, so it reaches Snapvale's key grab as a hand's would) opens the picker, a key
# picks, and the entry's text arrives in that window, byte for byte. A terminal's window gets
# the terminal's paste keys.
set -euo pipefail
binary=$(readlink -f "$1")
target=$(readlink -f "$2")

source "$(dirname "$0")/lib.sh"
log=$work/snapvale.log

mkdir -m 700 "$work/run" "$work/data" "$work/config"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
start_xvfb

start_snapvale

text=$'Grüße aus Eintrag 3\nzweite Zeile\t✓'
printf '%s' "$text" | xclip -selection clipboard -t UTF8_STRING -i >/dev/null 2>&1
timeout 20 "$binary" --paste 3 || fail "--paste 3"
[ "$(timeout 10 "$binary" --get 3)" = "$text" ] || fail "entry 3 does not hold the text"
# Something else on the clipboard: what arrives must come from the pick.
printf 'not this' | xclip -selection clipboard -i >/dev/null 2>&1

# Whether file $1 holds text $2.
arrived() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }

# $1: the target's window class; $2: how the picker is opened; $3: the keys it must get; $4 the
# key that picks (3 unless given) and $5 the text it must bring ($text unless given).
pick_into() {
    local class=$1 opener=$2 keys=$3 pick=${4:-3} expected=${5:-$text} out=$work/$1.txt
    "$target" "$out" "$class" >"$work/target-$class.log" 2>&1 &
    pids+=($!)
    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^paste target$' | tail -n 1) ||
        fail "$class: no target window"
    xdotool windowfocus --sync "$window"
    local mark
    mark=$(log_mark "$log")
    if [ "$opener" = key ]; then xdotool key ctrl+alt+v; else timeout 10 "$binary" --menu; fi
    # Shown is said once the picker holds the keyboard grab.
    wait_for "$class: the picker to open ($opener)" 10 logged_since "$log" "$mark" "FrmPicker shown"
    xdotool key "$pick"
    wait_for "$class: the pick of $pick to arrive" 10 arrived "$out" "$expected"
    grep -qx "$keys" "$out.keys" || fail "$class: not pasted with $keys: $(tr '\n' ' ' <"$out.keys")"
    xdotool windowclose "$window" 2>/dev/null || xdotool windowkill "$window"
}

pick_into Gedit key Ctrl+V
pick_into Gnome-terminal key Ctrl+Shift+V
pick_into Mousepad menu Ctrl+V
clipboard_holds "$text" >/dev/null || fail "the clipboard does not keep the pick"

# With Caps Lock on, the key a still picks entry 11 (not the seventh frequent clipping, which
# Shift+A picks).
printf 'eleven' | xclip -selection clipboard -i >/dev/null 2>&1
timeout 20 "$binary" --paste 11 || fail "--paste 11"
xdotool key Caps_Lock
pick_into Caps key Ctrl+V a eleven
xdotool key Caps_Lock

# Restore Clipboard After Pasting, set in the store while Snapvale is stopped: the target still
# gets the pick, and the clipboard its text from before.
stop_snapvale TERM
sqlite3 "$XDG_DATA_HOME/Snapvale/settings.sqlite3" \
    "INSERT OR REPLACE INTO settings VALUES ('Snapvale', 'Settings', 'RestoreClipboard', '1')"
start_snapvale
printf 'copied before' | xclip -selection clipboard -i >/dev/null 2>&1
pick_into Kate key Ctrl+V
got=$(clipboard_holds 'copied before') || fail "the clipboard was not given back: '$got'"

echo "picker: 5 passed, 0 failed"
