#!/usr/bin/env bash
# The real program under Xvfb with a tray host: text that another process put on the X11
# clipboard is stored in entry 1 and copied back, and the tray icon is docked.
set -euo pipefail
binary=$1

source "$(dirname "$0")/lib.sh"

mkdir -m 700 "$work/run" "$work/data"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

start_xvfb

trayer --edge bottom --align right >"$work/trayer.log" 2>&1 &
pids+=($!)
timeout 20 xdotool search --sync --class '^trayer$' >/dev/null || fail "no tray host"

log=$work/snapvale.log
"$binary" >"$log" 2>&1 &
snapvale=$!
pids+=($snapvale)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Snapvale$' | head -n 1) ||
    fail "no Snapvale window; $(cat "$work/snapvale.log")"

# The tray icon is docked inside the tray host's panel.
docked() {
    local panel
    panel=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}')
    [ -n "$panel" ] && xwininfo -tree -id "$panel" | grep -q '("snapvale" "Snapvale")'
}
wait_for "the tray icon to be docked" 10 docked
# Whether entry $1 holds $2, as --get gives it.
holds() { [ "$(timeout 10 "$binary" --get "$1")" = "$2" ]; }

# Another process owns the clipboard; Space on the focused first numbered button pastes.
printf 'hello from xclip\nsecond line' | xclip -selection clipboard -i >/dev/null 2>&1
xdotool windowfocus --sync "$window"
mark=$(log_mark "$log")
xdotool key space
wait_for "entry 1 to hold the pasted text" 10 holds 1 $'hello from xclip\nsecond line'
# The clipboard changes hands; entry 1's copy button (two Tabs on) puts the entry back.
printf 'something else' | xclip -selection clipboard -i >/dev/null 2>&1
xdotool key Tab Tab space
got=$(clipboard_holds $'hello from xclip\nsecond line') || fail "clipboard holds '$got'"

# Killed without any closing once the recovery copy has the paste: the next start shows the
# entry again and says once that it was recovered.
wait_for "the recovery copy of entry 1" 10 logged_since "$log" "$mark" "recovery copy written: entries 1"
kill -KILL "$snapvale"
end_within "$snapvale" 10 "Snapvale after kill -9"
printf 'something else again' | xclip -selection clipboard -i >/dev/null 2>&1
"$binary" >"$work/snapvale2.log" 2>&1 &
pids+=($!)
notice=$(timeout 30 xdotool search --sync --onlyvisible --name '^Snapvale$' | head -n 1) ||
    fail "no window after the restart"
xdotool windowfocus --sync "$notice"
xdotool key Return
# The main window, not the tray icon, which shares its class.
main_window() {
    window=$(xdotool search --onlyvisible --class '^snapvale$' 2>/dev/null | while read -r w; do
        if [ "$(xwininfo -id "$w" | awk '/Width:/ {print $2}')" -gt 200 ]; then echo "$w"; fi
    done | head -n 1 || true)
    [ -n "$window" ] && [ "$window" != "$notice" ]
}
wait_for "the main window after the recovery notice" 10 main_window
xdotool windowfocus --sync "$window"
xdotool key Tab Tab space
got=$(clipboard_holds $'hello from xclip\nsecond line') || fail "after a kill, entry 1 holds '$got'"

# One Snapvale: a second launch hands over and ends at once, and the commands reach the running
# one, also with its window hidden.
timeout 30 "$binary" >"$work/second.log" 2>&1 || fail "the second launch failed: $(cat "$work/second.log")"
[ ! -s "$work/second.log" ] || fail "the second launch printed: $(cat "$work/second.log")"
[ "$(xdotool search --onlyvisible --name '^Snapvale$' | wc -l)" -eq 1 ] || fail "two windows"
timeout 10 "$binary" --hide || fail "--hide"
printf 'from another program' | xclip -selection clipboard -i >/dev/null 2>&1
timeout 20 "$binary" --paste 9 || fail "--paste 9"
holds 9 'from another program' || fail "--get 9 after --paste"
printf 'something else' | xclip -selection clipboard -i >/dev/null 2>&1
timeout 10 "$binary" --copy 1 || fail "--copy 1"
got=$(clipboard_holds $'hello from xclip\nsecond line') || fail "--copy 1 left '$got' on the clipboard"
timeout 10 "$binary" --list | grep -q $'^9\tUntitled\tfrom another program$' || fail "--list"

# Exit ends the program whatever else is open. A command's question is answered as not answered
# (status 3) and the entry keeps the text that was saved; the help window goes with the rest.
snapvale=$(head -n 1 "$XDG_RUNTIME_DIR/snapvale.lock")
log=$work/snapvale2.log
timeout 10 "$binary" --show || fail "--show"
wait_for "the main window shown again" 10 main_window
printf 'replacing' | xclip -selection clipboard -i >/dev/null 2>&1
mark=$(log_mark "$log")
timeout 60 "$binary" --paste 1 2>"$work/paste.log" &
paster=$!
wait_for "the question of --paste 1" 10 logged_since "$log" "$mark" "FrmWarn1 shown"
xdotool windowfocus --sync "$window"
wait_for "the main window to have the keyboard" 10 logged_since "$log" "$mark" "FrmSnapvale active"
xdotool key alt+f x
end_within "$paster" 20 "--paste 1 after Exit"
[ "$status" = 3 ] || fail "--paste 1 answered after Exit with status $status: $(cat "$work/paste.log")"
end_within "$snapvale" 20 "Snapvale after Exit with a question open"
[ "$status" = 0 ] || fail "Snapvale ended with status $status"
rm -f "$XDG_RUNTIME_DIR/snapvale.socket"
holds 1 $'hello from xclip\nsecond line' || fail "entry 1 after Exit with its question open"
# --get started a Snapvale of its own, without a log: the windows are found on the screen.
adopt_snapvale
timeout 10 "$binary" --show || fail "--show"
wait_for "the main window shown again" 10 main_window
xdotool windowfocus --sync "$window"
xdotool key alt+h c
wait_for "the help window" 10 xdotool search --onlyvisible --name '^Snapvale Help$'
xdotool windowfocus --sync "$window"
xdotool key alt+f x
end_within "$snapvale" 20 "Snapvale after Exit with the help window open"

echo "e2e: 5 passed, 0 failed"
