#!/bin/bash
# Windowed play under Xvfb at desktop depths 24, 16 and 15. A test card presented through the
# real presentation shows each depth's converter (32-bit, 5-6-5, 5-5-5) in the window's exact
# pixel values; Escape and closing the window end it. With the program itself: the window
# opens at the mode's size, shows the show, and Escape or closing it ends the run with status
# 0 after one shutdown in order.
# Usage: windowed_test.sh PROBE PROGRAM XPROBE
PROBE=$1
PROGRAM=$2
XPROBE=$3
. "$(dirname "$0")/xvfb.sh"

TITLE="Stormglass 2 - a demo for Linux"
export SDL_AUDIODRIVER=dummy

# Raw screen values of the card's four entries per depth: (252,12,4), (0,252,0), (32,64,252),
# (252,252,252) after the colour table.
declare -A CARD=(
    [24]="0xFC0C04 0xFC00 0x2040FC 0xFCFCFC"
    [16]="0xF860 0x7E0 0x221F 0xFFFF"
    [15]="0x7C20 0x3E0 0x111F 0x7FFF"
)
declare -A FORMAT=([24]=32 [16]=565 [15]=555)

for depth in 24 16 15; do
    start_xvfb "1024x768x$depth"

    # The card, ended by Escape.
    "$PROBE" --card --windowed >"$WORK_DIR/card.out" 2>&1 &
    pid=$!
    window=$(wait_window "$TITLE") || fail "no window at depth $depth: $(cat "$WORK_DIR/card.out")"
    for _ in $(seq 50); do grep -q ready "$WORK_DIR/card.out" && break; sleep 0.1; done
    sleep 0.5
    window=$(wait_window "$TITLE") || fail "the window went away"
    grep -q "ready format=${FORMAT[$depth]} border=0,0" "$WORK_DIR/card.out" ||
        fail "depth $depth: $(cat "$WORK_DIR/card.out")"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 768 ] || fail "window is ${WIDTH}x$HEIGHT"
    read -r -a values <<<"${CARD[$depth]}"
    expect_pixels "$XPROBE" "$((X + 100)),$((Y + 100))=${values[0]}" \
        "$((X + 900)),$((Y + 100))=${values[1]}" "$((X + 100)),$((Y + 700))=${values[2]}" \
        "$((X + 900)),$((Y + 700))=${values[3]}"
    # Other keys, key releases and the mouse change nothing.
    xdotool mousemove --window "$window" 10 10 key a space Return Tab
    xdotool keyup Escape click 1 click 3
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "depth $depth: other input ended the run"
    xdotool mousemove --window "$window" 10 10 key Escape
    wait_exit "$pid" 10; status=$EXIT_STATUS
    [ "$status" = 0 ] && grep -q "^quit$" "$WORK_DIR/card.out" || fail "Escape: status $status: $(cat "$WORK_DIR/card.out")"
    echo "ok: depth $depth shows the card through convert${FORMAT[$depth]}; $(grep presented "$WORK_DIR/card.out")"

    # Resized, the window letterboxes the picture: the largest whole multiple of 320x240
    # that fits, centred, sharp-edged.
    if [ "$depth" = 24 ]; then
        "$PROBE" --card --windowed >"$WORK_DIR/card.out" 2>&1 &
        pid=$!
        window=$(wait_window "$TITLE") || fail "no window"
        for _ in $(seq 50); do grep -q ready "$WORK_DIR/card.out" && break; sleep 0.1; done
        xdotool windowsize "$window" 1000 500
        sleep 1
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "$WIDTH,$HEIGHT" = "1000,500" ] || fail "resized window is ${WIDTH}x$HEIGHT"
        # 640x480 at (180, 10): black margins, the card's corners inside, the columns' edge
        # at 320 exactly (two pixels a column).
        expect_pixels "$XPROBE" "$((X + 170)),$((Y + 250))=0x0" "$((X + 830)),$((Y + 250))=0x0" \
            "$((X + 500)),$((Y + 5))=0x0" "$((X + 500)),$((Y + 495))=0x0" \
            "$((X + 180)),$((Y + 10))=${values[0]}" "$((X + 819)),$((Y + 489))=${values[3]}" \
            "$((X + 499)),$((Y + 100))=${values[0]}" "$((X + 500)),$((Y + 100))=${values[1]}"
        # F11 and Alt+Enter ask for full screen and back, which a window manager carries out
        # (Xvfb has none): the run goes on.
        for keys in F11 F11 alt+Return alt+Return; do
            xdotool key --window "$window" "$keys"
            sleep 0.3
        done
        kill -0 "$pid" 2>/dev/null || fail "switching full screen ended the run"
        xdotool key --window "$window" Escape
        wait_exit "$pid" 10; status=$EXIT_STATUS
        [ "$status" = 0 ] || fail "Escape after resizing: status $status"
        echo "ok: resized and letterboxed; F11 and Alt+Enter leave the run going"
    fi

    # Closing the window ends it too.
    if [ "$depth" = 24 ]; then
        "$PROBE" --card --windowed >"$WORK_DIR/card.out" 2>&1 &
        pid=$!
        window=$(wait_window "$TITLE") || fail "no window"
        for _ in $(seq 50); do grep -q ready "$WORK_DIR/card.out" && break; sleep 0.1; done
        window=$(wait_window "$TITLE") || fail "the window went away"
        "$XPROBE" close "$window"
        wait_exit "$pid" 10; status=$EXIT_STATUS
        [ "$status" = 0 ] || fail "closing the window: status $status"
        echo "ok: closing the window"
    fi

    # The program itself, on the build's data, on a server of its own: nothing the card's
    # runs sent to their windows can reach the program's, whose id the server may hand out again.
    if program_has_desktop "$PROGRAM" && [ -f "$SG2_BINARY_DIR/sg2.it" ]; then
        stop_xvfb
        start_xvfb "1024x768x$depth"
        for ending in escape close early; do
            "$PROGRAM" --windowed --data "$SG2_BINARY_DIR" --trace-shutdown \
                >"$WORK_DIR/run.out" 2>"$WORK_DIR/run.err" &
            pid=$!
            window=$(wait_window "$TITLE") || fail "the program opened no window: $(cat "$WORK_DIR/run.err")"
            # "early": Escape as soon as the window is there, while the data still loads;
            # it waits in the queue and ends the run at the first frame.
            [ "$ending" = early ] || sleep 3
            window=$(wait_window "$TITLE") || fail "the program's window went away ($(kill -0 $pid 2>/dev/null && echo running || echo ended)): $(cat "$WORK_DIR/run.err" | tr "\n" "|")"
            eval "$(xdotool getwindowgeometry --shell "$window")"
            if [ "$ending" != early ]; then
                points=()
                for fx in 1 3 5 7; do
                    for fy in 1 3 5 7; do
                        points+=("$((X + WIDTH * fx / 8)),$((Y + HEIGHT * fy / 8))")
                    done
                done
                distinct=$("$XPROBE" pixels "${points[@]}" | tr ' ' '\n' | sort -u | wc -l)
                [ "$distinct" -gt 1 ] || fail "depth $depth: the window shows one colour"
            fi
            if [ "$ending" != close ]; then
                xdotool mousemove --window "$window" 10 10 key Escape
            else
                "$XPROBE" close "$window"
            fi
            wait_exit "$pid" 15; status=$EXIT_STATUS
            [ "$status" = 0 ] || fail "$ending: status $status: $(tail -5 "$WORK_DIR/run.err")"
            expect_shutdown_once "$WORK_DIR/run.err"
            echo "ok: depth $depth, the program ended by $ending"
            [ "$depth" = 24 ] || break
        done
    else
        echo "note: the program has no desktop start or no data yet; depth $depth run skipped"
    fi
    stop_xvfb
done
echo "PASS"
