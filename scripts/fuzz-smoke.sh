#!/usr/bin/env bash
# The bounded fuzz step of run-tests: a minute of coverage-guided
# fuzzing of the effect through the simulated host on every core (two
# minutes of one core on this project's two-core machines), starting from the
# committed corpus. ZONARA_FUZZ_SECONDS changes the time; ZONARA_SKIP_FUZZ=1
# skips the step.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ "${ZONARA_SKIP_FUZZ:-0}" = "1" ]; then
  echo "zonara fuzz: skipped (ZONARA_SKIP_FUZZ=1)" >&2
  exit 0
fi
if ! command -v clang++ >/dev/null 2>&1; then
  echo "zonara fuzz: clang++ not found; run scripts/setup.sh" >&2
  exit 1
fi
exec "$ROOT/fuzz/run-fuzz.sh" "${ZONARA_FUZZ_SECONDS:-60}"
