#!/usr/bin/env bash
# Configures and builds into DIR (default build) with any extra CMake arguments. The compiler
# and linker flags are the Debian package's (dpkg-buildflags as debian/rules sets it up, all
# hardening on) unless the caller set CXXFLAGS; CMake reads them when it first configures DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
if [[ -z ${CXXFLAGS:-} ]] && command -v dpkg-buildflags >/dev/null; then
    eval "$(make -s --no-print-directory -f debian/rules print-buildflags)"
    # CMake does not read CPPFLAGS (where fortification is).
    export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
ninja -C "$dir" -j"$(nproc)"
