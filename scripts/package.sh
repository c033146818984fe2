#!/usr/bin/env bash
# Builds the Debian source and binary packages with dpkg-buildpackage from a copy of the tree in
# DIR/package (default build), then checks them: lintian at -EvIL +pedantic (an error or a
# warning fails) and hardening-check on both programs. With --try-install (as root, on a
# machine without the packages) it also installs them with dpkg, plays the show from an
# unrelated directory, removes them and checks that every file they brought is gone.
# --build-only skips the checks. DEB_BUILD_OPTIONS passes through (nocheck skips the unit tests).
# Usage: scripts/package.sh [--try-install | --build-only] [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
try_install=false
checks=true
case ${1:-} in
--try-install) try_install=true && shift ;;
--build-only) checks=false && shift ;;
esac
dir=${1:-build}
start=$SECONDS
version=$(dpkg-parsechangelog -S Version)
out=$dir/package
tree=$out/stormglass2-$version
rm -rf "$out"
mkdir -p "$tree"
# The tracked and new files only, so no earlier build output reaches the source package.
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree"
export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)"
(cd "$tree" && dpkg-buildpackage -us -uc >../build.log 2>&1) ||
    { tail -n 40 "$out/build.log"; echo "dpkg-buildpackage failed: $out/build.log"; exit 1; }
rm -rf "$tree"
changes=$(ls "$out"/stormglass2_*.changes)
debs=("$out"/stormglass2_*.deb "$out"/stormglass2-tools_*.deb)
if ! $checks; then
    echo "${debs[@]}"
    exit 0
fi
for deb in "${debs[@]}"; do
    dpkg-deb --info "$deb"
    dpkg-deb --contents "$deb"
done
echo "== lintian"
lintian -EvIL +pedantic --tag-display-limit 0 "$changes" 2>&1 |
    { grep -v "^running with root" || true; } | tee "$out/lintian.log"
if grep -q '^[EW]:' "$out/lintian.log"; then
    echo "lintian found errors or warnings"
    exit 1
fi
if command -v hardening-check >/dev/null; then
    echo "== hardening-check"
    unpacked=$out/unpacked
    for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$unpacked"; done
    # Control flow protection cannot be had on Debian 12: its C library's start files lack it.
    status=0
    hardening-check --nocfprotection "$unpacked/usr/games/stormglass2" \
        "$unpacked/usr/bin/sg2-archive" >"$out/hardening.log" || status=$?
    cat "$out/hardening.log"
    rm -rf "$unpacked"
    ((status == 0)) || { echo "hardening-check: not hardened"; exit 1; }
fi
sha256sum "${debs[@]}"
echo "packages made in $((SECONDS - start)) s"

if $try_install; then
    echo "== dpkg -i and dpkg -r"
    if dpkg-query -W stormglass2 stormglass2-tools >/dev/null 2>&1; then
        echo "stormglass2 is already installed here; not touching it"
        exit 1
    fi
    # Only files and links: directories such as /usr/share/man are shared with others.
    mapfile -t files < <(for deb in "${debs[@]}"; do dpkg-deb --fsys-tarfile "$deb" | tar -t; done |
        grep -v '/$' | sed 's|^\.||')
    dpkg -i "${debs[@]}" >/dev/null
    remove() { dpkg -r stormglass2 stormglass2-tools >/dev/null 2>&1 || true; }
    trap remove EXIT
    # What dpkg installed (a minimal system may exclude manual pages and documents).
    while read -r file; do
        [[ -e $file || -L $file ]] || { echo "missing after dpkg -i: $file"; exit 1; }
    done < <(dpkg -L stormglass2 stormglass2-tools | grep .)
    for file in /usr/games/stormglass2 /usr/bin/sg2-archive /usr/share/stormglass2/sg2.dat \
        /usr/share/stormglass2/sg2.it \
        /usr/share/applications/io.github.stormglass2.Stormglass2.desktop; do
        [[ -e $file ]] || { echo "missing after dpkg -i: $file"; exit 1; }
    done
    elsewhere=$(mktemp -d)
    # Debian's PATH for users holds /usr/games; root's does not.
    program=$(cd "$elsewhere" && PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games \
        command -v stormglass2)
    [[ $program == /usr/games/stormglass2 ]] || { echo "stormglass2 on the PATH is '$program'"; exit 1; }
    (cd "$elsewhere" && "$program" --headless --quit-at 2:0 >/dev/null) ||
        { echo "the installed show did not play"; exit 1; }
    sg2-archive verify /usr/share/stormglass2/sg2.dat >/dev/null ||
        { echo "the installed sg2-archive does not verify the installed data"; exit 1; }
    rmdir "$elsewhere"
    dpkg -r stormglass2 stormglass2-tools >/dev/null
    trap - EXIT
    left=0
    for file in "${files[@]}" /usr/share/stormglass2 /usr/share/doc/stormglass2 \
        /usr/share/doc/stormglass2-tools; do
        if [[ -e $file || -L $file ]]; then
            echo "left after dpkg -r: $file"
            left=1
        fi
    done
    ((left == 0)) || exit 1
    echo "installed ${#files[@]} files, played from $program, removed all"
fi
echo "${debs[@]}"
