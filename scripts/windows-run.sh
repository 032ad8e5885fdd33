#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly and without a display, in a
# Wine prefix of its own in the temporary folder (made on first use; several
# runs may start at once). Usage: windows-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail

WINE=""
for candidate in /usr/lib/wine/wine64 /usr/lib64/wine/wine64 "$(command -v wine64 || true)" \
                 "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then
    WINE="$candidate"
    break
  fi
done
if [ -z "$WINE" ]; then
  echo "windows-run: Wine is not installed (Debian package wine64)" >&2
  exit 127
fi

export WINEPREFIX="${ZONARA_WINEPREFIX:-${TMPDIR:-/tmp}/zonara-wine-$(id -u)}"
# ZONARA_WINEDEBUG turns on channels of Wine's log (a test asks which files it loads).
export WINEDEBUG="${ZONARA_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY=""

# Making the prefix is slow and must happen once: the first
# run makes it while holding a lock, later ones wait for it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$WINE" cmd /c exit >/dev/null 2>&1 || true
      "$(dirname "$WINE")/wineserver" -w 2>/dev/null || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec "$WINE" "$@"
