#!/bin/bash
# The desktop show when its surroundings go: the X server ending under it ends the run with
# status 1, one line and the report written; standard output into a pipe that closes (head)
# never ends the show.
# Usage: lost_display_test.sh PROBE PROGRAM XPROBE
PROGRAM=$2
. "$(dirname "$0")/xvfb.sh"

TITLE="Stormglass 2 - a demo for Linux"
export SDL_AUDIODRIVER=dummy
program_has_desktop "$PROGRAM" && [ -f "$SG2_BINARY_DIR/sg2.it" ] || { echo "skipped: no desktop build"; exit 77; }

start_xvfb 800x600x24
"$PROGRAM" --windowed --data "$SG2_BINARY_DIR" --stats "$WORK_DIR/run.json" \
    >/dev/null 2>"$WORK_DIR/err" &
pid=$!
wait_window "$TITLE" >/dev/null || fail "no window: $(cat "$WORK_DIR/err")"
sleep 1
stop_xvfb
wait_exit "$pid" 5; status=$EXIT_STATUS
[ "$status" = 1 ] || fail "display lost: status $status: $(cat "$WORK_DIR/err")"
[ "$(wc -l <"$WORK_DIR/err")" = 1 ] && grep -q "^stormglass2: the display was lost" "$WORK_DIR/err" ||
    fail "display lost: standard error was: $(cat "$WORK_DIR/err")"
grep -q '"exitStatus": 1' "$WORK_DIR/run.json" || fail "display lost: no report with status 1"
echo "ok: a lost display ends the run with one line and the report"

start_xvfb 800x600x24
# The pipe's reader leaves after the first dot; the show goes on and Escape still ends it.
("$PROGRAM" --windowed --data "$SG2_BINARY_DIR" 2>"$WORK_DIR/err"; echo $? >"$WORK_DIR/status") |
    head -c 1 >/dev/null &
window=$(wait_window "$TITLE") || fail "no window: $(cat "$WORK_DIR/err")"
sleep 1
[ -f "$WORK_DIR/status" ] && fail "a closed standard output ended the show: $(cat "$WORK_DIR/status")"
xdotool mousemove --window "$window" 10 10 key Escape
for _ in $(seq 100); do [ -f "$WORK_DIR/status" ] && break; sleep 0.1; done
[ "$(cat "$WORK_DIR/status" 2>/dev/null)" = 0 ] ||
    fail "Escape after the pipe closed: status $(cat "$WORK_DIR/status" 2>/dev/null): $(cat "$WORK_DIR/err")"
echo "ok: a closed standard output never ends the desktop show"
