#!/usr/bin/env bash
# Builds the Debian package with CPack into DIR/package (default build) and inspects it with
# dpkg-deb and lintian (errors fail). With --try-install (as root, on a machine without the
# package) it also installs the package with dpkg, plays the show from an unrelated directory,
# removes the package and checks that every file it brought is gone.
# Usage: scripts/package.sh [--try-install] [DIR [CMAKE_ARGS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
try_install=false
if [[ ${1:-} == --try-install ]]; then
    try_install=true
    shift
fi
dir=${1:-build}
shift || true
start=$SECONDS
# Installed for /usr, so the manual pages name the right data directory.
scripts/build.sh "$dir" -DCMAKE_INSTALL_PREFIX=/usr "$@"
rm -rf "$dir/package"
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/package/stormglass2_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "== lintian"
lintian --tag-display-limit 0 --display-info "$deb" 2>&1 | grep -v "^running with root" || true
if lintian "$deb" 2>/dev/null | grep -q '^E:'; then
    echo "lintian found errors"
    exit 1
fi
echo "package: $(du -k "$deb" | cut -f1) KiB, made in $((SECONDS - start)) s"

if $try_install; then
    echo "== dpkg -i and dpkg -r"
    if dpkg-query -W stormglass2 >/dev/null 2>&1; then
        echo "stormglass2 is already installed here; not touching it"
        exit 1
    fi
    # Only files and links: directories such as /usr/share/man are shared with others.
    mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\.||')
    dpkg -i "$deb" >/dev/null
    remove() { dpkg -r stormglass2 >/dev/null 2>&1 || true; }
    trap remove EXIT
    # What dpkg installed (a minimal system may exclude manual pages and documents).
    while read -r file; do
        [[ -e $file || -L $file ]] || { echo "missing after dpkg -i: $file"; exit 1; }
    done < <(dpkg -L stormglass2)
    for file in /usr/bin/stormglass2 /usr/share/stormglass2/sg2.dat /usr/share/stormglass2/sg2.it \
        /usr/share/applications/io.github.stormglass2.Stormglass2.desktop; do
        [[ -e $file ]] || { echo "missing after dpkg -i: $file"; exit 1; }
    done
    elsewhere=$(mktemp -d)
    program=$(cd "$elsewhere" && command -v stormglass2)
    [[ $program == /usr/bin/stormglass2 ]] || { echo "stormglass2 on the PATH is '$program'"; exit 1; }
    (cd "$elsewhere" && stormglass2 --headless --quit-at 2:0 >/dev/null) ||
        { echo "the installed show did not play"; exit 1; }
    rmdir "$elsewhere"
    dpkg -r stormglass2 >/dev/null
    trap - EXIT
    left=0
    for file in "${files[@]}" /usr/share/stormglass2 /usr/share/doc/stormglass2; do
        if [[ -e $file || -L $file ]]; then
            echo "left after dpkg -r: $file"
            left=1
        fi
    done
    ((left == 0)) || exit 1
    echo "installed ${#files[@]} files, played from $(basename "$program") on the PATH, removed all"
fi
echo "$deb"
