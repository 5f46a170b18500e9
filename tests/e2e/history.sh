#!/usr/bin/env bash
# The clipboard history on X11, for real: with Snapvale's window hidden, what xclip copies is
# listed by --history in order, a repeated copy moves up, a password manager's copy and
# Snapvale's own copies never appear, a kill -9 loses nothing, and a cleared text is in no file.
set -euo pipefail
binary=$(readlink -f "$1")
passwordcopy=$(readlink -f "$2")

source "$(dirname "$0")/lib.sh"

mkdir -m 700 "$work/run" "$work/data" "$work/config"
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
start_xvfb
start_snapvale

# The starts --history lists, newest first, one a line.
listed() { timeout 10 "$binary" --history | cut -f 3; }
# Whether --history lists exactly the lines given, newest first; what it listed last is kept
# for the failure's logs.
lists() {
    listed >"$work/listed.log"
    [ "$(cat "$work/listed.log")" = "$(printf '%s\n' "$@")" ]
}
copy() { printf '%s' "$1" | xclip -selection clipboard -i >/dev/null 2>&1; }

copy 'first copy'
wait_for "the first copy in the history" 10 lists 'first copy'
copy $'second copy\nits second line'
wait_for "the second copy on top" 10 lists 'second copy' 'first copy'
copy 'first copy'
wait_for "a repeated copy moved up" 10 lists 'first copy' 'second copy'
[ "$(timeout 10 "$binary" --history-get 2)" = $'second copy\nits second line' ] ||
    fail "--history-get 2 does not give the text exactly"

# A large copy comes in parts (INCR): all of them, in order.
python3 -c 'import sys; sys.stdout.write("".join("large copy line %07d\n" % i for i in range(150000)))' >"$work/large.txt"
xclip -selection clipboard -i "$work/large.txt" >/dev/null 2>&1
wait_for "the large copy in the history" 20 lists 'large copy line 0000000' 'first copy' 'second copy'
timeout 10 "$binary" --history-get 1 >"$work/large.got" || fail "--history-get 1 of the large copy"
cmp -s "$work/large.txt" "$work/large.got" || fail "the large copy came back other than copied"
copy 'first copy'
wait_for "a repeated copy moved up again" 10 lists 'first copy' 'large copy line 0000000' 'second copy'

# A password manager's copy is never kept, nor is Snapvale's own.
"$passwordcopy" 'Manager-Pa55' >"$work/passwordcopy.log" 2>&1 &
manager=$!
pids+=($manager)
wait_for "the password manager's copy on the clipboard" 10 clipboard_holds 'Manager-Pa55'
printf 'entry text' | xclip -selection clipboard -i >/dev/null 2>&1
timeout 20 "$binary" --paste 4 || fail "--paste 4"
wait_for "the entry's text in the history" 10 lists 'entry text' 'first copy' 'large copy line 0000000' 'second copy'
copy 'other text'
wait_for "another copy" 10 lists 'other text' 'entry text' 'first copy' 'large copy line 0000000' 'second copy'
timeout 10 "$binary" --copy 4 || fail "--copy 4"
timeout 10 "$binary" --history-copy 3 || fail "--history-copy 3"
clipboard_holds 'first copy' >/dev/null || fail "--history-copy 3 did not copy item 3"
copy 'last copy'
wait_for "the last copy" 10 lists 'last copy' 'other text' 'entry text' 'first copy' 'large copy line 0000000' 'second copy'

# Killed without a word, the copies are there at the next start.
kill -KILL "$snapvale"
end_within "$snapvale" 10 "Snapvale after kill -9"
rm -f "$XDG_RUNTIME_DIR/snapvale.socket"
start_snapvale
lists 'last copy' 'other text' 'entry text' 'first copy' 'large copy line 0000000' 'second copy' ||
    fail "after kill -9 the history lists: $(listed | tr '\n' '|')"
if grep -rqa 'Manager-Pa55' "$XDG_DATA_HOME"; then fail "a password manager's copy is in a file"; fi

timeout 10 "$binary" --history-clear || fail "--history-clear"
[ -z "$(timeout 10 "$binary" --history)" ] || fail "the history is not empty after --history-clear"
if grep -rqa 'second copy' "$XDG_DATA_HOME"; then fail "a cleared copy is still in a file"; fi
status=0
timeout 10 "$binary" --history-get 1 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "--history-get 1 of an empty history ended with $status, not 2"

echo "history: 6 passed, 0 failed"
