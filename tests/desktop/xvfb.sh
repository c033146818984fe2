# Sourced by the desktop tests: starts a private Xvfb with the screen WxHxDEPTH given to
# start_xvfb, points DISPLAY at it, and stops it when the script ends. Exits 77 (skipped) when
# Xvfb or xdotool is missing.
for tool in Xvfb xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

XVFB_PID=""
WORK_DIR=$(mktemp -d)
cleanup() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$WORK_DIR"
}
trap cleanup EXIT

start_xvfb() {
    local screen=$1
    local fifo="$WORK_DIR/displayfd"
    rm -f "$fifo"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$fifo" 2>"$WORK_DIR/xvfb.log" &
    XVFB_PID=$!
    local number
    if ! read -r -t 20 number <"$fifo"; then
        echo "Xvfb did not start"
        cat "$WORK_DIR/xvfb.log"
        exit 1
    fi
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    fi
}

# wait_window NAME: prints the id of the first visible window titled NAME, waiting up to 20 s.
wait_window() {
    local id=""
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# wait_gone NAME: waits up to 20 s until no visible window is titled NAME.
wait_gone() {
    for _ in $(seq 200); do
        if ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# wait_exit PID SECONDS: waits for the process to end; prints its status, or kills it and
# fails when it takes longer.
wait_exit() {
    local pid=$1
    for _ in $(seq $(( $2 * 10 ))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            echo $?
            return 0
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "timeout"
    return 1
}

fail() {
    echo "FAIL: $*"
    exit 1
}
