#!/usr/bin/env bash
# Builds the fuzzers with clang (ASan + UBSan + libFuzzer) and runs them over
# their seed corpora for a bounded time, each on one core: the effect through
# the simulated host for SECONDS while, on a second core, the built-in PAM and
# PFM readers run for a quarter of that (at least ten seconds) and then the
# zonara tool's CDL reader for ZONARA_FUZZ_CDL_SECONDS (default 30). The two
# file readers' output is shown once the effect's fuzzer is done.
#
#   fuzz/run-fuzz.sh [SECONDS] [more libFuzzer flags for the effect's fuzzer...]
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

# The file readers' fuzzers, one after the other, beside the effect's: they
# share nothing with it and each is bound to one core.
IMAGE_SECONDS=$(( SECONDS_TO_RUN / 4 > 10 ? SECONDS_TO_RUN / 4 : 10 ))
CDL_SECONDS="${ZONARA_FUZZ_CDL_SECONDS:-30}"
mkdir -p "$WORK/cdl"
fuzz_file_readers() {
  echo "zonara fuzz: ${IMAGE_SECONDS}s of the PAM and PFM readers over $(ls "$ROOT/fuzz/images/corpus" | wc -l) seed files"
  "$BUILD/zonara_fuzz_images" -max_total_time="$IMAGE_SECONDS" -max_len=4096 -rss_limit_mb=2048 \
      -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/images-" "$@" \
      "$WORK/images" "$ROOT/fuzz/images/corpus" || return
  echo "zonara fuzz: CDL reader, ${CDL_SECONDS}s over $(ls "$ROOT/fuzz/corpus_cdl" | wc -l) seed files"
  "$BUILD/zonara_fuzz_cdl" -max_total_time="$CDL_SECONDS" -max_len=16384 -rss_limit_mb=2048 \
      -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/cdl-" \
      "$WORK/cdl" "$ROOT/fuzz/corpus_cdl"
}
fuzz_file_readers "$@" >"$WORK/file-readers.log" 2>&1 &
READERS_PID=$!

effect_status=0
echo "zonara fuzz: ${SECONDS_TO_RUN}s over $(ls "$ROOT/fuzz/corpus" | wc -l) seed inputs" >&2
"$BUILD/zonara_fuzz" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -rss_limit_mb=2048 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" "$@" \
    "$WORK/effect" "$ROOT/fuzz/corpus" || effect_status=$?

readers_status=0
wait "$READERS_PID" || readers_status=$?
cat "$WORK/file-readers.log" >&2
[ "$effect_status" -eq 0 ] || exit "$effect_status"
exit "$readers_status"
