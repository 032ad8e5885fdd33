#!/usr/bin/env bash
# Formats the C and C++ sources with clang-format and the style in
# .clang-format, in place:
#
#   scripts/format.sh [--check] [PATH...]
#
# PATHs (files or folders) narrow it to those; by default every tracked
# source under the folders that hold code. --check changes nothing: it lists
# the files whose formatting differs and fails when there is one, for a
# check before a commit or in a test stage.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

CHECK=0
PATHS=()
for argument in "$@"; do
  case "$argument" in
    --check) CHECK=1 ;;
    -h|--help) sed -n '2,10s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "format.sh: unknown option $argument" >&2; exit 2 ;;
    *) PATHS+=("$argument") ;;
  esac
done
[ ${#PATHS[@]} -eq 0 ] && PATHS=(src tools testhost tests bench fuzz sdk)

# The style file is read by clang-format 14; another version may lay out the
# same file differently, so a check would flag files nobody changed.
FORMAT="${CLANG_FORMAT:-clang-format}"
if ! command -v "$FORMAT" >/dev/null 2>&1; then
  echo "format.sh: $FORMAT not found (Debian: apt-get install clang-format)" >&2
  exit 2
fi

# Tracked files only: build output and scratch files are not the project's.
# The sources are .cpp and .h (pieces end in -inl.h); a .cc here is an ASC CDL
# file, such as the CDL reader's fuzz corpus, not C++.
mapfile -t FILES < <(git ls-files -- "${PATHS[@]}" | grep -E '\.(h|hpp|c|cpp|inc)$' || true)
if [ ${#FILES[@]} -eq 0 ]; then
  echo "format.sh: no C or C++ sources under ${PATHS[*]}" >&2
  exit 2
fi

if [ "$CHECK" = 0 ]; then
  printf '%s\0' "${FILES[@]}" | xargs -0 -n 32 -P "$(nproc)" "$FORMAT" -i --style=file
  exit 0
fi

# A file differs when clang-format would write anything else; its dry run
# names each such file in its warnings, many files to a process, one
# process at a time so that their reports do not interleave.
differing="$(printf '%s\0' "${FILES[@]}" |
  xargs -0 -n 64 "$FORMAT" --style=file --dry-run 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: \(warning\|error\): code should be clang-formatted.*/\1/p' | sort -u)"
if [ -n "$differing" ]; then
  printf '%s\n' "$differing"
  exit 1
fi
