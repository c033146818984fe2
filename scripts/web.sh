#!/usr/bin/env bash
# Builds the show for the browser into build-web/: index.html, the compiled program and the
# show's data beside them. Everything comes from Debian: the emscripten package, and the
# module player compiled from Debian's own libopenmpt source package (kept, with the CMake
# build, under .cache/web/ so a second run only rebuilds what changed).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cache=$root/.cache/web
out=$root/build-web

# Debian's emscripten runs its optimiser with the node on the PATH; that node needs Debian's
# JavaScript modules and must not replace the fetch that compiled programs use.
export NODE_PATH=/usr/share/nodejs
export NODE_OPTIONS=--no-experimental-fetch

scripts/setup.sh web

mkdir -p "$cache"

# The module player, once.
openmpt=$cache/openmpt
if [[ ! -f $openmpt/lib/libopenmpt.a ]]; then
    echo "web: building libopenmpt for WebAssembly (a few minutes)"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo_cmd=(sudo)
    fi
    if ! apt-get indextargets --format '$(IDENTIFIER)' 2>/dev/null | grep -qx Sources; then
        # Source packages from the same archive the system already uses, in a file of our own.
        if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
            sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
                "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/sg2-deb-src.sources >/dev/null
        else
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
                "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/sg2-deb-src.list >/dev/null
        fi
        "${sudo_cmd[@]}" apt-get update -qq
    fi
    rm -rf "$cache/openmpt-src" "$openmpt"
    mkdir -p "$cache/openmpt-src"
    (cd "$cache/openmpt-src" && apt-get source --download-only -qq libopenmpt 2>/dev/null &&
        tar xzf libopenmpt_*.orig.tar.gz)
    log=$cache/openmpt-build.log
    if ! (
        cd "$cache"/openmpt-src/libopenmpt-*autotools
        emconfigure ./configure --prefix="$openmpt" --disable-shared --enable-static \
            --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
            --without-portaudio --without-portaudiocpp --without-pulseaudio --without-sndfile \
            --without-flac --disable-openmpt123 --disable-examples --disable-tests \
            --disable-doxygen-doc CXXFLAGS=-O2 CFLAGS=-O2
        emmake make -j"$(nproc)"
        emmake make install
    ) >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "web: building libopenmpt failed (the whole log: $log)" >&2
        exit 1
    fi
    rm -rf "$cache/openmpt-src"
fi

# The show's data, made by the desktop build's generator.
cmake -S . -B build -G Ninja >/dev/null
ninja -C build sg2_data sg2_install_files >/dev/null

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
emcmake cmake -S . -B "$cache/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSG2_WERROR=ON \
    -DSG2_OPENMPT_PREFIX="$openmpt" "${launcher[@]}" >/dev/null
ninja -C "$cache/cmake" -j"$(nproc)"

# The page and everything it loads, and nothing else, so the folder can be served as it is.
# The page links to the homepage the package names, and wears the package's smallest icon.
staging=$(mktemp -d "$out.XXXXXX")
homepage=$(sed -n 's/^set(SG2_HOMEPAGE \(.*\))$/\1/p' packaging/CMakeLists.txt)
sed "s|@HOMEPAGE@|$homepage|g" web/index.html >"$staging"/index.html
icon_size=$(sed -n 's/^set(SG2_ICON_SIZES \([0-9]*\).*/\1/p' packaging/CMakeLists.txt)
cp build/packaging/icons/"${icon_size}x${icon_size}"/apps/*.png "$staging"/favicon.png
cp web/song-worklet.js "$cache"/cmake/stormglass2.js "$cache"/cmake/stormglass2.wasm \
    build/sg2.dat build/sg2.it "$staging"/
chmod 755 "$staging"
rm -rf "$out"
mv "$staging" "$out"
echo "web: built $out (serve it, e.g. python3 -m http.server -d build-web, and open the page)"
