#!/usr/bin/env bash
# Whole processes on the same six 3840x2160 frames, timed in one run so that
# only the ratios matter: zonara render reading, grading and writing an 8-bit
# PAM sequence (a full grade in a rotated, feathered ellipse, and the default
# settings, where the effect only copies) against ffmpeg's nearest chain on
# the raw RGBA frames, and a float OpenEXR sequence against oiiotool's chain
# run once per frame. Prints wall time and peak resident size of each, and
# the ratios.
#
#   bench/peers-process.sh [WORK_FOLDER]
#
# Installs ffmpeg and oiiotool (Debian) when missing; builds the tool first.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WORK="${1:-$(mktemp -d "${TMPDIR:-/tmp}/zonara-peers.XXXXXX")}"
mkdir -p "$WORK"
FRAMES=6
SIZE=3840x2160
THREADS=2

"$ROOT/scripts/setup.sh" default --tool --peers
ZONARA="$ROOT/build/default/zonara"

# The same grade in both tools, as near as their operations allow: per
# channel gammas and gains, a lift, saturation and a vignette-like window.
FULL_GRADE=(--set angle=30 --set width=3072 --set height=1728 --set feather=400
            --set in_red_gamma=1.1 --set in_red_gain=1.05 --set in_green_gamma=1.2 --set in_blue_gamma=0.9
            --set in_saturation=1.3 --set in_offset=0.02 --set out_gain=0.7 --set out_saturation=0.8)
FFMPEG_CHAIN="lutrgb=r='clip(pow(val/255\,1/1.1)*1.05*255+5\,0\,255)':g='clip(pow(val/255\,1/1.2)*255\,0\,255)':b='clip(pow(val/255\,1/0.9)*255\,0\,255)',hue=s=1.3,vignette=angle=0.6"
OIIO_CHAIN=(--powc 0.909,0.833,1.111,1 --mulc 1.155,0.9975,1.1025,1 --addc 0.01,0.035,0.03,0 --saturate 1.3 --clamp:min=0)

cd "$WORK"
if [ ! -f frames.rgba ]; then
  echo "peers: making $FRAMES frames of $SIZE in $WORK" >&2
  # Grainy footage: a moving test picture with strong per-frame noise.
  ffmpeg -v error -f lavfi -i "testsrc2=size=$SIZE:rate=24,noise=alls=40:allf=t" -frames:v $FRAMES \
         -pix_fmt rgba -f rawvideo frames.rgba
  ffmpeg -v error -f rawvideo -pix_fmt rgba -s $SIZE -i frames.rgba -start_number 1 -c:v pam -f image2 in.%04d.pam
  ffmpeg -v error -f rawvideo -pix_fmt rgba -s $SIZE -i frames.rgba -start_number 1 -f image2 png.%04d.png
  for i in $(seq -f %04g 1 $FRAMES); do
    oiiotool png.$i.png -d float -o in.$i.exr
  done
  rm -f png.*.png
fi

# Runs a command, printing "NAME SECONDS PEAK_MIB"; the command's output is dropped.
measure() {
  local name="$1"
  shift
  /usr/bin/time -f '%e %M' -o stats "$@" >/dev/null 2>&1
  read -r seconds peak_kb <stats
  printf '%-38s %7.2f s %6d MiB peak\n' "$name" "$seconds" "$(( peak_kb / 1024 ))"
  echo "$name $seconds" >>timings
}

# oiiotool takes one frame per run, as a script would call it.
cat >per-frame-oiiotool.sh <<SCRIPT
for i in \$(seq -f %04g 1 $FRAMES); do
  oiiotool --threads $THREADS in.\$i.exr ${OIIO_CHAIN[*]} -d float -o oiio.\$i.exr
done
SCRIPT

rm -f timings
echo "whole processes, $FRAMES frames of $SIZE:"
measure "ffmpeg chain, raw RGBA" ffmpeg -v error -threads $THREADS -filter_threads $THREADS -f rawvideo \
        -pix_fmt rgba -s $SIZE -i frames.rgba -vf "$FFMPEG_CHAIN" -f rawvideo -pix_fmt rgba -y ffmpeg.rgba
measure "zonara render, 8-bit PAM, full" "$ZONARA" render in.%04d.pam -o out.%04d.pam --frames 1-$FRAMES "${FULL_GRADE[@]}"
measure "zonara render, 8-bit PAM, default" "$ZONARA" render in.%04d.pam -o out.%04d.pam --frames 1-$FRAMES
measure "oiiotool chain per frame, float EXR" bash per-frame-oiiotool.sh
measure "zonara render, float EXR, full" "$ZONARA" render in.%04d.exr -o out.%04d.exr --frames 1-$FRAMES "${FULL_GRADE[@]}"

python3 - timings <<'PY'
import sys
t = {}
for line in open(sys.argv[1]):
    name, seconds = line.rsplit(" ", 1)
    t[name] = float(seconds)
ff = t["ffmpeg chain, raw RGBA"]
oi = t["oiiotool chain per frame, float EXR"]
print("ratios of wall time (zonara / peer):")
print(f"  8-bit PAM, full grade / ffmpeg:  {t['zonara render, 8-bit PAM, full'] / ff:.2f}  (target at most 0.6)")
print(f"  8-bit PAM, default / ffmpeg:     {t['zonara render, 8-bit PAM, default'] / ff:.2f}  (target at most 0.35)")
print(f"  float EXR, full grade / oiiotool: {t['zonara render, float EXR, full'] / oi:.2f}  (target at most 0.5)")
PY
