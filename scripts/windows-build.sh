#!/usr/bin/env bash
# Cross-builds the shipped Windows module Quorv_Zonara.aex and the Windows
# zonara.exe with MinGW-w64 (installing it and Wine on first use) and prints
# the module's path as the last line. Build output goes to standard error.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$ROOT/scripts/setup.sh" windows
echo "$ROOT/build/windows/Quorv_Zonara.aex"
