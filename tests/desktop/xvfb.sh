# Sourced by the desktop tests: starts a private Xvfb with the screen WxHxDEPTH given to
# start_xvfb, points DISPLAY at it, and stops it when the script ends. Exits 77 (skipped) when
# Xvfb or xdotool is missing.
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

# In a sanitizer build, leaks inside system libraries are not ours to report.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

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
# The launcher remembers its choices; each script starts from none and keeps them to itself.
export XDG_CONFIG_HOME="$WORK_DIR/config"

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

# wait_exit PID SECONDS: waits for the process to end and sets EXIT_STATUS to its status, or
# kills it and sets EXIT_STATUS to "timeout" when it takes longer. (Not in a subshell: only
# the shell that started the process can collect its status.)
wait_exit() {
    local pid=$1
    for _ in $(seq $(( $2 * 10 ))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            EXIT_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    EXIT_STATUS=timeout
    return 1
}

fail() {
    echo "FAIL: $*"
    exit 1
}

# expect_pixels XPROBE "X,Y=VALUE ..." : each root-window pixel holds exactly VALUE (raw hex).
expect_pixels() {
    local xprobe=$1
    shift
    local points=()
    local wanted=()
    for pair in "$@"; do
        points+=("${pair%%=*}")
        wanted+=("${pair#*=}")
    done
    local got
    read -r -a got <<<"$("$xprobe" pixels "${points[@]}")"
    for i in "${!points[@]}"; do
        [ "${got[$i]}" = "${wanted[$i]}" ] ||
            fail "pixel ${points[$i]} is ${got[$i]}, expected ${wanted[$i]}"
    done
}

# The shutdown steps the program traces with --trace-shutdown, in their order.
SHUTDOWN_ORDER="shutdown: stop and free the song
shutdown: close sound output
shutdown: release work buffers
shutdown: release display
shutdown: show cursor
shutdown: stop timer"

expect_shutdown_once() {
    local traced
    traced=$(grep '^shutdown: ' "$1")
    [ "$traced" = "$SHUTDOWN_ORDER" ] || fail "shutdown trace was:
$traced"
}

# True when the program has the desktop start (its help lists the display options).
program_has_desktop() {
    "$1" --help 2>/dev/null | grep -q -- "--windowed"
}
