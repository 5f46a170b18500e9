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

"$binary" >"$work/snapvale.log" 2>&1 &
snapvale=$!
pids+=($snapvale)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Snapvale$' | head -n 1) ||
    fail "no Snapvale window; $(cat "$work/snapvale.log")"

# The tray icon is docked inside the tray host's panel.
docked=no
for _ in $(seq 100); do
    panel=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}')
    if [ -n "$panel" ] && xwininfo -tree -id "$panel" | grep -q '("snapvale" "Snapvale")'; then
        docked=yes
        break
    fi
    sleep 0.1
done
[ "$docked" = yes ] || fail "the tray icon is not docked"

# Another process owns the clipboard; Space on the focused first numbered button pastes.
printf 'hello from xclip\nsecond line' | xclip -selection clipboard -i >/dev/null 2>&1
xdotool windowfocus --sync "$window"
xdotool key space
sleep 0.5
# The clipboard changes hands; entry 1's copy button (two Tabs on) puts the entry back.
printf 'something else' | xclip -selection clipboard -i >/dev/null 2>&1
xdotool key Tab Tab space
got=$(clipboard_holds $'hello from xclip\nsecond line') || fail "clipboard holds '$got'"

# Killed without any closing, a second after the paste: the next start shows the entry again
# and says once that it was recovered.
sleep 1.5
kill -KILL "$snapvale"
wait "$snapvale" 2>/dev/null || true
printf 'something else again' | xclip -selection clipboard -i >/dev/null 2>&1
"$binary" >"$work/snapvale2.log" 2>&1 &
pids+=($!)
notice=$(timeout 30 xdotool search --sync --onlyvisible --name '^Snapvale$' | head -n 1) ||
    fail "no window after the restart"
xdotool windowfocus --sync "$notice"
xdotool key Return
window=""
for _ in $(seq 100); do
    # The main window, not the tray icon, which shares its class.
    window=$(xdotool search --onlyvisible --class '^snapvale$' 2>/dev/null | while read -r w; do
        if [ "$(xwininfo -id "$w" | awk '/Width:/ {print $2}')" -gt 200 ]; then echo "$w"; fi
    done | head -n 1 || true)
    [ -n "$window" ] && [ "$window" != "$notice" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no main window after the recovery notice"
xdotool windowfocus --sync "$window"
xdotool key Tab Tab space
got=$(clipboard_holds $'hello from xclip\nsecond line') || fail "after a kill, entry 1 holds '$got'"

# One Snapvale: a second launch hands over and ends at once, and the commands reach the running
# one, also with its window hidden.
"$binary" >"$work/second.log" 2>&1 || fail "the second launch failed: $(cat "$work/second.log")"
[ ! -s "$work/second.log" ] || fail "the second launch printed: $(cat "$work/second.log")"
[ "$(xdotool search --onlyvisible --name '^Snapvale$' | wc -l)" -eq 1 ] || fail "two windows"
"$binary" --hide || fail "--hide"
printf 'from another program' | xclip -selection clipboard -i >/dev/null 2>&1
"$binary" --paste 9 || fail "--paste 9"
[ "$("$binary" --get 9)" = 'from another program' ] || fail "--get 9 after --paste"
printf 'something else' | xclip -selection clipboard -i >/dev/null 2>&1
"$binary" --copy 1 || fail "--copy 1"
got=$(clipboard_holds $'hello from xclip\nsecond line') || fail "--copy 1 left '$got' on the clipboard"
"$binary" --list | grep -q $'^9\tUntitled\tfrom another program$' || fail "--list"

echo "e2e: 3 passed, 0 failed"
