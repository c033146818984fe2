#!/bin/bash
# The program's windows belong to its menu entry: the launcher's and the show's carry the
# entry's icon and, as their class, the entry's id, which its StartupWMClass names. Started
# with a fresh home, the launcher leaves nothing there but its own settings file. With no sound
# device the show says so in one line and nothing else reaches standard error.
# Usage: menu_entry_test.sh PROBE PROGRAM XPROBE
PROGRAM=$2
. "$(dirname "$0")/xvfb.sh"

if ! program_has_desktop "$PROGRAM" || [ ! -f "$SG2_BINARY_DIR/sg2.it" ] ||
    ! command -v xprop >/dev/null; then
    echo "skipped: needs the program's desktop start, the build's data and xprop"
    exit 77
fi
LAUNCHER="Stormglass 2 by the Stormglass 2 project - Linux version"
DEMO="Stormglass 2 - a demo for Linux"
ENTRY=$(ls "$SG2_BINARY_DIR"/packaging/*.desktop)
APP_ID=$(basename "$ENTRY" .desktop)
[ "$(sed -n 's/^StartupWMClass=//p' "$ENTRY")" = "$APP_ID" ] ||
    fail "$ENTRY: StartupWMClass is not $APP_ID"

# belongs WINDOW NAME: the window's class is the entry's id and it carries an icon.
belongs() {
    local class
    class=$(xprop -id "$1" WM_CLASS)
    [ "$class" = "WM_CLASS(STRING) = \"$APP_ID\", \"$APP_ID\"" ] || fail "$2 window: $class"
    xprop -id "$1" _NET_WM_ICON | grep -q "Icon (48 x 48)" || fail "$2 window: no icon"
    echo "ok: the $2 window has the entry's class and icon"
}

start_xvfb 1024x768x24
HOME_DIR=$WORK_DIR/home
mkdir -p "$HOME_DIR"
(cd "$SG2_BINARY_DIR" && exec env -u XDG_CONFIG_HOME HOME="$HOME_DIR" SDL_AUDIODRIVER=alsa \
    AUDIODEV=sg2-no-such-device "$PROGRAM") >"$WORK_DIR/program.out" 2>"$WORK_DIR/program.err" &
PROGRAM_PID=$!
WINDOW=$(wait_window "$LAUNCHER") || fail "the launcher did not open"
sleep 0.3
belongs "$WINDOW" launcher
# "Windowed" (at 162,23 in dialog units), then "Run Demo" (151,57).
xdotool mousemove --window "$WINDOW" 280 48 click 1
sleep 0.3
xdotool mousemove --window "$WINDOW" 278 134 click 1
SHOW=$(wait_window "$DEMO") || fail "no show window: $(cat "$WORK_DIR/program.err")"
sleep 1
belongs "$SHOW" show
xdotool mousemove --window "$SHOW" 5 5 key Escape
wait_exit "$PROGRAM_PID" 20
[ "$EXIT_STATUS" = 0 ] || fail "the run ended with $EXIT_STATUS: $(cat "$WORK_DIR/program.err")"

left=$(cd "$HOME_DIR" && find . -type f | sort)
[ "$left" = ./.config/stormglass2/launcher.ini ] || fail "the home holds: $left"
echo "ok: the fresh home holds only the launcher's settings"
[ "$(wc -l <"$WORK_DIR/program.err")" = 1 ] && grep -q "no sound device" "$WORK_DIR/program.err" ||
    fail "standard error without a sound device: $(cat "$WORK_DIR/program.err")"
echo "ok: one line says there is no sound device"
echo "PASS"
