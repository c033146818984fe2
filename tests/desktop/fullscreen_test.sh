#!/bin/bash
# Full screen under Xvfb in its one mode, 1280x720x24: the 4:3 picture fills {160, 0, 1120, 720}
# and the margins stay black; the card's quadrants keep their places and colours. With the
# program itself: the full-screen window covers the screen, Escape ends the run with status 0
# after one shutdown in order.
# Usage: fullscreen_test.sh PROBE PROGRAM XPROBE
PROBE=$1
PROGRAM=$2
XPROBE=$3
. "$(dirname "$0")/xvfb.sh"

export SDL_AUDIODRIVER=dummy
start_xvfb 1280x720x24

"$PROBE" --card --fullscreen >"$WORK_DIR/card.out" 2>&1 &
pid=$!
window=$(wait_window "Stormglass 2") || fail "no full-screen window: $(cat "$WORK_DIR/card.out")"
for _ in $(seq 50); do grep -q ready "$WORK_DIR/card.out" && break; sleep 0.1; done
sleep 0.5
window=$(wait_window "Stormglass 2") || fail "the window went away"
grep -q "ready format=32 border=160,0" "$WORK_DIR/card.out" || fail "$(cat "$WORK_DIR/card.out")"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "0,0,1280,720" ] || fail "window at $X,$Y size ${WIDTH}x$HEIGHT"
expect_pixels "$XPROBE" \
    0,0=0x0 80,360=0x0 158,300=0x0 1121,300=0x0 1200,360=0x0 1279,719=0x0 \
    161,300=0xFC0C04 1118,300=0xFC00 161,400=0x2040FC 1118,400=0xFCFCFC \
    170,0=0xFC0C04 1110,719=0xFCFCFC 640,355=0xFC00 639,365=0x2040FC
xdotool mousemove 640 360 key Escape
wait_exit "$pid" 10; status=$EXIT_STATUS
[ "$status" = 0 ] && grep -q "^quit$" "$WORK_DIR/card.out" || fail "Escape: status $status: $(cat "$WORK_DIR/card.out")"
echo "ok: the picture rectangle and black margins"

if program_has_desktop "$PROGRAM" && [ -f "$SG2_BINARY_DIR/sg2.it" ]; then
    "$PROGRAM" --fullscreen --data "$SG2_BINARY_DIR" --trace-shutdown >"$WORK_DIR/run.out" 2>"$WORK_DIR/run.err" &
    pid=$!
    window=$(wait_window "Stormglass 2") || fail "the program opened no window: $(cat "$WORK_DIR/run.err")"
    sleep 3
    window=$(wait_window "Stormglass 2") || fail "the program's window went away"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH,$HEIGHT" = "1280,720" ] || fail "window ${WIDTH}x$HEIGHT"
    expect_pixels "$XPROBE" 80,360=0x0 1200,360=0x0
    xdotool mousemove 640 360 key Escape
    wait_exit "$pid" 15; status=$EXIT_STATUS
    [ "$status" = 0 ] || fail "Escape: status $status: $(tail -5 "$WORK_DIR/run.err")"
    expect_shutdown_once "$WORK_DIR/run.err"
    echo "ok: the program full screen, ended by Escape"
else
    echo "note: the program has no desktop start or no data yet; its full-screen run skipped"
fi
echo "PASS"
