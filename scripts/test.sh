#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and end-to-end tests; the
# Debian package; the browser build against the desktop one in headless Chromium; the unit tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer with one whole headless show; and
# the archive fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
start=$SECONDS

echo "== build"
scripts/build.sh build
echo "== tests"
ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 600

echo "== package"
# As root (CI) the package is also installed, played and removed again.
if [[ $(id -u) -eq 0 ]]; then
    scripts/package.sh --try-install build
else
    scripts/package.sh build
fi

echo "== browser build"
scripts/web.sh
echo "== browser tests (headless Chromium)"
python3 tests/web/web_test.py

echo "== sanitizer build"
scripts/build.sh build-asan -DSG2_SANITIZE=ON -DSG2_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== sanitizer tests"
ctest --test-dir build-asan -j"$(nproc)" --output-on-failure --timeout 900 -LE slow
echo "== sanitizer headless show"
(cd build-asan && ./stormglass2 --headless --stats show-asan.json >/dev/null)
echo "   whole show ran clean under the sanitizers"

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzzing the archive reader"
    scripts/fuzz.sh 60
fi
echo "== all tests passed in $((SECONDS - start)) s"
