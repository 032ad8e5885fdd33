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
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
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

PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev libopenimageio-dev libopencv-core-dev openimageio-tools libcairo2-dev
          libpugixml-dev libopencolorio-dev clang libclang-rt-dev)

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

mkdir -p "$ROOT/build"
LOG="$ROOT/build/setup-$PRESET.log"

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

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
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
# The build runs with its output in the log; its line appears only once it
# compiles or links something, so a run where nothing changed says nothing
# and, as the tool runs this before every command, adds nothing to the log.
# (A dry run cannot tell: it always stops at the check of the source folders.)
OUTPUT="$(mktemp)"
trap 'rm -f "$OUTPUT"' EXIT
STARTED="$(date '+%F %T')"
"${BUILD[@]}" >"$OUTPUT" 2>&1 &
BUILD_PID=$!
said=0
while kill -0 "$BUILD_PID" 2>/dev/null; do
  if [ "$said" = 0 ] && grep -qE "Building|Linking" "$OUTPUT"; then
    echo "zonara: $WHAT" >&2
    said=1
  fi
  sleep 0.1
done
status=0
wait "$BUILD_PID" || status=$?
if [ "$status" -ne 0 ] || grep -qE "Building|Linking" "$OUTPUT"; then
  { echo "=== $WHAT ($STARTED)"; cat "$OUTPUT"; } >>"$LOG"
fi
if [ "$status" -ne 0 ]; then
  echo "zonara: $WHAT failed; the last lines of $LOG:" >&2
  tail -n 20 "$LOG" >&2
  echo "zonara: the whole log is $LOG" >&2
  exit 1
fi
if [ "$said" = 0 ] && grep -qE "Building|Linking" "$OUTPUT"; then
  echo "zonara: $WHAT" >&2
fi
