#!/usr/bin/env bash
# Builds the fuzzers with clang (ASan + UBSan + libFuzzer) and runs them over
# their seed corpora for a bounded time on every core: first the effect
# through the simulated host, one fuzzing process per core for SECONDS, the
# processes sharing what they find; then side by side the built-in PAM and
# PFM readers for half of SECONDS (at least ten seconds) and the zonara
# tool's CDL reader for ZONARA_FUZZ_CDL_SECONDS (default 30), one core each;
# then the tool's text inputs (presets, --frames, output patterns, --set)
# for ZONARA_FUZZ_TEXT_SECONDS (default 20).
# Each fuzzer's output is shown once it is done.
#
#   fuzz/run-fuzz.sh [SECONDS] [more libFuzzer flags for the effect's fuzzer...]
#
# The effect's fuzzer runs in a scratch folder (where libFuzzer puts each
# process's log): paths in the extra flags must be absolute.
#
# New inputs go to a scratch folder, so the committed corpus stays as it is;
# a failing input is kept as build/fuzz/artifacts/crash-* (replay it with
# build/fuzz/zonara_fuzz FILE). Exit status: 0 when nothing was found.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SECONDS_TO_RUN="${1:-120}"
shift || true
BUILD="$ROOT/build/fuzz"

if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT/fuzz" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >&2
fi
cmake --build "$BUILD" >&2

WORK="$(mktemp -d "${TMPDIR:-/tmp}/zonara-fuzz.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$BUILD/artifacts" "$WORK/effect" "$WORK/images"

CORES="$(nproc)"
IMAGE_SECONDS=$(( SECONDS_TO_RUN / 2 > 10 ? SECONDS_TO_RUN / 2 : 10 ))
CDL_SECONDS="${ZONARA_FUZZ_CDL_SECONDS:-30}"
TEXT_SECONDS="${ZONARA_FUZZ_TEXT_SECONDS:-20}"
mkdir -p "$WORK/cdl" "$WORK/text" "$WORK/logs"

# libFuzzer runs the processes (-jobs), writes each one's output to
# fuzz-N.log in the current folder and shows it as the process ends; they
# all add to one scratch corpus and read back what the others added.
echo "zonara fuzz: ${SECONDS_TO_RUN}s on ${CORES} cores over $(ls "$ROOT/fuzz/corpus" | wc -l) seed inputs" >&2
effect_status=0
(cd "$WORK/logs" &&
  "$BUILD/zonara_fuzz" -jobs="$CORES" -workers="$CORES" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 \
      -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" "$@" \
      "$WORK/effect" "$ROOT/fuzz/corpus") >&2 || effect_status=$?

# The two file readers share nothing with each other: one core each.
echo "zonara fuzz: ${IMAGE_SECONDS}s of the PAM and PFM readers over $(ls "$ROOT/fuzz/images/corpus" | wc -l) seed files," \
     "beside ${CDL_SECONDS}s of the CDL reader over $(ls "$ROOT/fuzz/corpus_cdl" | wc -l) seed files" >&2
"$BUILD/zonara_fuzz_images" -max_total_time="$IMAGE_SECONDS" -max_len=4096 -rss_limit_mb=2048 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/images-" \
    "$WORK/images" "$ROOT/fuzz/images/corpus" >"$WORK/images.log" 2>&1 &
IMAGES_PID=$!
cdl_status=0
"$BUILD/zonara_fuzz_cdl" -max_total_time="$CDL_SECONDS" -max_len=16384 -rss_limit_mb=2048 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/cdl-" \
    "$WORK/cdl" "$ROOT/fuzz/corpus_cdl" >"$WORK/cdl.log" 2>&1 || cdl_status=$?
images_status=0
wait "$IMAGES_PID" || images_status=$?
cat "$WORK/images.log" "$WORK/cdl.log" >&2

# Small texts: a preset far past its limits is the reader's own check, not
# the fuzzer's; -malloc_limit_mb makes any allocation out of proportion to
# them a finding.
echo "zonara fuzz: ${TEXT_SECONDS}s of the text inputs over $(ls "$ROOT/fuzz/corpus_text" | wc -l) seed inputs" >&2
text_status=0
"$BUILD/zonara_fuzz_text" -max_total_time="$TEXT_SECONDS" -max_len=8192 -rss_limit_mb=2048 -malloc_limit_mb=256 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/text-" \
    "$WORK/text" "$ROOT/fuzz/corpus_text" >"$WORK/text.log" 2>&1 || text_status=$?
cat "$WORK/text.log" >&2
for status in "$effect_status" "$images_status" "$cdl_status" "$text_status"; do
  [ "$status" -eq 0 ] || exit "$status"
done
