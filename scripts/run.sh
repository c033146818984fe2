#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo with the data the build generated.
# Extra arguments go to the program. Without a display it plays headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
cd build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && " $* " != *" --headless "* ]]; then
    echo "run: no display here; playing headless (see --help for frames, video and sound)"
    exec ./stormglass2 --headless "$@"
fi
exec ./stormglass2 "$@"
