#!/usr/bin/env bash
# Builds the fuzzers with clang (ASan + UBSan + libFuzzer) and runs each over
# its seed corpus for a bounded time, on one core: the effect for SECONDS,
# then the zonara tool's CDL reader for ZONARA_FUZZ_CDL_SECONDS (default 30).
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
mkdir -p "$BUILD/artifacts"

echo "zonara fuzz: ${SECONDS_TO_RUN}s over $(ls "$ROOT/fuzz/corpus" | wc -l) seed inputs" >&2
"$BUILD/zonara_fuzz" -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -rss_limit_mb=2048 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/" "$@" \
    "$WORK" "$ROOT/fuzz/corpus"

CDL_SECONDS="${ZONARA_FUZZ_CDL_SECONDS:-30}"
mkdir -p "$WORK/cdl"
echo "zonara fuzz: CDL reader, ${CDL_SECONDS}s over $(ls "$ROOT/fuzz/corpus_cdl" | wc -l) seed files" >&2
"$BUILD/zonara_fuzz_cdl" -max_total_time="$CDL_SECONDS" -max_len=16384 -rss_limit_mb=2048 \
    -timeout=25 -print_final_stats=1 -artifact_prefix="$BUILD/artifacts/cdl-" \
    "$WORK/cdl" "$ROOT/fuzz/corpus_cdl"
