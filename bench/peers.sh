#!/usr/bin/env bash
# Zonara against what a user would pick instead, like for like, on the same
# grainy frames in one run, as ratios (the machine's speed cancels out):
#
#   files   whole processes reading and writing the same files: zonara render
#           of an 8-bit PAM sequence against ffmpeg's nearest chain reading and
#           writing the same PAM frames, and of a float OpenEXR sequence
#           against oiiotool's chain run once per frame, as a script calls it.
#   memory  both sides in memory, their file reading and writing outside the
#           clock: zonara bench on grain against ffmpeg's chain on one grain
#           frame kept in memory and repeated (a lavfi source) into the null
#           muxer, and against oiiotool's chain on an in-memory frame, timed
#           by oiiotool itself (--runstats, per operation). Each side's
#           clock leaves its process's start out: zonara's frames' own times,
#           ffmpeg's progress reports from its first frame done to its last.
#
# Every measurement is taken RUNS times, alternated: each run goes through
# every command in turn, so that a slow spell on a shared machine falls on
# all of them alike. Printed are the minimum, median and maximum of each, and
# of each ratio (zonara's time over the peer's within one run: below 1,
# zonara is faster).
#
# Looks: default (the effect copies: the tool's own plumbing), full (every
# control moved, in a rotated ellipse with the default feather), soft (both
# sides graded with gammas and saturation in a rotated ellipse whose wide
# Gaussian feather leaves much of the frame in the band) and
# soft-exponential (the same with an exponential falloff). They are the looks
# `zonara bench --grade NAME` times; the values below must stay as that
# command's.
#
#   bench/peers.sh [--runs N] [--frames N] [--size WxH] [--only files|memory] [WORK_FOLDER]
#
# Defaults: 5 runs, 6 frames of 3840x2160, both comparisons. Frames are made
# in WORK_FOLDER (a fresh temporary folder by default, kept for reuse when
# given). Installs ffmpeg and oiiotool (Debian) when missing; builds the tool.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS=5
FRAMES=6
SIZE=3840x2160
ONLY=""
WORK=""
THREADS=2

usage() {
  sed -n 's/^#   bench/bench/p' "${BASH_SOURCE[0]}" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) RUNS="${2:-}"; shift 2 ;;
    --frames) FRAMES="${2:-}"; shift 2 ;;
    --size) SIZE="${2:-}"; shift 2 ;;
    --only) ONLY="${2:-}"; shift 2 ;;
    -h|--help) usage ;;
    -*) echo "peers: unknown option $1" >&2; usage ;;
    *) [ -z "$WORK" ] || usage; WORK="$1"; shift ;;
  esac
done
[[ "$RUNS" =~ ^[1-9][0-9]*$ ]] || { echo "peers: --runs takes a whole number from 1" >&2; exit 2; }
[[ "$FRAMES" =~ ^[1-9][0-9]*$ ]] || { echo "peers: --frames takes a whole number from 1" >&2; exit 2; }
[[ "$SIZE" =~ ^([1-9][0-9]{1,4})x([1-9][0-9]{1,4})$ ]] || { echo "peers: --size reads WxH, such as 3840x2160" >&2; exit 2; }
WIDTH="${BASH_REMATCH[1]}"
HEIGHT="${BASH_REMATCH[2]}"
case "$ONLY" in ""|files|memory) ;; *) echo "peers: --only takes files or memory" >&2; exit 2 ;; esac
[ "$RUNS" -ge 5 ] || echo "peers: fewer than 5 runs: a median of so few says little" >&2

"$ROOT/scripts/setup.sh" default --tool --peers
# Through the checkout's ./zonara, as a user calls it: its date check (a few
# milliseconds) is in every whole-process figure.
ZONARA="$ROOT/zonara"
if [ -z "$WORK" ]; then
  WORK="$(mktemp -d "${TMPDIR:-/tmp}/zonara-peers.XXXXXX")"
  trap 'rm -rf "$WORK"' EXIT
fi
mkdir -p "$WORK"
cd "$WORK"

num() {  # the value of an arithmetic expression, as the tool reads numbers
  awk "BEGIN { printf \"%.17g\", $1 }"
}

# The looks, as zonara bench --grade sets them: a rotated ellipse of 0.8 x 0.8
# of the frame about its centre.
WINDOW=(--set window_type=Ellipse --set "origin=$((WIDTH / 2)),$((HEIGHT / 2))"
        --set "width=$(num "0.8 * $WIDTH")" --set "height=$(num "0.8 * $HEIGHT")" --set angle=30)
LOOK_FULL=("${WINDOW[@]}"
  --set in_offset=0.02 --set in_gamma=1.1 --set in_gain=1.05 --set in_saturation=1.3
  --set in_red_offset=-0.01 --set in_red_gamma=0.9 --set in_red_gain=1.1
  --set in_green_offset=0.015 --set in_green_gamma=1.2 --set in_green_gain=0.95
  --set in_blue_offset=0.01 --set in_blue_gamma=0.85 --set in_blue_gain=1.05
  --set out_offset=-0.02 --set out_gamma=0.9 --set out_gain=0.95 --set out_saturation=0.6
  --set out_red_offset=0.01 --set out_red_gamma=1.15 --set out_red_gain=0.9
  --set out_green_offset=-0.015 --set out_green_gamma=0.8 --set out_green_gain=1.05
  --set out_blue_offset=0.02 --set out_blue_gamma=1.25 --set out_blue_gain=0.97)
# 700 px at 3840 wide: the feather band (0 < weight < 1) then covers much
# of the frame.
LOOK_SOFT=("${WINDOW[@]}" --set "feather=$(num "700 * $WIDTH / 3840")" --set falloff=Gaussian
  --set in_offset=0.02 --set in_saturation=1.3 --set in_red_gamma=1.1 --set in_red_gain=1.05
  --set in_green_gamma=1.2 --set in_blue_gamma=0.9
  --set out_gain=0.7 --set out_saturation=0.8 --set out_red_gamma=0.95 --set out_green_gamma=1.05
  --set out_blue_gamma=1.15)
LOOK_SOFT_EXPONENTIAL=("${LOOK_SOFT[@]}" --set falloff=Exponential)

# The peers' nearest chains: per-channel gammas, gains and a lift, saturation,
# and (ffmpeg) a vignette for the window.
FFMPEG_CHAIN="lutrgb=r='clip(pow(val/255\,1/1.1)*1.05*255+5\,0\,255)':g='clip(pow(val/255\,1/1.2)*255\,0\,255)':b='clip(pow(val/255\,1/0.9)*255\,0\,255)',hue=s=1.3,vignette=angle=0.6"
# shellcheck disable=SC2054  # the commas separate oiiotool's channel values
OIIO_CHAIN=(--powc 0.909,0.833,1.111,1 --mulc 1.155,0.9975,1.1025,1 --addc 0.01,0.035,0.03,0 --saturate 1.3
            --clamp:min=0)
FFMPEG_THREADS=(-threads "$THREADS" -filter_threads "$THREADS")

# One line per measurement: SECTION|NAME|RUN|SECONDS|FRAMES|PEAK_KIB.
TIMINGS="$WORK/timings"
: >"$TIMINGS"
record() {
  echo "$1|$2|$3|$4|$5|${6:-0}" >>"$TIMINGS"
}

# Runs a whole process and records its wall time and peak resident size; its
# output is dropped, a failure stops the script.
whole() {  # NAME RUN COMMAND...
  local name="$1" run="$2"
  shift 2
  if ! /usr/bin/time -f '%e %M' -o stats "$@" >/dev/null 2>errors; then
    echo "peers: $name failed:" >&2
    tail -n 5 errors >&2
    exit 1
  fi
  local seconds peak
  read -r seconds peak <stats
  record files "$name" "$run" "$seconds" "$FRAMES" "$peak"
}

now() { date +%s.%N; }

# zonara bench's own clock: the sum of its frames' render times.
zonara_memory() {  # NAME RUN BENCH_OPTIONS...
  local name="$1" run="$2"
  shift 2
  local seconds
  seconds=$("$ZONARA" bench --size "$SIZE" --content noise --frames "$MEMORY_FRAMES" "$@" |
            awk '/^frame [0-9]+: render/ { ms += $4 } END { printf "%.6f", ms / 1000 }')
  record memory "$name" "$run" "$seconds" "$MEMORY_FRAMES"
}

# ffmpeg from one grain frame made once and repeated from memory, into the
# null muxer (no encoding, nothing written). Its clock runs from its first
# progress report with a frame done to its last, so that its start and the
# making of its one frame stay outside, as they do for the others.
ffmpeg_memory() {  # NAME RUN
  local span
  span=$(ffmpeg -v error "${FFMPEG_THREADS[@]}" -f lavfi \
      -i "testsrc2=size=$SIZE:rate=24,noise=alls=40:allf=t,format=rgba,loop=loop=-1:size=1" \
      -frames:v "$MEMORY_FRAMES" -vf "$FFMPEG_CHAIN" -nostats -stats_period 0.1 -progress pipe:1 -f null - |
    while IFS='=' read -r key value; do
      case "$key" in
        frame) frame="$value" ;;
        progress) echo "$EPOCHREALTIME $frame" ;;
      esac
    done |
    awk '$2 > 0 && !started { t0 = $1; f0 = $2; started = 1 } { t = $1; f = $2 }
         END { if (f > f0) printf "%.6f %d", t - t0, f - f0 }')
  if [ -z "$span" ]; then
    echo "peers: ffmpeg finished within one progress report; run with more --frames" >&2
    exit 1
  fi
  local seconds count
  read -r seconds count <<<"$span"
  record memory "$1" "$2" "$seconds" "$count"
}

# oiiotool's chain on copies of one in-memory grain frame, timed per
# operation by oiiotool; the pattern's making and the copies are left out.
oiiotool_memory() {  # NAME RUN
  local chain=()
  for _ in $(seq "$MEMORY_FRAMES"); do
    chain+=(--dup "${OIIO_CHAIN[@]}" --pop)
  done
  local seconds
  seconds=$(oiiotool --threads "$THREADS" --runstats \
      --pattern noise:type=uniform:min=0:max=1 "$SIZE" 4 "${chain[@]}" 2>&1 |
    awk '/^ +-+(powc|mulc|addc|saturate|clamp)[^ ]* *:/ { s += $NF } END { printf "%.6f", s }')
  record memory "$1" "$2" "$seconds" "$MEMORY_FRAMES"
}

make_frames() {
  [ -f frames.stamp ] && [ "$(cat frames.stamp)" = "$SIZE $FRAMES" ] && return
  echo "peers: making $FRAMES frames of $SIZE in $WORK" >&2
  rm -f in.*.pam in.*.exr frames.stamp
  # Grainy footage: a moving test picture with strong per-frame noise.
  ffmpeg -v error -f lavfi -i "testsrc2=size=$SIZE:rate=24,noise=alls=40:allf=t" -frames:v "$FRAMES" \
         -pix_fmt rgba -start_number 1 -c:v pam -f image2 in.%04d.pam
  # The same pictures in float, by way of PNG (oiiotool reads no PAM).
  for i in $(seq -f %04g 1 "$FRAMES"); do
    ffmpeg -v error -i "in.$i.pam" -y "png.$i.png"
    oiiotool "png.$i.png" -d float -o "in.$i.exr"
    rm -f "png.$i.png"
  done
  echo "$SIZE $FRAMES" >frames.stamp
}

# oiiotool takes one frame per run, as a script would call it.
cat >per-frame-oiiotool.sh <<SCRIPT
for i in \$(seq -f %04g 1 $FRAMES); do
  oiiotool --threads $THREADS in.\$i.exr ${OIIO_CHAIN[*]} -d float -o oiio.\$i.exr
done
SCRIPT

run_files() {  # RUN
  local run="$1"
  whole "ffmpeg chain, 8-bit PAM" "$run" ffmpeg -v error "${FFMPEG_THREADS[@]}" -i in.%04d.pam \
    -vf "$FFMPEG_CHAIN" -pix_fmt rgba -c:v pam -start_number 1 -f image2 -y ffmpeg.%04d.pam
  whole "zonara, 8-bit PAM, default" "$run" "$ZONARA" render in.%04d.pam -o out.%04d.pam --frames "1-$FRAMES"
  whole "zonara, 8-bit PAM, full" "$run" "$ZONARA" render in.%04d.pam -o out.%04d.pam --frames "1-$FRAMES" \
    "${LOOK_FULL[@]}"
  whole "zonara, 8-bit PAM, soft" "$run" "$ZONARA" render in.%04d.pam -o out.%04d.pam --frames "1-$FRAMES" \
    "${LOOK_SOFT[@]}"
  whole "zonara, 8-bit PAM, soft-exponential" "$run" "$ZONARA" render in.%04d.pam -o out.%04d.pam \
    --frames "1-$FRAMES" "${LOOK_SOFT_EXPONENTIAL[@]}"
  whole "oiiotool chain per frame, float EXR" "$run" bash per-frame-oiiotool.sh
  whole "zonara, float EXR, full" "$run" "$ZONARA" render in.%04d.exr -o out.%04d.exr --frames "1-$FRAMES" \
    "${LOOK_FULL[@]}"
  whole "zonara, float EXR, soft" "$run" "$ZONARA" render in.%04d.exr -o out.%04d.exr --frames "1-$FRAMES" \
    "${LOOK_SOFT[@]}"
  whole "zonara, float EXR, soft-exponential" "$run" "$ZONARA" render in.%04d.exr -o out.%04d.exr \
    --frames "1-$FRAMES" "${LOOK_SOFT_EXPONENTIAL[@]}"
}

run_memory() {  # RUN
  local run="$1"
  ffmpeg_memory "ffmpeg chain, 8-bit RGBA" "$run"
  zonara_memory "zonara, ARGB 8-bit, full" "$run" --host ae --depth 8 "${LOOK_FULL[@]}"
  zonara_memory "zonara, ARGB 8-bit, soft" "$run" --host ae --depth 8 "${LOOK_SOFT[@]}"
  zonara_memory "zonara, ARGB 8-bit, soft-exponential" "$run" --host ae --depth 8 "${LOOK_SOFT_EXPONENTIAL[@]}"
  oiiotool_memory "oiiotool chain, float" "$run"
  zonara_memory "zonara, BGRA float, full" "$run" --host premiere --depth float "${LOOK_FULL[@]}"
  zonara_memory "zonara, BGRA float, soft" "$run" --host premiere --depth float "${LOOK_SOFT[@]}"
  zonara_memory "zonara, BGRA float, soft-exponential" "$run" --host premiere --depth float \
    "${LOOK_SOFT_EXPONENTIAL[@]}"
}

# In memory a frame costs a fraction of what it costs with files: more of
# them keep the clock's resolution and ffmpeg's start small beside the work.
MEMORY_FRAMES=$((FRAMES * 5))
[ "$ONLY" = memory ] || make_frames
for run in $(seq "$RUNS"); do
  echo "peers: run $run of $RUNS" >&2
  [ "$ONLY" = memory ] || run_files "$run"
  [ "$ONLY" = files ] || run_memory "$run"
done

python3 - "$TIMINGS" "$SIZE" "$RUNS" "$FRAMES" <<'PY'
import statistics, sys
from collections import defaultdict

path, size, runs, frames = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
width, height = (int(v) for v in size.split("x"))
per_frame = defaultdict(dict)  # (section, name) -> run -> seconds a frame
peaks = defaultdict(list)
for line in open(path):
    section, name, run, seconds, frames_timed, peak = line.rstrip("\n").split("|")
    per_frame[(section, name)][int(run)] = float(seconds) / int(frames_timed)
    peaks[(section, name)].append(int(peak))

def count(n, noun):
    return f"{n} {noun}" + ("" if n == 1 else "s")

def spread(values):
    return min(values), statistics.median(values), max(values)

def table(section, title):
    keys = [key for key in per_frame if key[0] == section]
    if not keys:
        return
    print(f"\n{title}, {count(runs, 'run')} alternated; ms a frame, min / median / max:")
    for key in keys:
        low, middle, high = spread(list(per_frame[key].values()))
        rate = f"{width * height / 1e6 / middle:8.1f} Mpix/s" if middle > 0 else ""
        peak = f"  {statistics.median(peaks[key]) / 1024:6.0f} MiB peak" if max(peaks[key]) else ""
        print(f"  {key[1]:40s} {low * 1e3:8.1f} {middle * 1e3:8.1f} {high * 1e3:8.1f} {rate}{peak}")

# Zonara's time a frame over the peer's in the same run.
def ratios(section, peer, rows):
    if (section, peer) not in per_frame:
        return
    print(f"  zonara's time over that of the {peer}, run by run (below 1: zonara faster); min / median / max:")
    theirs = per_frame[(section, peer)]
    for name, target in rows:
        ours = per_frame.get((section, name), {})
        values = [ours[r] / theirs[r] for r in ours if r in theirs and theirs[r] > 0]
        if not values:
            print(f"    {name}: the peer's clock read 0; run with more --frames")
            continue
        low, middle, high = spread(values)
        aim = f"   target at most {target}" if target else ""
        print(f"    {name:40s} {low:6.2f} {middle:6.2f} {high:6.2f}{aim}")

table("files", f"files: whole processes on {count(frames, 'frame')} of {size}")
ratios("files", "ffmpeg chain, 8-bit PAM", [
    ("zonara, 8-bit PAM, default", "0.35"),
    ("zonara, 8-bit PAM, full", "0.6"),
    ("zonara, 8-bit PAM, soft", "0.6"),
    ("zonara, 8-bit PAM, soft-exponential", "0.6"),
])
ratios("files", "oiiotool chain per frame, float EXR", [
    ("zonara, float EXR, full", "0.5"),
    ("zonara, float EXR, soft", "0.5"),
    ("zonara, float EXR, soft-exponential", "0.5"),
])
table("memory", f"memory: frames of {size}, file reading and writing outside the clock")
ratios("memory", "ffmpeg chain, 8-bit RGBA", [
    ("zonara, ARGB 8-bit, full", ""),
    ("zonara, ARGB 8-bit, soft", ""),
    ("zonara, ARGB 8-bit, soft-exponential", ""),
])
ratios("memory", "oiiotool chain, float", [
    ("zonara, BGRA float, full", ""),
    ("zonara, BGRA float, soft", ""),
    ("zonara, BGRA float, soft-exponential", ""),
])
PY
