#!/usr/bin/env bash
# Secret entries for real: GNOME Keyring as the Secret Service on a private session bus, the
# program under Xvfb, xclip and a password manager's copy as the other programs. After marking,
# a hinted paste, a kill -9 and a clean end, no file under the data home holds a secret's bytes.
set -euo pipefail
binary=$(readlink -f "$1")
passwordcopy=$(readlink -f "$2")
target=$(readlink -f "$3")
if [ -z "${SECRETS_ON_PRIVATE_BUS:-}" ]; then
    SECRETS_ON_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

source "$(dirname "$0")/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
store=$XDG_DATA_HOME/Snapvale/settings.sqlite3
log=$work/snapvale.log

# The keyring's own file lies under the data home too, encrypted.
printf "test password" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
start_xvfb
# The keyring's prompts (gcr-prompter, started by the bus) show on this display.
dbus-update-activation-environment DISPLAY

# No file under the data home holds these bytes: store, its log, moved-aside copies, anything.
nowhere() {
    local found
    found=$(grep -rlF -- "$1" "$XDG_DATA_HOME" || true)
    [ -z "$found" ] || fail "$2: '$1' is in $found"
}
stored() { grep -rqF -- "$1" "$XDG_DATA_HOME/Snapvale"; }
listed() { timeout 10 "$binary" --list | grep -qxP "$1"; }

start_snapvale

# Marked after it was pasted and copied to the recovery copy: it leaves the store.
marked='Mark-S3cret 4711 '
printf '%s' "$marked" | xclip -selection clipboard -i >/dev/null 2>&1
mark=$(log_mark "$log")
timeout 20 "$binary" --paste 3 || fail "--paste 3"
wait_for "the recovery copy of entry 3" 10 logged_since "$log" "$mark" "recovery copy written: entries 3"
stored "$marked" || fail "the plain text was never stored"
timeout 30 "$binary" --secret 3 on || fail "--secret 3 on"
nowhere "$marked" "after marking"
[ "$(secret-tool lookup store "$store" entry 3)" = "$marked" ] || fail "not in the keyring"
found=$(secret-tool search --all store "$store" entry 3 2>&1)
grep -qx 'label = Snapvale entry 3' <<<"$found" || fail "the keyring item's label: $found"
[ "$(timeout 10 "$binary" --get 3)" = "$marked" ] || fail "--get 3 of a secret"
listed '3\tUntitled\t\(secret\)' || fail "--list shows: $("$binary" --list | sed -n 3p)"

# Copied with the password managers' mark, exactly (the space at the end too), and taken off
# the clipboard after the time set, unless another program copied meanwhile.
timeout 10 "$binary" --copy 3 || fail "--copy 3"
xclip -selection clipboard -t TARGETS -o | grep -qx x-kde-passwordManagerHint ||
    fail "no password hint among the targets: $(xclip -selection clipboard -t TARGETS -o | tr '\n' ' ')"
[ "$(xclip -selection clipboard -o)" = "$marked" ] || fail "the copy is not exact"

# A password manager's copy pasted into an entry is a secret at once.
hinted='Hinted-Pa55word!'
"$passwordcopy" "$hinted" >"$work/passwordcopy.log" 2>&1 &
copier=$!
pids+=($copier)
got=$(clipboard_holds "$hinted") || fail "the password manager's copy is not on the clipboard: '$got'"
timeout 20 "$binary" --paste 5 || fail "--paste 5"
kill "$copier"
wait_for "entry 5 to be listed as secret" 10 listed '5\tUntitled\t\(secret\)'
# Once the store holds its mark (the keyring has the text), then killed without any closing.
marked_in_store() {
    [ "$(sqlite3 -readonly "$store" "select value from settings where section = 'Secrets' and key = 'Entry$1'")" = 1 ]
}
wait_for "entry 5's secret mark in the store" 10 marked_in_store 5
nowhere "$hinted" "after the hinted paste"
stop_snapvale KILL
nowhere "$hinted" "after kill -9"
start_snapvale
[ "$(timeout 10 "$binary" --get 5)" = "$hinted" ] || fail "entry 5 after kill -9: '$("$binary" --get 5)'"
[ "$(timeout 10 "$binary" --get 3)" = "$marked" ] || fail "entry 3 after kill -9"
stop_snapvale TERM
nowhere "$hinted" "after a clean end"
nowhere "$marked" "after a clean end"

# The clipboard is cleared after the time set (the shortest, 10 s) if it still holds the copy.
sqlite3 "$store" "INSERT OR REPLACE INTO settings VALUES ('Snapvale', 'Settings', 'SecretClearSeconds', '10')"
start_snapvale
mark=$(log_mark "$log")
timeout 10 "$binary" --copy 5 || fail "--copy 5"
printf 'copied later' | xclip -selection clipboard -i >/dev/null 2>&1
# Entry 5's clear finds another program's copy: it stays. Then entry 3 alone, left until cleared.
wait_for "entry 5's clear" 20 logged_since "$log" "$mark" "entry 5: its secret is no longer on the clipboard"
[ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = 'copied later' ] ||
    fail "another program's copy was cleared"
mark=$(log_mark "$log")
timeout 10 "$binary" --copy 3 || fail "--copy 3"
wait_for "entry 3's clear" 20 logged_since "$log" "$mark" "entry 3: its secret was cleared from the clipboard"
[ -z "$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)" ] || fail "the secret was not cleared"

# Picked into a terminal, which pastes the primary selection: the selection holds the secret
# marked as the clipboard does, and loses it with the clipboard.
"$target" "$work/xterm.txt" XTerm >"$work/target.log" 2>&1 &
pids+=($!)
terminal=$(timeout 20 xdotool search --sync --onlyvisible --name '^paste target$' | head -n 1) ||
    fail "no paste target window"
xdotool windowfocus --sync "$terminal"
mark=$(log_mark "$log")
timeout 10 "$binary" --menu || fail "--menu"
wait_for "the picker" 10 logged_since "$log" "$mark" "FrmPicker shown"
xdotool key 3
pasted() { [ "$(cat "$work/xterm.txt" 2>/dev/null)" = "$marked" ]; }
wait_for "the pick in the terminal" 10 pasted
grep -qx Shift+Ins "$work/xterm.txt.keys" || fail "the terminal got $(tr "\n" " " <"$work/xterm.txt.keys")"
timeout 5 xclip -selection primary -t TARGETS -o | grep -qx x-kde-passwordManagerHint ||
    fail "the primary selection holds the secret unmarked"
wait_for "entry 3's clear" 20 logged_since "$log" "$mark" "entry 3: its secret was cleared from the clipboard"
[ "$(timeout 5 xclip -selection primary -o 2>/dev/null || true)" != "$marked" ] ||
    fail "the primary selection kept the secret"

# Off again: the text is back in the store, the keyring item gone.
timeout 30 "$binary" --secret 3 off || fail "--secret 3 off"
[ "$(timeout 10 "$binary" --get 3)" = "$marked" ] || fail "--get 3 after --secret off"
stored "$marked" || fail "the text is not back in the store"
[ -z "$(secret-tool lookup store "$store" entry 3 || true)" ] || fail "the keyring item stayed"
stop_snapvale TERM

# Without a Secret Service (a bus where none runs): refused, with the reason, and nothing changes.
# A session bus that can start no service: as on a desktop without any keyring installed.
sed -e '/<standard_session_servicedirs/d' -e '/<servicedir>/d' /usr/share/dbus-1/session.conf \
    >"$work/nobus.conf"
nobus=$(dbus-daemon --config-file="$work/nobus.conf" --fork --print-address=1 --print-pid=3 \
    3>"$work/nobus.pid")
pids+=("$(cat "$work/nobus.pid")")
DBUS_SESSION_BUS_ADDRESS=$nobus start_snapvale
status=0
timeout 30 "$binary" --secret 3 on 2>"$work/refused.txt" || status=$?
[ "$status" = 6 ] || fail "--secret without a Secret Service: status $status"
grep -q 'Secret Service' "$work/refused.txt" || fail "no reason given: $(cat "$work/refused.txt")"
[ "$(timeout 10 "$binary" --get 3)" = "$marked" ] || fail "entry 3 changed"
timeout 10 "$binary" --list | grep -qP '^3\tUntitled\tMark-S3cret' || fail "entry 3 is no longer plain"
stop_snapvale TERM

# Marked again by a command that starts Snapvale, while the keyring's answer for the mark is
# still coming: nothing changes, and --get waits for the text instead of giving nothing.
start_snapvale
timeout 30 "$binary" --secret 3 on || fail "--secret 3 on"
stop_snapvale TERM
timeout 30 "$binary" --secret 3 on || fail "--secret 3 on while Snapvale starts"
adopt_snapvale
[ "$(timeout 10 "$binary" --get 3)" = "$marked" ] || fail "--get 3 right after the start: '$("$binary" --get 3)'"
timeout 10 "$binary" --copy 3 || fail "--copy 3 right after the start"
[ "$(timeout 5 xclip -selection clipboard -o)" = "$marked" ] || fail "--copy 3 right after the start copied '$(xclip -selection clipboard -o)'"
stop_snapvale TERM

# A locked keyring asks to be unlocked, in a window of its own that nobody answers at first.
collection=/org/freedesktop/secrets/collection/login
/usr/bin/python3 -c '
import sys
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.call_sync("org.freedesktop.secrets", "/org/freedesktop/secrets", "org.freedesktop.Secret.Service",
              "Lock", GLib.Variant("(ao)", ([sys.argv[1]],)), None, 0, 10000, None)' "$collection"
prompt_shown() { xdotool search --onlyvisible --class '^gcr-prompter$' >/dev/null 2>&1; }
# Entry 3's text is asked for at the start: --get waits, and gets it once the keyring is unlocked.
start_snapvale
wait_for "the keyring's unlock prompt" 20 prompt_shown
timeout 10 "$binary" --secret 3 on || fail "--secret 3 on while the keyring asks to be unlocked"
timeout 60 "$binary" --get 3 >"$work/got3.txt" &
getter=$!
pids+=($getter)
prompt=$(xdotool search --onlyvisible --class '^gcr-prompter$' | head -n 1)
xdotool windowfocus --sync "$prompt" type --delay 20 'test password'
xdotool key --window "$prompt" Return
end_within "$getter" 30 "--get 3 once the keyring was unlocked"
[ "$status" = 0 ] && [ "$(cat "$work/got3.txt")" = "$marked" ] ||
    fail "--get 3 after the unlock: status $status, '$(cat "$work/got3.txt")'"

# A password manager's copy pasted over a saved entry while the keyring asks to be unlocked, then
# SIGTERM: Snapvale ends by itself, and the entry keeps its saved text, never an empty one.
printf 'saved seven' | xclip -selection clipboard -i >/dev/null 2>&1
timeout 20 "$binary" --paste 7 || fail "--paste 7"
/usr/bin/python3 -c '
import sys
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.call_sync("org.freedesktop.secrets", "/org/freedesktop/secrets", "org.freedesktop.Secret.Service",
              "Lock", GLib.Variant("(ao)", ([sys.argv[1]],)), None, 0, 10000, None)' "$collection"
"$passwordcopy" 'pending-Pa55' >"$work/passwordcopy2.log" 2>&1 &
copier=$!
pids+=($copier)
got=$(clipboard_holds 'pending-Pa55') || fail "the password manager's copy is not on the clipboard: '$got'"
mark=$(log_mark "$log")
timeout 10 "$binary" --paste 7 2>/dev/null &
paster=$!
pids+=($paster)
# It replaces the saved text: Replace in its question.
wait_for "the replace question" 10 logged_since "$log" "$mark" "FrmWarn1 active"
question=$(xdotool search --onlyvisible --name '^Snapvale - Entry 7$' | head -n 1)
xdotool windowfocus --sync "$question" key alt+r
wait_for "the keyring's unlock prompt for the new secret" 20 prompt_shown
kill -TERM "$snapvale"
end_within "$snapvale" 20 "Snapvale after SIGTERM, with the keyring's prompt open"
rm -f "$XDG_RUNTIME_DIR/snapvale.socket"
kill "$copier" 2>/dev/null || true
[ "$(sqlite3 -readonly "$store" "select value from settings where section = 'Data' and key = 'Entry7'")" = 'saved seven' ] ||
    fail "entry 7 lost its saved text: '$(sqlite3 -readonly "$store" "select value from settings where section = 'Data' and key = 'Entry7'")'"
nowhere 'pending-Pa55' "after SIGTERM with the keyring's prompt open"

echo "secrets: all passed"
