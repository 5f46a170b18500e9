#!/usr/bin/env bash
# The store under whatever else touches it, with real processes on a virtual X server: the
# sqlite3 shell reading it between pastes, a second Snapvale over the same store, a start-up
# measurement beside a running one, a peer holding the write lock at Exit, and (as root) a full
# filesystem, a folder of another user's and a read-only mount.
set -euo pipefail
binary=$1

source "$(dirname "$0")/../e2e/lib.sh"

unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
start_xvfb
passed=0
failed=0
skipped=0

# Ends every process the case started.
end_started() {
    local p
    for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}

# Runs one case in a subshell of its own: a failure ends that case and its processes, and the
# others still run.
run_case() {
    local rc
    # STORE_CASES="case_busy case_full" runs only those.
    if [ -n "${STORE_CASES:-}" ] && ! [[ " $STORE_CASES " == *" $1 "* ]]; then return 0; fi
    set +e
    (
        set -e
        pids=()
        trap 'end_started' EXIT
        "$1"
    )
    rc=$?
    set -e
    if [ "$rc" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}

# A Snapvale over data home $1 with runtime folder $2, its output in $2.log; its pid in
# $started, its log in log_of[pid].
declare -A log_of
start_snapvale() {
    mkdir -p -m 700 "$2"
    XDG_DATA_HOME=$1 XDG_RUNTIME_DIR=$2 "$binary" >>"$2.log" 2>&1 &
    started=$!
    pids+=("$started")
    log_of[$started]=$2.log
    timeout 30 xdotool search --sync --onlyvisible --pid "$started" >/dev/null ||
        fail "Snapvale did not show a window"
}

# Runs a command against the Snapvale of runtime folder $1.
command_to() {
    local run=$1
    shift
    timeout 30 env XDG_RUNTIME_DIR="$run" "$binary" "$@"
}

# The value the store at $1 holds for section $2 and key $3 ("" when none).
stored() {
    sqlite3 -readonly "$1" "select value from settings where section = '$2' and key = '$3'"
}

# Waits up to ten seconds for the store to hold value $4 under $2 and $3.
store_holds() {
    for _ in $(seq 100); do
        [ "$(stored "$1" "$2" "$3")" = "$4" ] && return 0
        sleep 0.1
    done
    return 1
}

# Whether process $1 holds a POSIX lock on file $2, as /proc/locks lists it.
holds_lock() {
    local inode
    inode=$(stat -c %i "$2")
    grep -Eq "POSIX +ADVISORY +[A-Z]+ +$1 [0-9a-f]+:[0-9a-f]+:$inode " /proc/locks
}

# Puts $2 on the clipboard and pastes it into entry $3 of the Snapvale of runtime folder $1.
paste_into() {
    printf '%s' "$2" | xclip -selection clipboard -i >/dev/null 2>&1
    timeout 30 env XDG_RUNTIME_DIR="$1" "$binary" --paste "$3" || fail "--paste $3"
}

# The visible windows of process $1 that are transient for another: its questions and notices.
questions_of() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        if xprop -id "$window" WM_TRANSIENT_FOR | grep -q 'window id'; then echo "$window"; fi
    done
}

# Waits up to $2 seconds for process $1 to ask a question; fails at once when it has ended.
asks_within() {
    for _ in $(seq $(($2 * 10))); do
        [ -n "$(questions_of "$1")" ] && return 0
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Chooses File > Exit in the main window of process $1, once its File menu is open.
file_exit() {
    local window mark log=${log_of[$1]}
    kill -0 "$1" 2>/dev/null || fail "Snapvale $1 has ended before File > Exit"
    window=$(xdotool search --onlyvisible --pid "$1" | grep -vxF "$(questions_of "$1")" | head -n 1)
    mark=$(log_mark "$log")
    xdotool windowfocus --sync "$window" key alt+f
    wait_for "the File menu to open" 10 logged_since "$log" "$mark" "FileMnu shown"
    xdotool key x
}

# Waits up to ten seconds for Snapvale $1 to say that its recovery copy of entry $3 was $2
# ("written" or "not written") after line $4 of its log.
copy_said() {
    wait_for "the recovery copy of entry $3 to be $2" 10 \
        logged_since "${log_of[$1]}" "$4" "recovery copy $2: entries $3"
}

# Answers the question of process $1 with key $2, once one shows, and waits for it to close.
answer() {
    local window
    asks_within "$1" 10 || return 1
    window=$(questions_of "$1" | head -n 1)
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$window" key "$2" 2>/dev/null || true
        for _ in $(seq 30); do
            questions_of "$1" | grep -qx "$window" || return 0
            sleep 0.1
        done
    done
    return 1
}

# Waits up to $2 seconds for process $1 to end; its exit status in $status.
ends_within() {
    for _ in $(seq $(($2 * 10))); do
        if ! kill -0 "$1" 2>/dev/null; then
            status=0
            wait "$1" || status=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

integrity() {
    sqlite3 -readonly "$1" "pragma integrity_check"
}

# A Snapvale for case $1 over a store of its own, with $2 pasted into entry $3 and its recovery
# copy in the store; sets data, db, run and pid.
start_with_entry() {
    data=$work/$1/data
    db=$data/Snapvale/settings.sqlite3
    run=$work/$1/run
    start_snapvale "$data" "$run"
    pid=$started
    paste_into "$run" "$2" "$3"
    store_holds "$db" Recovery "Entry$3" "$2" || fail "$1: no recovery copy of entry $3"
}

# --- A reader between pastes, then a kill: every entry back, and the lock held throughout.
case_reader() {
    start_with_entry reader three 3
    holds_lock "$pid" "$db" || fail "reader: no lock on the store after a recovery copy"
    sqlite3 "$db" "select count(*) from settings" >/dev/null
    paste_into "$run" "four" 4
    store_holds "$db" Recovery Entry4 four ||
        fail "reader: after the sqlite3 shell read the store, entry 4's copy never reached it"
    holds_lock "$pid" "$db" || fail "reader: no lock on the store after the reader"
    { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null || true
    [ "$(stored "$db" Recovery Entry3)" = three ] && [ "$(stored "$db" Recovery Entry4)" = four ] ||
        fail "reader: an entry was lost to the kill"
    [ "$(integrity "$db")" = ok ] || fail "reader: the store is damaged"
}

# --- Two Snapvales, one store, two runtime folders: neither takes or drops the other's work;
# a start-up measurement beside the running one touches no data and ends.
case_two() {
    data=$work/two/data
    db=$data/Snapvale/settings.sqlite3
    start_snapvale "$data" "$work/two/runA"
    first=$started
    paste_into "$work/two/runA" "first's five" 5
    store_holds "$db" Recovery Entry5 "first's five" || fail "two: no recovery copy of entry 5"
    start_snapvale "$data" "$work/two/runB"
    second=$started
    # The second says once that another Snapvale has the store, and recovers nothing.
    answer "$second" Return || fail "two: the second did not say that another Snapvale has the store"
    paste_into "$work/two/runB" "second's six" 6
    kill -TERM "$second"
    ends_within "$second" 30 || fail "two: the second did not end"
    [ "$(stored "$db" Recovery Entry5)" = "first's five" ] ||
        fail "two: the second dropped the first's recovery copy"
    [ -z "$(stored "$db" Data Entry6)" ] || fail "two: the second saved over the startup entries"
    paste_into "$work/two/runA" "first's seven" 7
    store_holds "$db" Recovery Entry7 "first's seven" ||
        fail "two: after the second ended, the first's copies never reached the store"
    holds_lock "$first" "$db" || fail "two: the first holds no lock on the store"

    before=$(sqlite3 -readonly "$db" "select section, key, value from settings order by 1, 2")
    XDG_DATA_HOME=$data XDG_RUNTIME_DIR=$work/two/runC timeout 30 "$binary" --exit-after-paint \
        >>"$work/snapvale.log" 2>&1 || fail "--exit-after-paint beside a running Snapvale did not end"
    [ "$(sqlite3 -readonly "$db" "select section, key, value from settings order by 1, 2")" = "$before" ] ||
        fail "--exit-after-paint changed the store"
}

# --- A peer holds the write lock past the busy wait at Exit: Snapvale waits, then asks.
case_busy() {
    start_with_entry busy busy 3
    mkfifo "$work/busy/peer"
    sqlite3 "$db" <"$work/busy/peer" >/dev/null 2>&1 &
    peer=$!
    pids+=("$peer")
    exec 7>"$work/busy/peer"
    echo "begin immediate; insert into settings values ('peer', 'p', 'p', 'p');" >&7
    # The log's write lock: byte 120 of the shared-memory file.
    wait_for "the peer to hold the store's write lock" 10 \
        grep -Eq "POSIX +ADVISORY +WRITE +$peer [0-9a-f]+:[0-9a-f]+:$(stat -c %i "$db-shm") 120 120" /proc/locks
    file_exit "$pid"
    if ! asks_within "$pid" 40; then
        kill -0 "$pid" 2>/dev/null || fail "busy: Snapvale ended without saving while the store was busy"
        fail "busy: no question after the busy wait"
    fi
    answer "$pid" Escape || fail "busy: no question to answer"
    echo "commit;" >&7
    exec 7>&-
    end_within "$peer" 10 "the sqlite3 peer after its commit"
    file_exit "$pid"
    ends_within "$pid" 30 || fail "busy: no end once the store was free"
    [ "$(stored "$db" Data Entry3)" = busy ] || fail "busy: entry 3 was not saved at Exit"
}

# --- A full filesystem at Exit and during a recovery copy: told, the store sound, nothing lost.
case_full() {
    full=$work/full
    mkdir -p "$full"
    mount -t tmpfs -o size=40m tmpfs "$full"
    trap 'end_started; umount -l "$full" || true' EXIT
    data=$full/data
    db=$data/Snapvale/settings.sqlite3
    # Without the clipboard history, whose copies would take room of their own first: this case
    # is about the entries' writes.
    start_snapvale "$data" "$work/fullrun"
    kill -TERM "$started"
    ends_within "$started" 30 || fail "full: no end before the history was turned off"
    sqlite3 "$db" "INSERT OR REPLACE INTO settings VALUES ('Snapvale', 'Settings', 'History', '2')"
    start_snapvale "$data" "$work/fullrun"
    pid=$started
    big=$(head -c 2200000 /dev/urandom | base64 -w 100)
    paste_into "$work/fullrun" "$big" 3
    store_holds "$db" Recovery Entry3 "$big" || fail "full: no recovery copy of the large entry"
    fill() { dd if=/dev/zero of="$full/filler" bs=4k >/dev/null 2>&1 || true; }
    fill
    # A recovery copy that cannot be written is tried again once there is room.
    mark=$(log_mark "${log_of[$pid]}")
    paste_into "$work/fullrun" "$big-again" 8
    copy_said "$pid" "not written" 8 "$mark"
    [ -z "$(stored "$db" Recovery Entry8)" ] || fail "full: a copy was written on a full disk"
    rm -f "$full/filler"
    store_holds "$db" Recovery Entry8 "$big-again" || fail "full: the failed copy was not tried again"
    # A save at Exit that needs more room than the log already has.
    fill
    bigger=$(head -c 4400000 /dev/urandom | base64 -w 100)
    mark=$(log_mark "${log_of[$pid]}")
    paste_into "$work/fullrun" "$bigger" 9
    # Its recovery copy finds room in the log; the save at Exit does not.
    copy_said "$pid" written 9 "$mark"
    file_exit "$pid"
    asks_within "$pid" 15 || fail "full: a failed save at Exit was not told"
    answer "$pid" Escape || fail "full: the question was not answered"
    # Still serving commands after Cancel.
    timeout 10 env XDG_RUNTIME_DIR="$work/fullrun" "$binary" --list >/dev/null ||
        fail "full: Cancel ended the program"
    file_exit "$pid"
    asks_within "$pid" 15 || fail "full: the second Exit was not told"
    answer "$pid" alt+e || fail "full: Exit Anyway was not taken"
    ends_within "$pid" 15 || fail "full: Exit Anyway did not end the program"
    [ "$(integrity "$db")" = ok ] || fail "full: the store is damaged after Exit on a full disk"
    [ "$(stored "$db" Recovery Entry3)" = "$big" ] || fail "full: entry 3 is lost"
    [ "$(stored "$db" Recovery Entry8)" = "$big-again" ] || fail "full: entry 8 is lost"
    [ -z "$(stored "$db" Data Entry9)" ] || fail "full: a save reported as failed was written"
    rm -f "$full/filler"
    # The next start brings the entries back and keeps them.
    start_snapvale "$data" "$work/fullrun"
    pid=$started
    answer "$pid" Return || fail "full: no notice that the entries were recovered"
    [ "$(command_to "$work/fullrun" --get 3)" = "$big" ] || fail "full: entry 3 did not come back"
    [ "$(command_to "$work/fullrun" --get 8)" = "$big-again" ] || fail "full: entry 8 did not come back"
    paste_into "$work/fullrun" "with room" 10
    store_holds "$db" Recovery Entry10 "with room" || fail "full: no recovery copy with room again"
    kill -TERM "$pid"
    ends_within "$pid" 30 || fail "full: no end"
    [ "$(integrity "$db")" = ok ] || fail "full: the store is damaged"
}

# --- Another user's folder, and a read-only mount: entries shown, Exit ends without asking.
case_unwritable() {
    local kind=$1
    data=$work/$kind/data
    db=$data/Snapvale/settings.sqlite3
    mkdir -p -m 700 "$data/Snapvale"
    sqlite3 "$db" "create table settings (app text not null, section text not null,
        key text not null collate nocase, value text not null, primary key (app, section, key));
        pragma user_version = 2;
        insert into settings values ('Snapvale', 'Data', 'Entry1', 'kept before');"
    if [ "$kind" = foreign ]; then
        chown -R 65534:65534 "$data/Snapvale"
        chmod 755 "$data/Snapvale"
        chmod 644 "$db"
    else
        mount --bind "$data/Snapvale" "$data/Snapvale"
        trap 'end_started; umount -l "$data/Snapvale" || true' EXIT
        mount -o remount,bind,ro "$data/Snapvale"
    fi
    before=$(sha256sum "$db")
    start_snapvale "$data" "$work/$kind/run"
    pid=$started
    answer "$pid" Return || fail "$kind: the start did not say that changes cannot be kept"
    [ "$(command_to "$work/$kind/run" --get 1)" = "kept before" ] || fail "$kind: the entries are not shown"
    paste_into "$work/$kind/run" "not kept" 2
    file_exit "$pid"
    ends_within "$pid" 10 || fail "$kind: Exit did not end the program (asked: $(questions_of "$pid"))"
    [ "$(sha256sum "$db")" = "$before" ] || fail "$kind: the store was written"
    [ ! -e "$db-wal" ] || fail "$kind: a log was made beside the store"
}
case_foreign() { case_unwritable foreign; }
case_readonly() { case_unwritable readonly; }

run_case case_reader
run_case case_two
run_case case_busy
if [ "$(id -u)" -eq 0 ]; then
    run_case case_full
    run_case case_foreign
    run_case case_readonly
else
    echo "store: a full filesystem, another user's folder and a read-only mount need root: skipped"
    skipped=3
fi
echo "store: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
