#!/usr/bin/env bash
# The real program under a headless Wayland compositor (sway), with wl-clipboard as the other
# programs: with Snapvale's window hidden, --copy reaches what Wayland programs paste, and
# --paste takes what they copied; the history keeps what they copy while another window has the
# keyboard. Sway refuses to run as root, so as root the compositor and
# Snapvale run as the unprivileged user nobody, with folders of their own.
set -euo pipefail
binary=$(readlink -f "$1")
target=$(readlink -f "$2")
passwordcopy=$(readlink -f "$3")

if [ "$(id -u)" -eq 0 ]; then
    outer=$(mktemp -d)
    trap 'rm -rf "$outer"' EXIT
    chmod 755 "$outer"
    install -d -m 700 -o 65534 -g 65534 "$outer/home"
    setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all \
        env -i PATH="$PATH" HOME="$outer/home" LANG=C.UTF-8 ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
        LSAN_OPTIONS="${LSAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        SNAPVALE_FAILURES="${SNAPVALE_FAILURES:-}" \
        bash "$(readlink -f "$0")" "$binary" "$target" "$passwordcopy"
    exit
fi

TMPDIR=$HOME source "$(dirname "$0")/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/config"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
export XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland
unset DISPLAY WAYLAND_DISPLAY

printf 'xwayland disable\n' >"$work/sway.conf"
sway --config "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
socket=""
sway_socket() {
    socket=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n 1 || true)
    [ -n "$socket" ]
}
wait_for "sway's Wayland socket" 20 sway_socket
export WAYLAND_DISPLAY=$socket
# A desktop's seat always has a keyboard; this headless one has only the virtual keyboards of
# wtype. When the last of them goes, Qt drops the clipboard a window is offered while it has no
# keyboard, and the pick pastes nothing: one virtual keyboard stays for the whole test.
wtype -s 600000 -M shift -m shift &
pids+=($!)

# The peers work here at all.
printf 'probe' | timeout 10 wl-copy
[ "$(timeout 5 wl-paste --no-newline)" = probe ] || fail "wl-copy and wl-paste do not meet"

start_snapvale

printf 'copied by a Wayland program' | timeout 10 wl-copy
timeout 20 "$binary" --paste 4 || fail "--paste 4"
[ "$(timeout 10 "$binary" --get 4)" = 'copied by a Wayland program' ] || fail "--get 4 after --paste"

# An empty clipboard pastes nothing, into an empty entry or a filled one (no question).
timeout 10 wl-copy --clear
for n in 5 4; do
    status=0
    timeout 20 "$binary" --paste $n 2>/dev/null || status=$?
    [ "$status" = 4 ] || fail "--paste $n with nothing on the clipboard: status $status, not 4"
done
[ -z "$(timeout 10 "$binary" --get 5)" ] || fail "entry 5 got '$("$binary" --get 5)' from an empty clipboard"
[ "$(timeout 10 "$binary" --get 4)" = 'copied by a Wayland program' ] || fail "entry 4 changed"

printf 'something else' | timeout 10 wl-copy
timeout 20 "$binary" --copy 4 || fail "--copy 4"
# The copy is made before the command ends.
got=$(timeout 5 wl-paste --no-newline 2>/dev/null || true)
[ "$got" = 'copied by a Wayland program' ] || fail "after --copy 4, Wayland pastes '$got'"

# The picker: a Wayland program's window has the keyboard, `snapvale --menu` opens the picker, a
# key typed through the virtual keyboard picks entry 4, and its text arrives in that window.
out=$work/target.txt
"$target" "$out" Gedit >"$work/target.log" 2>&1 &
pids+=($!)
export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
# Whether the window named $1 has the keyboard.
focused() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("focused"): return n.get("name")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        r = walk(c)
        if r: return r
sys.exit(0 if walk(json.load(sys.stdin)) == sys.argv[1] else 1)' "$1"
}
wait_for "the target window to get the keyboard" 10 focused 'paste target'
# A new virtual keyboard's first key is lost on the way into a Qt window (its keymap arrives
# with it); a Shift tap goes first, as a hand's keyboard would have sent keys before.
timeout 10 wtype -M shift -m shift -s 300 x
wait_for "the target window to get a typed key" 10 test -f "$out"
before=$(cat "$out")
timeout 10 "$binary" --menu || fail "--menu"
wait_for "the picker to take the keyboard" 10 focused 'Snapvale: pick an entry'
# No title bar or frame from the compositor: the window asks to draw its own, and draws none.
border=$(swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("name") == "Snapvale: pick an entry": return n.get("border")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        r = walk(c)
        if r: return r
print(walk(json.load(sys.stdin)))')
[ "$border" = csd ] || fail "the picker has the compositor's border '$border'"
timeout 10 wtype -M shift -m shift -s 300 4 || fail "wtype cannot type here"
expected="${before}copied by a Wayland program"
target_holds() { [ "$(cat "$out")" = "$expected" ]; }
for _ in $(seq 100); do target_holds && break; sleep 0.1; done
target_holds || fail "waited 10 s for the pick to arrive in the target: it holds '$(cat "$out")'," \
    "keys it got: $(tr '\n' ' ' <"$out.keys")"

# The history hears of copies through data-control while another window has the keyboard.
newest() { timeout 10 "$binary" --history | head -n "$1" | cut -f 3; }
tops() { local n=$#; [ "$(newest $n)" = "$(printf '%s\n' "$@")" ]; }
focused 'paste target' || fail "the target window lost the keyboard before the history's copies"
printf 'way one' | timeout 10 wl-copy
wait_for "a Wayland copy in the history" 10 tops 'way one'
printf 'way two\nsecond line' | timeout 10 wl-copy
wait_for "the second Wayland copy on top" 10 tops 'way two' 'way one'
printf 'way one' | timeout 10 wl-copy
wait_for "a repeated Wayland copy moved up" 10 tops 'way one' 'way two'
[ "$(timeout 10 "$binary" --history-get 2)" = $'way two\nsecond line' ] ||
    fail "--history-get 2 does not give the Wayland copy exactly"
# Snapvale's own copy is not a copy made elsewhere.
timeout 20 "$binary" --copy 4 || fail "--copy 4 for the history"
printf 'way three' | timeout 10 wl-copy
wait_for "the copy after Snapvale's own" 10 tops 'way three' 'way one' 'way two'
# A password manager's copy (its window has the keyboard; a key makes the copy) is not kept.
"$passwordcopy" --on-key 'Wayland-Pa55' >"$work/passwordcopy.log" 2>&1 &
pids+=($!)
wait_for "the password manager to get the keyboard" 10 focused 'password manager'
timeout 10 wtype -M shift -m shift -s 300 x
wait_for "the password manager's copy" 10 focused 'password manager copied'
pasted() { [ "$(timeout 5 wl-paste --no-newline 2>/dev/null)" = "$1" ]; }
wait_for "the password manager's copy on the clipboard" 10 pasted 'Wayland-Pa55'
printf 'way four' | timeout 10 wl-copy
wait_for "the copy after the password manager's" 10 tops 'way four' 'way three' 'way one'
if grep -rqa 'Wayland-Pa55' "$XDG_DATA_HOME"; then fail "a password manager's copy is in a file"; fi
# Killed without a word, the copies are there at the next start.
kill -KILL "$snapvale"
end_within "$snapvale" 10 "Snapvale after kill -9"
rm -f "$XDG_RUNTIME_DIR/snapvale.socket"
start_snapvale
tops 'way four' 'way three' 'way one' 'way two' ||
    fail "after kill -9 the history lists: $(newest 4 | tr '\n' '|')"

echo "wayland: 6 passed, 0 failed"
