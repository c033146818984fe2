#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and end-to-end tests; the
# Debian packages, built again in another folder to the same bytes; the browser build against
# the desktop one in headless Chromium; the unit tests built with clang; the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer with one whole headless show; and the
# archive fuzzer. Warnings are errors in all these builds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
start=$SECONDS
# Compiler results are cached across this run's builds (and runs); the package builds' paths are
# mapped away, so their objects are the same wherever the tree is.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}

echo "== build"
scripts/build.sh build -DSG2_WERROR=ON
echo "== tests"
ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 600

echo "== package"
package_start=$SECONDS
# As root (CI) the packages are also installed, played and removed again.
if [[ $(id -u) -eq 0 ]]; then
    scripts/package.sh --try-install build
else
    scripts/package.sh build
fi
echo "   packages in $((SECONDS - package_start)) s"

echo "== browser build"
scripts/web.sh
echo "== browser tests (headless Chromium)"
python3 tests/web/web_test.py

echo "== clang build (unit tests)"
clang_start=$SECONDS
CC=clang CXX=clang++ scripts/build.sh build-clang -DSG2_WERROR=ON -DSG2_BENCH=OFF
ctest --test-dir build-clang -j"$(nproc)" --output-on-failure --timeout 600 \
    -LE slow -E '^(desktop|install)\.'
echo "   clang build and unit tests in $((SECONDS - clang_start)) s"

echo "== sanitizer build"
scripts/build.sh build-asan -DSG2_SANITIZE=ON -DSG2_BENCH=OFF -DSG2_WERROR=ON
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== sanitizer tests"
ctest --test-dir build-asan -j"$(nproc)" --output-on-failure --timeout 900 -LE slow
echo "== sanitizer headless show"
(cd build-asan && ./stormglass2 --headless --stats show-asan.json >/dev/null)
echo "   whole show ran clean under the sanitizers"

echo "== the packages again, in another folder"
repro_start=$SECONDS
# Inside build/, which the layout test passes over while the copy of the tree is there.
DEB_BUILD_OPTIONS=nocheck scripts/package.sh --build-only build/repro >/dev/null
for deb in build/package/*.deb; do
    cmp "$deb" "build/repro/package/$(basename "$deb")" ||
        { echo "$(basename "$deb") differs between two builds"; exit 1; }
done
echo "   the same bytes in $((SECONDS - repro_start)) s: $(cd build/package && sha256sum ./*.deb)"

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzzing the archive reader"
    scripts/fuzz.sh 60
fi
echo "== all tests passed in $((SECONDS - start)) s"
