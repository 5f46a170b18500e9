#!/usr/bin/env bash
# Secret entries for real: GNOME Keyring as the Secret Service on a private session bus, the
# program under Xvfb, xclip and a password manager's copy as the other programs. After marking,
# a hinted paste, a kill -9 and a clean end, no file under the data home holds a secret's bytes.
set -euo pipefail
binary=$(readlink -f "$1")
passwordcopy=$(readlink -f "$2")
if [ -z "${SECRETS_ON_PRIVATE_BUS:-}" ]; then
    SECRETS_ON_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

source "$(dirname "$0")/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
store=$XDG_DATA_HOME/Snapvale/settings.sqlite3

# The keyring's own file lies under the data home too, encrypted.
printf "test password" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
start_xvfb

stop_snapvale() {
    kill "-$1" "$snapvale"
    wait "$snapvale" 2>/dev/null || true
    rm -f "$XDG_RUNTIME_DIR/snapvale.socket"
}
# No file under the data home holds these bytes: store, its log, moved-aside copies, anything.
nowhere() {
    local found
    found=$(grep -rlF -- "$1" "$XDG_DATA_HOME" || true)
    [ -z "$found" ] || fail "$2: '$1' is in $found"
}

start_snapvale

# Marked after it was pasted and copied to the recovery copy: it leaves the store.
marked='Mark-S3cret 4711 '
printf '%s' "$marked" | xclip -selection clipboard -i >/dev/null 2>&1
"$binary" --paste 3 || fail "--paste 3"
sleep 1.5
grep -rqF -- "$marked" "$XDG_DATA_HOME/Snapvale" || fail "the plain text was never stored"
"$binary" --secret 3 on || fail "--secret 3 on"
nowhere "$marked" "after marking"
[ "$(secret-tool lookup store "$store" entry 3)" = "$marked" ] || fail "not in the keyring"
secret-tool search --all store "$store" entry 3 2>&1 | grep -qx 'label = Snapvale entry 3' ||
    fail "the keyring item's label"
[ "$("$binary" --get 3)" = "$marked" ] || fail "--get 3 of a secret"
"$binary" --list | grep -qxP '3\tUntitled\t\(secret\)' || fail "--list shows: $("$binary" --list | sed -n 3p)"

# Copied with the password managers' mark, exactly (the space at the end too), and taken off
# the clipboard after the time set, unless another program copied meanwhile.
"$binary" --copy 3 || fail "--copy 3"
xclip -selection clipboard -t TARGETS -o | grep -qx x-kde-passwordManagerHint ||
    fail "no password hint among the targets: $(xclip -selection clipboard -t TARGETS -o | tr '\n' ' ')"
[ "$(xclip -selection clipboard -o)" = "$marked" ] || fail "the copy is not exact"

# A password manager's copy pasted into an entry is a secret at once.
hinted='Hinted-Pa55word!'
"$passwordcopy" "$hinted" >"$work/passwordcopy.log" 2>&1 &
copier=$!
pids+=($copier)
got=$(clipboard_holds "$hinted") || fail "the password manager's copy is not on the clipboard: '$got'"
"$binary" --paste 5 || fail "--paste 5"
kill "$copier"
for _ in $(seq 50); do "$binary" --list | grep -qxP '5\tUntitled\t\(secret\)' && break; sleep 0.1; done
"$binary" --list | grep -qxP '5\tUntitled\t\(secret\)' || fail "entry 5 is not secret"
# Past the recovery copy's delay, then killed without any closing.
sleep 1.5
nowhere "$hinted" "after the hinted paste"
stop_snapvale KILL
nowhere "$hinted" "after kill -9"
start_snapvale
[ "$("$binary" --get 5)" = "$hinted" ] || fail "entry 5 after kill -9: '$("$binary" --get 5)'"
[ "$("$binary" --get 3)" = "$marked" ] || fail "entry 3 after kill -9"
stop_snapvale TERM
nowhere "$hinted" "after a clean end"
nowhere "$marked" "after a clean end"

# The clipboard is cleared after the time set (the shortest, 10 s) if it still holds the copy.
sqlite3 "$store" "INSERT OR REPLACE INTO settings VALUES ('Snapvale', 'Settings', 'SecretClearSeconds', '10')"
start_snapvale
"$binary" --copy 5 || fail "--copy 5"
sleep 3
"$binary" --copy 3 || fail "--copy 3"
printf 'copied later' | xclip -selection clipboard -i >/dev/null 2>&1
sleep 9
# Entry 5's clear found another text: it stays. Then entry 3 alone, left until cleared.
[ "$(xclip -selection clipboard -o 2>/dev/null)" = 'copied later' ] || fail "another program's copy was cleared"
"$binary" --copy 3 || fail "--copy 3"
sleep 11
[ -z "$(xclip -selection clipboard -o 2>/dev/null || true)" ] || fail "the secret was not cleared"

# Off again: the text is back in the store, the keyring item gone.
"$binary" --secret 3 off || fail "--secret 3 off"
[ "$("$binary" --get 3)" = "$marked" ] || fail "--get 3 after --secret off"
grep -rqF -- "$marked" "$XDG_DATA_HOME/Snapvale" || fail "the text is not back in the store"
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
"$binary" --secret 3 on 2>"$work/refused.txt" || status=$?
[ "$status" = 6 ] || fail "--secret without a Secret Service: status $status"
grep -q 'Secret Service' "$work/refused.txt" || fail "no reason given: $(cat "$work/refused.txt")"
[ "$("$binary" --get 3)" = "$marked" ] || fail "entry 3 changed"
"$binary" --list | grep -qP '^3\tUntitled\tMark-S3cret' || fail "entry 3 is no longer plain"
stop_snapvale TERM

echo "secrets: all passed"
