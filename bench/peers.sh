#!/usr/bin/env bash
# Zonara against what a user would pick instead, on the same 3840x2160 grain
# frames in one run, as ratios (this machine's speed cancels out):
#   - ffmpeg's nearest chain (per-channel power, gain and offset by lutrgb,
#     saturation by hue, a vignette) on raw 8-bit RGBA, 2 threads: the whole
#     process, reading and writing raw frames;
#   - oiiotool's powc/mulc/addc/saturate/clamp chain on a float frame, 2
#     threads: the chain's time, less the same process reading and writing the
#     frame without it;
#   - zonara bench --content noise --grade full (a rotated, feathered
#     ellipse) in every host and depth.
# Installs ffmpeg and oiiotool (Debian packages) when missing.
# Usage: bench/peers.sh [FRAMES]   (default 10)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FRAMES="${1:-10}"
WIDTH=3840
HEIGHT=2160
PIXELS=$((WIDTH * HEIGHT))

missing=()
command -v ffmpeg >/dev/null 2>&1 || missing+=(ffmpeg)
command -v oiiotool >/dev/null 2>&1 || missing+=(openimageio-tools)
if [ ${#missing[@]} -gt 0 ]; then
  echo "peers: installing ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >&2
fi
"$ROOT/scripts/setup.sh" default
ZONARA="$ROOT/build/default/zonara"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

calc() {  # prints the value of an arithmetic expression
  awk "BEGIN { printf \"%.6f\", $1 }"
}

seconds_of() {  # runs the command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  calc "$end - $start"
}

rate() {  # megapixels per second of N frames in S seconds
  calc "$1 * $PIXELS / $2 / 1000000"
}

# Grain: every pixel a random colour, FRAMES frames of raw RGBA.
head -c $((PIXELS * 4 * FRAMES)) /dev/urandom >"$WORK/noise.rgba"
oiiotool --pattern noise:type=uniform:min=0:max=1 "${WIDTH}x${HEIGHT}" 4 -d float \
  --compression none -o "$WORK/noise.exr" >/dev/null

FFMPEG_CHAIN="lutrgb=r='clip(pow(val/255\,1/1.1)*1.05*255+5\,0\,255)':g='clip(pow(val/255\,1/1.2)*255\,0\,255)':b='clip(pow(val/255\,1/0.9)*255\,0\,255)',hue=s=1.3,vignette=angle=0.6"
ffmpeg_seconds=$(seconds_of ffmpeg -v error -threads 2 -filter_threads 2 -f rawvideo -pix_fmt rgba \
  -s "${WIDTH}x${HEIGHT}" -i "$WORK/noise.rgba" -vf "$FFMPEG_CHAIN" -f rawvideo -pix_fmt rgba -y /dev/null)
ffmpeg_rate=$(rate "$FRAMES" "$ffmpeg_seconds")

oiio_chain=0
oiio_plain=0
for _ in $(seq "$FRAMES"); do
  chain=$(seconds_of oiiotool --threads 2 "$WORK/noise.exr" --powc 0.909,0.833,1.111,1 \
    --mulc 1.155,0.9975,1.1025,1 --addc 0.01,0.035,0.03,0 --saturate 1.3 --clamp:min=0 \
    --compression none -o "$WORK/out.exr")
  plain=$(seconds_of oiiotool --threads 2 "$WORK/noise.exr" --compression none -o "$WORK/out.exr")
  oiio_chain=$(calc "$oiio_chain + $chain")
  oiio_plain=$(calc "$oiio_plain + $plain")
done
oiio_rate=$(rate "$FRAMES" "$(calc "$oiio_chain - $oiio_plain")")

zonara_rate() {  # HOST DEPTH: the render's Mpix/s on grain with the full grade
  "$ZONARA" bench --host "$1" --depth "$2" --grade full --content noise --frames "$FRAMES" |
    awk '/^render / {print $2}'
}
argb8=$(zonara_rate ae 8)
argb16=$(zonara_rate ae 16)
bgra8=$(zonara_rate premiere 8)
bgra32f=$(zonara_rate premiere float)

printf 'peers on %dx%d grain, %d frames\n' "$WIDTH" "$HEIGHT" "$FRAMES"
printf '%-28s %10s %8s %8s\n' "" "Mpix/s" "ratio" "target"
printf '%-28s %10.1f\n' "ffmpeg chain (8-bit RGBA)" "$ffmpeg_rate"
printf '%-28s %10.1f\n' "oiiotool chain (float)" "$oiio_rate"
printf '%-28s %10.1f %8.2f %8s\n' "zonara ARGB 8-bit" "$argb8" "$(calc "$argb8 / $ffmpeg_rate")" "3"
printf '%-28s %10.1f %8.2f %8s\n' "zonara BGRA 8-bit" "$bgra8" "$(calc "$bgra8 / $ffmpeg_rate")" "3"
printf '%-28s %10.1f %8.2f %8s\n' "zonara ARGB 16-bit" "$argb16" "$(calc "$argb16 / $ffmpeg_rate")" "2.5"
printf '%-28s %10.1f %8.2f %8s\n' "zonara BGRA float" "$bgra32f" "$(calc "$bgra32f / $oiio_rate")" "10"
