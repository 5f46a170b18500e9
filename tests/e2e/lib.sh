# Shared by the scripts that run the real program: a work folder removed at the end with every
# process started, failure messages, and a virtual X server.
work=$(mktemp -d "${TMPDIR:-/tmp}/snapvale-test.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "$(basename "$0" .sh): $*" >&2
    exit 1
}

# Xvfb on a display number of its own choosing; DISPLAY names it afterwards.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(cat "$work/display")
}

# Waits up to five seconds for the X11 clipboard to hold $1.
clipboard_holds() {
    local got=""
    for _ in $(seq 50); do
        got=$(xclip -selection clipboard -o 2>/dev/null || true)
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
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/snapvale.socket" ] && break; sleep 0.1; done
    "$binary" --hide || fail "--hide"
}
