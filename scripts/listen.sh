#!/usr/bin/env bash
# Renders the show's sound headless in both mixes (the centred default and --stereo) and
# measures it, for ears that cannot listen on speakers:
#   scripts/listen.sh [BUILD_DIR] [OUT_DIR]      (defaults: build, BUILD_DIR/listen)
# OUT_DIR receives centre.wav and stereo.wav, a spectrogram of the whole show per mix with
# the scene starts marked (show-centre.png, show-stereo.png), one spectrogram per scene of
# the stereo mix (scene-NN.png) and report.txt: per scene loudness, true peak and left/right
# correlation; for the whole show integrated loudness, loudness range and true peak.
# Needs ffmpeg, sox and ImageMagick (scripts/setup.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=${2:-$build/listen}
mkdir -p "$out"
out=$(realpath "$out")

# The song keeps one speed and tempo throughout: 6 ticks of 20 ms a row.
row_seconds=0.12
rows_per_order=64

render() {  # MIX WAV [extra options]
    local wav=$2
    shift 2
    (cd "$build" && ./stormglass2 --headless --data . --wav "$wav.part" "$@" >/dev/null)
    mv "$wav.part" "$wav"
}
render centre "$out/centre.wav" --stats "$out/scenes.json"
render stereo "$out/stereo.wav" --stereo

# Scene starts and ends in seconds, from the run's own report: "scene start end" per line.
scene_times() {
    sed -n 's/.*"scene": \([0-9]*\), "startOrder": \([0-9]*\), "startRow": \([0-9]*\), "endOrder": \([0-9]*\), "endRow": \([0-9]*\).*/\1 \2 \3 \4 \5/p' \
        "$out/scenes.json" |
        awk -v r="$row_seconds" -v n="$rows_per_order" \
            '{ printf "%d %.3f %.3f\n", $1, ($2 * n + $3) * r, ($4 * n + $5) * r }'
}

# EBU R128 over a stretch: prints "integrated range truepeak".
loudness() {  # WAV START DURATION
    ffmpeg -nostdin -nostats -hide_banner -ss "$2" -t "$3" -i "$1" -af ebur128=peak=true -f null - 2>&1 |
        awk '/Summary:/ { s = 1 }
             s && $1 == "I:" { i = $2 }
             s && $1 == "LRA:" { lra = $2 }
             s && $1 == "Peak:" { tp = $2 }
             END { print i, lra, tp }'
}

# Left/right correlation over a stretch, from the powers of left, right, mid and side:
# sum(L*R) = sum(M^2) - sum(S^2) with M = (L+R)/2 and S = (L-R)/2.
correlation() {  # WAV START DURATION
    local lr ms
    lr=$(sox "$1" -n trim "$2" "$3" stats 2>&1 | awk '/RMS lev dB/ { print $5, $6 }')
    ms=$(sox "$1" -n trim "$2" "$3" remix 1v0.5,2v0.5 1v0.5,2v-0.5 stats 2>&1 |
        awk '/RMS lev dB/ { print $5, $6 }')
    awk -v lr="$lr" -v ms="$ms" 'function p(db) { return db == "-inf" ? 0 : 10 ^ (db / 10) }
        BEGIN { split(lr, a, " "); split(ms, b, " ")
                d = sqrt(p(a[1]) * p(a[2]))
                if (d == 0) print "1.000"; else printf "%.3f\n", (p(b[1]) - p(b[2])) / d }'
}

# Spectrogram of the whole show with a line and the number at every scene start; the stereo
# mix shows its left side above its right.
show_picture() {  # WAV PNG TITLE [sox effects before the spectrogram]
    local wav=$1 png=$2 title=$3 seconds height pixels_per_second=8 draw=()
    shift 3
    seconds=$(soxi -D "$wav")
    sox "$wav" -n "$@" rate 22050 spectrogram -r -y 257 -z 90 -o "$png.raw.png" \
        -x "$(awk -v s="$seconds" -v p="$pixels_per_second" 'BEGIN { printf "%d", s * p }')"
    height=$(identify -format %h "$png.raw.png")
    while read -r scene start _; do
        x=$(awk -v s="$start" -v p="$pixels_per_second" 'BEGIN { printf "%d", s * p }')
        draw+=(-draw "line $x,0 $x,$height" -draw "text $((x + 2)),12 '$scene'")
    done < <(scene_times)
    convert "$png.raw.png" -font DejaVu-Sans -pointsize 11 -fill white -stroke white "${draw[@]}" \
        -gravity north -background white -splice 0x18 -stroke none -fill black \
        -annotate +0+2 "$title" "$png"
    rm -f "$png.raw.png"
}

show_picture "$out/centre.wav" "$out/show-centre.png" "centre mix: scene starts marked" remix 1,2
show_picture "$out/stereo.wav" "$out/show-stereo.png" "stereo mix, left above right: scene starts marked"

{
    echo "scene  start_s  centre_LUFS centre_TP  stereo_LUFS stereo_TP  correlation"
    while read -r scene start end; do
        duration=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
        read -r ci _ ctp < <(loudness "$out/centre.wav" "$start" "$duration")
        read -r si _ stp < <(loudness "$out/stereo.wav" "$start" "$duration")
        corr=$(correlation "$out/stereo.wav" "$start" "$duration")
        printf "%5d  %7.2f  %11s %9s  %11s %9s  %11s\n" "$scene" "$start" "$ci" "$ctp" "$si" "$stp" "$corr"
        sox "$out/stereo.wav" -n trim "$start" "$duration" spectrogram -x 800 -y 257 -z 90 \
            -t "scene $scene, stereo mix, from ${start} s" -o "$(printf '%s/scene-%02d.png' "$out" "$scene")"
    done < <(scene_times)
    echo
    read -r ci clra ctp < <(loudness "$out/centre.wav" 0 100000)
    read -r si slra stp < <(loudness "$out/stereo.wav" 0 100000)
    echo "whole show, centre: integrated $ci LUFS, range $clra LU, true peak $ctp dBTP"
    echo "whole show, stereo: integrated $si LUFS, range $slra LU, true peak $stp dBTP," \
        "correlation $(correlation "$out/stereo.wav" 0 100000)"
    echo "side level (L-R) of the centre mix: $(sox "$out/centre.wav" -n remix 1v1,2v-1 stats 2>&1 |
        awk '/RMS lev dB/ { print $4 }') dBFS RMS"
} | tee "$out/report.txt"
