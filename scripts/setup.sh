#!/usr/bin/env bash
# Installs what the build needs (Debian packages) when it is missing, then
# configures and builds the given preset incrementally:
#
#   scripts/setup.sh [PRESET] [--tool] [--peers]
#
# --tool builds only the zonara tool and the effect's module (what ./zonara
# needs), not the tests and benchmarks; --peers also installs the programs
# the benchmarks compare against (bench/peers.sh). Each step that has work to do prints
# one line to standard error; the package manager's and the build's own
# output go to a log, whose path is printed when a step fails. A run with
# nothing to do prints nothing, so the tool's own output stays clean.
#
# One set-up at a time per build folder: a second one (./zonara while
# ./run-tests builds, say) waits for the first, then finds what it left.
# A set-up that succeeded leaves a stamp (scripts/build-stamp.sh); while
# nothing the build reads is newer, a run does nothing at all, without asking
# the package manager or the build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=build-stamp.sh
. "$ROOT/scripts/build-stamp.sh"
PRESET="${1:-default}"
ONLY_TOOL=0
PEERS=0
for option in "${@:2}"; do
  case "$option" in
    --tool) ONLY_TOOL=1 ;;
    --peers) PEERS=1 ;;
    *) echo "setup.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

# python3-pil and openimageio-tools: the tests read every output format back
# with Pillow, and with oiiotool where Pillow cannot. clang-format: run-tests
# checks that the sources keep the layout .clang-format describes.
PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev libopenimageio-dev libopencv-core-dev openimageio-tools libcairo2-dev
          libpugixml-dev libopencolorio-dev libdeflate-dev zlib1g-dev clang libclang-rt-dev python3-pil
          clang-format)

# The Windows cross build needs only the header-only libraries, MinGW-w64
# and, for the checks of its output, Wine (which runs it) and MinGW's
# binutils (whose objdump reads the module file; the compiler brings them).
if [ "$PRESET" = windows ]; then
  PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev g++-mingw-w64-x86-64-posix
            binutils-mingw-w64-x86-64 wine64)
fi

if [ "$PEERS" = 1 ]; then
  PACKAGES+=(ffmpeg openimageio-tools)
fi

mkdir -p "$ROOT/build/$PRESET"
LOG="$ROOT/build/setup-$PRESET.log"

# Held until this script ends, by its children too: two builds in one folder
# at once overwrite each other's objects (a link read a half-written one).
exec 9>"$ROOT/build/.setup-$PRESET.lock"
if ! flock -n 9; then
  echo "zonara: waiting for the other set-up of build/$PRESET" >&2
  flock 9
fi

SCOPE=all
[ "$ONLY_TOOL" = 1 ] && SCOPE=tool
FRESH=0
is_fresh "$PRESET" "$SCOPE" && FRESH=1
# Nothing to do, unless the benchmarks' programs are asked for.
if [ "$FRESH" = 1 ] && [ "$PEERS" = 0 ]; then
  exit 0
fi
# Dated before anything the build reads is read, so that a source saved
# while the build runs is newer than the stamp and built by the next run.
STARTED="$(mktemp "$ROOT/build/$PRESET/.setup-started-XXXXXX")"
OUTPUT="$(mktemp)"
trap 'rm -f "$STARTED" "$OUTPUT"' EXIT

# Runs a step with its output in the log; on failure shows the log's end and
# where the whole of it is.
step() {
  local what="$1"
  shift
  echo "zonara: $what" >&2
  echo "=== $what ($(date '+%F %T'))" >>"$LOG"
  if ! "$@" >>"$LOG" 2>&1; then
    echo "zonara: $what failed; the last lines of $LOG:" >&2
    tail -n 20 "$LOG" >&2
    echo "zonara: the whole log is $LOG" >&2
    exit 1
  fi
}

install_packages() {
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@"
}

# One query for every package; one it does not know is missing too.
declare -A installed=()
while read -r name state; do
  [ "$state" = "install ok installed" ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)
missing=()
for p in "${PACKAGES[@]}"; do
  [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${#missing[@]} packages (${missing[*]})" install_packages "${missing[@]}"
fi

cd "$ROOT"
if [ ! -f "build/$PRESET/build.ninja" ]; then
  step "configuring the $PRESET build" cmake --preset "$PRESET"
fi

if [ "$ONLY_TOOL" = 1 ]; then
  BUILD=(cmake --build "build/$PRESET" --target zonara Quorv_Zonara)
  WHAT="building the tool and the module"
else
  BUILD=(cmake --build --preset "$PRESET")
  WHAT="building the $PRESET preset"
fi
[ "$FRESH" = 1 ] && exit 0

# The build runs with its output in the log; its line appears as soon as it
# compiles or links something, so a run where nothing changed says nothing
# and adds nothing to the log. (A dry run cannot tell: it always stops at
# the check of the source folders.)
announce() {
  local said=0 line
  while IFS= read -r line; do
    if [ "$said" = 0 ] && [[ "$line" =~ Building|Linking ]]; then
      echo "zonara: $WHAT" >&2
      said=1
    fi
    printf '%s\n' "$line"
  done
}
BUILD_STARTED="$(date '+%F %T')"
status=0
"${BUILD[@]}" 2>&1 | announce >"$OUTPUT" || status=$?
if [ "$status" -ne 0 ] || grep -qE "Building|Linking" "$OUTPUT"; then
  { echo "=== $WHAT ($BUILD_STARTED)"; cat "$OUTPUT"; } >>"$LOG"
fi
if [ "$status" -ne 0 ]; then
  echo "zonara: $WHAT failed; the last lines of $LOG:" >&2
  tail -n 20 "$LOG" >&2
  echo "zonara: the whole log is $LOG" >&2
  exit 1
fi
# The whole build holds the tool's too.
if [ "$SCOPE" = all ]; then
  stamp_of "$PRESET" tool
  touch -r "$STARTED" "$STAMP"
fi
stamp_of "$PRESET" "$SCOPE"
mv -f "$STARTED" "$STAMP"
