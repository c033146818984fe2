#!/usr/bin/env bash
# Renders the show's sound headless in both mixes (the centred default and --stereo) and
# measures it, for ears that cannot listen on speakers:
#   scripts/listen.sh [BUILD_DIR] [OUT_DIR]      (defaults: build, BUILD_DIR/listen)
# OUT_DIR receives centre.wav and stereo.wav, a spectrogram of the whole show per mix with
# the scene starts marked (show-centre.png, show-stereo.png), one spectrogram per scene of
# the stereo mix (scene-NN.png) and report.txt: per scene loudness, loudness range, true peak
# and left/right correlation; for the whole show integrated loudness, loudness range and true
# peak; the balance: each channel's share of the power (from renders of copies of the module
# that play one channel each, in solo/), the kick's flat top and decay, and the shares of the
# low, presence and air bands. A target missed is marked "MISSED".
# Needs ffmpeg, sox, ImageMagick and openmpt123 (scripts/setup.sh installs them).
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

# " MISSED" unless VALUE OP LIMIT holds (OP: -ge or -le, compared as numbers).
mark() {  # VALUE OP LIMIT
    awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN {
        ok = (op == "-ge") ? (v + 0 >= l + 0) : (v + 0 <= l + 0); if (!ok) printf "  MISSED" }'
}

# Mean power of a WAV (both sides), optionally through sox effects.
power() {  # WAV [sox effects]
    local wav=$1
    shift
    sox "$wav" -n remix 1,2 "$@" stats 2>&1 | awk '/RMS lev dB/ { print ($4 == "-inf") ? 0 : 10 ^ ($4 / 10) }'
}

# Channel shares from solo renders, the kick's flat top and decay, and the band shares.
balance() {
    local solo=$out/solo total=0 name share
    mkdir -p "$solo"
    "$build/content/sg2-content" --solo "$solo"
    declare -A part
    for it in "$solo"/*.it; do
        openmpt123 --quiet --render --force --dither 0 --stereo 0 --samplerate 44100 "$it" >/dev/null 2>&1
        name=$(basename "$it" .it)
        part[${name#*-}]=$(power "$it.wav")
        total=$(awk -v t="$total" -v p="${part[${name#*-}]}" 'BEGIN { print t + p }')
    done
    echo "channel shares of the power (solo renders):"
    for name in $(printf '%s\n' "${!part[@]}" | sort); do
        printf "  %-10s %5.1f %%\n" "$name" "$(awk -v p="${part[$name]}" -v t="$total" 'BEGIN { print 100 * p / t }')"
    done
    share=$(awk -v a="${part[kick]}" -v b="${part[bass]}" -v c="${part[sub]}" -v t="$total" \
        'BEGIN { printf "%.1f", 100 * (a + b + c) / t }')
    echo "kick + bass + sub: $share % (at most 50)$(mark "$share" -le 50)"
    share=$(awk -v a="${part[snare]}" -v b="${part[clap]}" -v c="${part[hat]}" -v t="$total" \
        'BEGIN { printf "%.1f", 100 * (a + b + c) / t }')
    echo "snare + clap + hats: $share % (at least 8)$(mark "$share" -ge 8)"

    # The kick alone from order 2, row 32 (2 x 7.68 + 32 x 0.12 s): its longest run of samples
    # at its peak, and the time its level (5 ms windows) takes to fall 20 dB from the loudest.
    local kick=$solo/00-kick.it.wav run decay
    run=$(sox -V1 "$kick" -t dat - trim 19.2 0.4 remix 1 | awk '!/^;/ { v = ($2 < 0) ? -$2 : $2; x[n++] = v; if (v > m) m = v }
        END { for (i = 0; i < n; i++) { r = (x[i] == m) ? r + 1 : 0; if (r > best) best = r }; print best + 0 }')
    echo "kick: longest run at its peak $run samples (at most 2)$(mark "$run" -le 2)"
    decay=$(sox -V1 "$kick" -t dat - trim 19.2 0.45 remix 1 | awk '!/^;/ { s += $2 * $2; if (++k == 220) { w[n++] = s; s = 0; k = 0 } }
        END { for (i = 0; i < n; i++) if (w[i] > m) { m = w[i]; at = i }
              for (i = at; i < n; i++) if (w[i] < m / 100) { print (i - at) * 5; exit } print n * 5 }')
    echo "kick: 20 dB down after $decay ms (about 200)$(mark "$decay" -le 220)"

    local all low presence air
    all=$(power "$out/centre.wav")
    low=$(power "$out/centre.wav" sinc 20-60)
    presence=$(power "$out/centre.wav" sinc 2000-6000)
    air=$(power "$out/centre.wav" sinc 6000-20000)
    for band in "20-60 Hz:$low" "2-6 kHz:$presence" "6-20 kHz:$air"; do
        printf "band %-9s %6.1f dB of the total power" "${band%%:*}" \
            "$(awk -v p="${band#*:}" -v t="$all" 'BEGIN { print 10 * log(p / t) / log(10) }')"
        if [[ $band == 2-6* ]]; then
            mark "$(awk -v p="$presence" -v t="$all" 'BEGIN { print 10 * log(p / t) / log(10) }')" -ge -14
        fi
        echo
    done
}

show_picture "$out/centre.wav" "$out/show-centre.png" "centre mix: scene starts marked" remix 1,2
show_picture "$out/stereo.wav" "$out/show-stereo.png" "stereo mix, left above right: scene starts marked"

{
    echo "scene  start_s  centre_LUFS centre_LRA centre_TP  stereo_LUFS stereo_TP  correlation"
    moving=0
    while read -r scene start end; do
        duration=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
        read -r ci clra ctp < <(loudness "$out/centre.wav" "$start" "$duration")
        read -r si _ stp < <(loudness "$out/stereo.wav" "$start" "$duration")
        corr=$(correlation "$out/stereo.wav" "$start" "$duration")
        moving=$((moving + $(awk -v l="$clra" 'BEGIN { print (l >= 2.0) ? 1 : 0 }')))
        printf "%5d  %7.2f  %11s %10s %9s  %11s %9s  %11s\n" "$scene" "$start" "$ci" "$clra" "$ctp" \
            "$si" "$stp" "$corr"
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
    echo "scenes with a loudness range of 2 LU or more: $moving of 21$(mark "$moving" -ge 14)"
    echo
    balance
} | tee "$out/report.txt"
