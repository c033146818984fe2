#!/bin/bash
# Installs the build into a temporary DESTDIR and checks what arrived.
# Usage: install_test.sh BUILD_DIR VERSION APP_ID ICON_SIZE...
set -u
BUILD=$1
VERSION=$2
APP_ID=$3
shift 3
ICON_SIZES=("$@")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

DESTDIR="$WORK/root" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 ||
    fail "cmake --install: $(cat "$WORK/install.log")"
ROOT=$WORK/root/usr

# The tree: exactly these files, nothing else.
expected=(
    bin/sg2-archive bin/stormglass2 games/stormglass2
    share/applications/$APP_ID.desktop
    share/bash-completion/completions/sg2-archive share/bash-completion/completions/stormglass2
    share/doc/stormglass2/changelog.gz share/doc/stormglass2/copyright
    share/man/man1/sg2-archive.1.gz share/man/man6/stormglass2.6.gz
    share/metainfo/$APP_ID.metainfo.xml
    share/stormglass2/sg2.dat share/stormglass2/sg2.it
)
for size in "${ICON_SIZES[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
done
actual=$(cd "$ROOT" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$actual" = "$wanted" ] || fail "installed tree differs:
$(diff <(echo "$wanted") <(echo "$actual"))"
[ -z "$(find "$WORK/root" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files outside /usr"
[ "$(readlink "$ROOT/bin/stormglass2")" = ../games/stormglass2 ] || fail "bin/stormglass2 link"
# The Debian package's version comes from debian/changelog: it must be the program's.
changelog_version=$(zcat "$ROOT/share/doc/stormglass2/changelog.gz" | sed -n '1s/^[^(]*(\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$VERSION" ] ||
    fail "debian/changelog says $changelog_version, the program $VERSION"
echo "ok: installed tree"

# Icons: PNG files of their directory's size.
for size in "${ICON_SIZES[@]}"; do
    icon=$ROOT/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$icon")
    [ $(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3)) = "$size" ] &&
        [ $(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3)) = "$size" ] ||
        fail "$icon is not ${size}x$size"
done
echo "ok: icons"

# The installed program from an unrelated directory, with no data there or in XDG places.
ELSEWHERE=$WORK/elsewhere
mkdir -p "$ELSEWHERE"
run() { (cd "$ELSEWHERE" && env -u XDG_DATA_HOME -u XDG_DATA_DIRS HOME="$WORK/home" "$@"); }
[ "$(run "$ROOT/bin/stormglass2" --version)" = "stormglass2 $VERSION" ] || fail "--version"
[ "$(run "$ROOT/bin/sg2-archive" --version)" = "sg2-archive $VERSION" ] || fail "archive --version"
run "$ROOT/bin/stormglass2" --headless --quit-at 2:0 --stats run.json >"$WORK/run.out" 2>&1 ||
    fail "the installed program did not play: $(cat "$WORK/run.out")"
grep -q '"scene": *2' "$ELSEWHERE/run.json" || fail "the run did not reach the second scene"
run "$ROOT/bin/sg2-archive" verify "$ROOT/share/stormglass2/sg2.dat" >/dev/null ||
    fail "the installed sg2.dat does not verify"
echo "ok: the installed program plays from an unrelated directory"

# The XDG places, with a copy of the program that has no data of its own. Empty files in an
# earlier place are taken (and fail) before good ones in a later place.
LONELY=$WORK/lonely/bin
mkdir -p "$LONELY" "$WORK/user/stormglass2" "$WORK/sys/stormglass2" "$WORK/empty/stormglass2"
cp "$ROOT/bin/stormglass2" "$LONELY/"
cp "$ROOT/share/stormglass2/"sg2.* "$WORK/sys/stormglass2/"
: >"$WORK/empty/stormglass2/sg2.dat"
: >"$WORK/empty/stormglass2/sg2.it"
xdg() { (cd "$ELSEWHERE" && HOME="$WORK/home" "$@"); }
xdg env XDG_DATA_HOME="$WORK/user" XDG_DATA_DIRS="$WORK/none:$WORK/sys" \
    "$LONELY/stormglass2" --headless --quit-at 1:0 >"$WORK/xdg.out" 2>&1 ||
    fail "not found through XDG_DATA_DIRS: $(cat "$WORK/xdg.out")"
cp "$ROOT/share/stormglass2/"sg2.* "$WORK/user/stormglass2/"
xdg env XDG_DATA_HOME="$WORK/user" XDG_DATA_DIRS="$WORK/empty" \
    "$LONELY/stormglass2" --headless --quit-at 1:0 >"$WORK/xdg.out" 2>&1 ||
    fail "XDG_DATA_HOME was not searched before XDG_DATA_DIRS: $(cat "$WORK/xdg.out")"
xdg env XDG_DATA_HOME="$WORK/empty" XDG_DATA_DIRS="$WORK/sys" \
    "$LONELY/stormglass2" --headless --quit-at 1:0 >"$WORK/xdg.out" 2>&1 &&
    fail "the empty files in XDG_DATA_HOME were passed over"
grep -q "$WORK/empty/stormglass2/sg2" "$WORK/xdg.out" || fail "$(cat "$WORK/xdg.out")"
xdg env XDG_DATA_HOME="$WORK/none" XDG_DATA_DIRS="$WORK/none2" \
    "$LONELY/stormglass2" --headless >"$WORK/xdg.out" 2>"$WORK/xdg.err"
status=$?
[ "$status" = 1 ] && [ "$(wc -l <"$WORK/xdg.err")" = 1 ] &&
    grep -qF "., $LONELY, $WORK/lonely/share/stormglass2, $WORK/none/stormglass2, $WORK/none2/stormglass2" "$WORK/xdg.err" ||
    fail "nothing found gave status $status and: $(cat "$WORK/xdg.err")"
echo "ok: the XDG data places, in order"

# Validators.
desktop-file-validate "$ROOT/share/applications/$APP_ID.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$ROOT/share/metainfo/$APP_ID.metainfo.xml" \
    >"$WORK/appstream.out" 2>&1 || fail "appstreamcli: $(cat "$WORK/appstream.out")"
for page in man6/stormglass2.6.gz man1/sg2-archive.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$ROOT/share/man/$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done
echo "ok: desktop entry, metadata and manual pages validate"

# Every option and command the programs list is in their manual page and their completion.
check_documented() {
    local page completion=$2
    page=$(zcat "$1")
    shift 2
    for word in "$@"; do
        grep -qF -- "${word//-/\\-}" <<<"$page" || fail "$word is not in its manual page"
        grep -qwF -- "$word" "$completion" || fail "$word is not completed by $(basename "$completion")"
    done
}
options=$("$ROOT/bin/stormglass2" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || fail "no options in --help"
check_documented "$ROOT/share/man/man6/stormglass2.6.gz" \
    "$ROOT/share/bash-completion/completions/stormglass2" $options
words=$("$ROOT/bin/sg2-archive" --help | grep -oE -- '--[a-z-]+|sg2-archive [a-z]+' |
    sed 's/^sg2-archive //' | sort -u)
check_documented "$ROOT/share/man/man1/sg2-archive.1.gz" \
    "$ROOT/share/bash-completion/completions/sg2-archive" $words
# complete_words SCRIPT FUNCTION WORD...: what the completion offers for the last word.
complete_words() {
    bash -c 'source "$1"; f=$2; shift 2; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); $f
        echo "${COMPREPLY[*]}"' _ "$@"
}
COMPLETIONS=$ROOT/share/bash-completion/completions
[ "$(complete_words "$COMPLETIONS/stormglass2" _stormglass2 stormglass2 --tr)" = \
    "--trail --trace-shutdown" ] || fail "option completion"
[ "$(complete_words "$COMPLETIONS/stormglass2" _stormglass2 stormglass2 --format "")" = \
    "32 24 565 555" ] || fail "--format completion"
[ "$(complete_words "$COMPLETIONS/sg2-archive" _sg2_archive sg2-archive e)" = "extract" ] ||
    fail "command completion"
echo "ok: every option in the manual pages and the completion"
echo PASS
