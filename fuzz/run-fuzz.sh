#!/usr/bin/env bash
# Builds the fuzzer with clang (ASan + UBSan + libFuzzer) and runs it over the
# seed corpus for a bounded time, on one core.
#
#   fuzz/run-fuzz.sh [SECONDS] [more libFuzzer flags...]
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
