#!/usr/bin/env bash
# Installs what building, running and testing need, if it is missing. Idempotent, and quick
# when everything is present (one dpkg query, no network).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config git
    libsdl2-dev libopenmpt-dev libfltk1.3-dev fluid libpng-dev zlib1g-dev libx11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool x11-utils imagemagick
    ffmpeg sox openmpt123
    dpkg-dev debhelper devscripts ccache lintian desktop-file-utils appstream man-db
)
# `setup.sh web`: what the browser build and its tests need instead.
if [[ ${1:-} == web ]]; then
    packages=(emscripten chromium python3 cmake ninja-build)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
