# Shared by the scripts that run the real program: a work folder removed at the end with every
# process started, failure messages with the logs, bounded waits, and a virtual X server.
work=$(mktemp -d "${TMPDIR:-/tmp}/snapvale-test.XXXXXX")
pids=()
# The program says what its windows and its background work do (the lines the waits below
# look for); nothing else of its output changes.
export QT_LOGGING_RULES="snapvale.*.info=true"

# Ends every process started: asked first, then killed, never waited on for ever.
end_processes() {
    local pid left
    for pid in "$@"; do kill "$pid" 2>/dev/null || true; done
    for _ in $(seq 50); do
        left=0
        for pid in "$@"; do kill -0 "$pid" 2>/dev/null && left=1; done
        [ "$left" = 0 ] && break
        sleep 0.1
    done
    for pid in "$@"; do kill -KILL "$pid" 2>/dev/null || true; done
    for pid in "$@"; do wait "$pid" 2>/dev/null || true; done
}
cleanup() {
    end_processes "${pids[@]}" $(jobs -p)
    rm -rf "$work"
}
trap cleanup EXIT

# Prints the end of every log of the run: the program's, the compositor's, the peers'.
show_logs() {
    local log
    for log in "$work"/*.log "$work"/*/*.log; do
        [ -f "$log" ] || continue
        echo "--- ${log#"$work"/}" >&2
        tail -n 25 "$log" >&2
    done
}
fail() {
    trap - ERR
    echo "$(basename "$0" .sh): $*" >&2
    # CI prints these again at its end, where its summary is read.
    [ -z "${SNAPVALE_FAILURES:-}" ] || echo "$(basename "$0" .sh): $*" >>"$SNAPVALE_FAILURES"
    show_logs
    exit 1
}
# A command that fails outside a check (set -e would end the script without a word) names
# itself and shows the logs too.
set -E
# (Only in the script's own shell: a command substitution's failure is the caller's to judge.)
trap 'if [ "$BASHPID" = "$$" ]; then fail "line $LINENO: \"$BASH_COMMAND\" failed"; fi' ERR

# Runs the command $3... every tenth of a second until it succeeds, for at most $2 seconds;
# then fails the test, naming $1, what it waited for.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    "$@" && return 0
    fail "waited ${seconds} s for $what"
}

# The number of lines in log $1 so far: the mark after which logged_since looks.
log_mark() {
    if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi
}
# Whether log $1 holds, after line $2, a line that ends with $3 (a fixed text).
logged_since() {
    tail -n "+$(($2 + 1))" "$1" 2>/dev/null | grep -qF -- "$3"
}

# Whether window $2 (an objectName) has the keyboard by the last word log $1 holds of it.
has_keyboard() {
    [ "$(grep -E "snapvale.windows: $2 (active|inactive)$" "$1" | tail -n 1)" = \
        "snapvale.windows: $2 active" ]
}

# Waits up to $2 seconds for process $1 to end; its exit status in $status (0 for a process that
# is not this shell's child). Fails naming $3.
end_within() {
    wait_for "$3 to end" "$2" eval "! kill -0 $1 2>/dev/null"
    status=0
    wait "$1" 2>/dev/null || status=$?
    [ "$status" != 127 ] || status=0
}

# Xvfb on a display number of its own choosing; DISPLAY names it afterwards.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_for "Xvfb to start" 10 test -s "$work/display"
    export DISPLAY=:$(cat "$work/display")
}

# Waits up to five seconds for the X11 clipboard to hold $1.
clipboard_holds() {
    local got=""
    for _ in $(seq 50); do
        got=$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)
        [ "$got" = "$1" ] && return 0
        sleep 0.1
    done
    echo "$got"
    return 1
}

# Starts $binary in the background (its pid in $snapvale), waits for its instance socket, and
# hides its window.
start_snapvale() {
    "$binary" >>"$work/snapvale.log" 2>&1 &
    snapvale=$!
    pids+=($snapvale)
    wait_for "Snapvale's instance socket" 20 test -S "$XDG_RUNTIME_DIR/snapvale.socket"
    timeout 20 "$binary" --hide || fail "--hide"
}

# The Snapvale that a command started by itself, from the lock it holds, as $snapvale.
adopt_snapvale() {
    wait_for "a Snapvale started by a command" 20 test -S "$XDG_RUNTIME_DIR/snapvale.socket"
    snapvale=$(head -n 1 "$XDG_RUNTIME_DIR/snapvale.lock")
    pids+=($snapvale)
}

# Ends the Snapvale started last with signal $1 and waits, bounded, for it to end.
stop_snapvale() {
    kill "-$1" "$snapvale"
    end_within "$snapvale" 30 "Snapvale after SIG$1"
    rm -f "$XDG_RUNTIME_DIR/snapvale.socket"
}
