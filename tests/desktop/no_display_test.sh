#!/bin/bash
# Without any display: the desktop start says so on one line, points to --headless and ends
# with status 1, promptly (no crash, no hang).
# Usage: no_display_test.sh PROBE PROGRAM XPROBE
PROBE=$1
PROGRAM=$2
fail() {
    echo "FAIL: $*"
    exit 1
}
check() {
    local out
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$@" 2>&1)
    local status=$?
    [ "$status" = 1 ] || fail "$1 ended with $status: $out"
    [ "$(printf '%s\n' "$out" | wc -l)" = 1 ] || fail "more than one line: $out"
    printf '%s' "$out" | grep -q -- "--headless" || fail "no pointer to --headless: $out"
    echo "ok: $(basename "$1"): $out"
}
check "$PROBE"
check "$PROBE" --card --windowed
if "$PROGRAM" --help 2>/dev/null | grep -q -- "--windowed"; then
    check "$PROGRAM"
    check "$PROGRAM" --windowed
else
    echo "note: the program has no desktop start yet"
fi
echo "PASS"
