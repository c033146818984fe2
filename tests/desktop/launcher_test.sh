#!/bin/bash
# The launcher dialog under a private Xvfb, driven with xdotool through the launcher probe (the
# program's own desktop start, printing the settings "Run Demo" produced): ticking the boxes,
# choosing a strength, "About" twice (Escape leaves it open, "Ok" closes it), "Run Demo", the
# choices preselected at the next start (and not from a damaged file), "Exit", Escape, closing it and Enter. With the program itself: "Exit" ends with status 0 and no sound
# output was opened.
# Usage: launcher_test.sh PROBE PROGRAM XPROBE
PROBE=$1
PROGRAM=$2
XPROBE=$3
. "$(dirname "$0")/xvfb.sh"

LAUNCHER="Stormglass 2 by the Stormglass 2 project - Linux version"

# Dialog units to window pixels at the launcher's 8-point font (6 x 13 base units).
dx() { echo $(( ($1 * 6 + 2) / 4 )); }
dy() { echo $(( ($1 * 13 + 4) / 8 )); }

# click WINDOW X Y W H: clicks the middle of a control given in dialog units.
click() {
    xdotool mousemove --window "$1" "$(dx $(( $2 + $4 / 2 )))" "$(dy $(( $3 + $5 / 2 )))" click 1
    sleep 0.3
}

# key WINDOW KEY...: real key presses with the pointer over the window (no window manager:
# the keyboard follows the pointer).
key() {
    local window=$1
    shift
    xdotool mousemove --window "$window" 5 5
    xdotool key "$@"
    sleep 0.3
}

start_probe() {
    "$PROBE" >"$WORK_DIR/probe.out" 2>&1 &
    PROBE_PID=$!
    WINDOW=$(wait_window "$LAUNCHER") || fail "the launcher did not open"
    sleep 0.3
}

expect_probe() {
    local status
    wait_exit "$PROBE_PID" 20; status=$EXIT_STATUS
    [ "$status" = "0" ] || fail "probe ended with $status: $(cat "$WORK_DIR/probe.out")"
    grep -qx "$1" "$WORK_DIR/probe.out" || fail "expected '$1', got '$(cat "$WORK_DIR/probe.out")'"
    echo "ok: $1"
}

start_xvfb 1024x768x24

# Choices, and "About" opened and closed twice with the choices kept.
start_probe
click "$WINDOW" 162 23 51 12   # Windowed
click "$WINDOW" 5 65 32 10     # Dance
click "$WINDOW" 42 65 90 12    # strength list: opens its menu
xdotool key Down Down Return   # nemelvont -> elegelvont
sleep 0.3
for round in 1 2; do
    click "$WINDOW" 4 89 67 18  # About
    ABOUT=$(wait_window "About") || fail "About did not open (round $round)"
    sleep 0.3
    key "$ABOUT" Escape
    xdotool search --onlyvisible --name "^About\$" >/dev/null || fail "Escape closed About"
    xdotool mousemove --window "$ABOUT" "$(dx 85)" "$(dy 86)" click 1  # Ok
    wait_gone "About" || fail "Ok did not close About (round $round)"
done
click "$WINDOW" 151 57 68 50   # Run Demo
expect_probe "run modeIndex=1 mode=1024x768x32 windowed=1 dance=1 trailLevel=2"

# The next start preselects what "Run Demo" chose; Enter runs with it.
grep -qx "trail=2" "$XDG_CONFIG_HOME/stormglass2/launcher.ini" || fail "the choices were not remembered"
start_probe
key "$WINDOW" Return
expect_probe "run modeIndex=1 mode=1024x768x32 windowed=1 dance=1 trailLevel=2"

# A damaged file gives the untouched choices.
printf '[launcher]\nwindowed=yes\n' >"$XDG_CONFIG_HOME/stormglass2/launcher.ini"
start_probe
key "$WINDOW" Return
expect_probe "run modeIndex=1 mode=1024x768x32 windowed=0 dance=0 trailLevel=0"

# A place where the file cannot be written costs one line, not the run.
XDG_CONFIG_HOME=/dev/null/config start_probe
key "$WINDOW" Return
expect_probe "run modeIndex=1 mode=1024x768x32 windowed=0 dance=0 trailLevel=0"
grep -q "cannot remember the launcher's choices" "$WORK_DIR/probe.out" || fail "no word of the unwritable file"

# "Exit", Escape and closing the launcher leave without running.
start_probe
click "$WINDOW" 75 89 73 18
expect_probe "left"
start_probe
key "$WINDOW" Escape
expect_probe "left"
start_probe
"$XPROBE" close "$WINDOW"
expect_probe "left"

# The program itself: "Exit" ends with status 0 before any sound output is opened (SDL's disk
# audio driver would create its file on opening).
if "$PROGRAM" --help 2>/dev/null | grep -q -- "--windowed"; then
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK_DIR/audio.raw" "$PROGRAM" \
        >"$WORK_DIR/program.out" 2>&1 &
    PROGRAM_PID=$!
    WINDOW=$(wait_window "$LAUNCHER") || fail "the program's launcher did not open"
    sleep 0.3
    click "$WINDOW" 75 89 73 18
    wait_exit "$PROGRAM_PID" 20; status=$EXIT_STATUS
    [ "$status" = "0" ] || fail "Exit ended the program with $status"
    [ ! -e "$WORK_DIR/audio.raw" ] || fail "Exit opened the sound output"
    echo "ok: the program's Exit"

    # "Run Demo" with "Windowed" ticked starts the windowed run; Escape ends it.
    if [ -f "$SG2_BINARY_DIR/sg2.it" ]; then
        (cd "$SG2_BINARY_DIR" && SDL_AUDIODRIVER=dummy exec "$PROGRAM") \
            >"$WORK_DIR/program.out" 2>&1 &
        PROGRAM_PID=$!
        WINDOW=$(wait_window "$LAUNCHER") || fail "the program's launcher did not open"
        sleep 0.3
        click "$WINDOW" 162 23 51 12
        click "$WINDOW" 151 57 68 50
        DEMO=$(wait_window "Stormglass 2 - a demo for Linux") ||
            fail "no demo window: $(cat "$WORK_DIR/program.out")"
        sleep 2
        DEMO=$(wait_window "Stormglass 2 - a demo for Linux") || fail "the demo window went away"
        key "$DEMO" Escape
        wait_exit "$PROGRAM_PID" 20
        [ "$EXIT_STATUS" = 0 ] || fail "the windowed run ended with $EXIT_STATUS"
        echo "ok: Run Demo with Windowed ticked"
    fi
else
    echo "note: the program has no desktop start yet; its Exit was not checked"
fi
echo "PASS"
