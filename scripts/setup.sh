#!/usr/bin/env bash
# Installs what the build needs (Debian packages) when it is missing, then
# configures and builds the given preset incrementally. Build output goes to
# standard error so that the tool's own output stays clean.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PRESET="${1:-default}"

PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev libopenimageio-dev libopencv-core-dev openimageio-tools libcairo2-dev
          libpugixml-dev libopencolorio-dev clang libclang-rt-dev)

# The Windows cross build needs only the header-only libraries, MinGW-w64
# and, for the checks that run its output, Wine.
if [ "$PRESET" = windows ]; then
  PACKAGES=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev g++-mingw-w64-x86-64-posix wine64)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "zonara: installing ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >&2
fi

cd "$ROOT"
if [ ! -f "build/$PRESET/build.ninja" ]; then
  cmake --preset "$PRESET" >&2
fi
cmake --build --preset "$PRESET" >&2
