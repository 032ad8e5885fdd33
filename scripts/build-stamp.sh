# Whether a build folder is up to date, told without asking the build; sourced
# by ./zonara, before every command, and by scripts/setup.sh. ROOT is the
# checkout. Every process started here costs the tool's every call, hence
# no command substitution but the one find.
#
# A successful set-up leaves a stamp in the build folder, dated when it
# started; the folder stays fresh while nothing the build reads is newer
# than that: no source, no CMake file, not the package list in setup.sh.
# Folders count too, as adding, removing or renaming a file dates its
# folder, which the build's source globs would notice. Removing the stamp
# makes the next set-up run in full.

# The stamp of PRESET's build of SCOPE: "tool" (the tool and the module) or
# "all" (the preset's whole build, which includes the tool's).
stamp_of() {
  STAMP="$ROOT/build/$1/.setup-$2.stamp"
}

# Succeeds when PRESET's build of SCOPE needs nothing: one find that stops at
# the first newer file, cheap beside starting the tool.
is_fresh() {
  stamp_of "$1" "$2"
  [ -f "$STAMP" ] || return 1
  # What ./zonara runs, in case someone removed it from the folder by hand.
  if [ "$2" = tool ]; then
    [ -x "$ROOT/build/$1/zonara" ] && [ -f "$ROOT/build/$1/Quorv_Zonara.so" ] || return 1
  fi
  local watched=(src sdk testhost tools cmake CMakeLists.txt CMakePresets.json
                 scripts/setup.sh scripts/build-stamp.sh "build/$1/CMakeCache.txt")
  if [ "$2" = all ]; then
    watched+=(tests bench fuzz)
  fi
  local newer
  newer="$(find "${watched[@]/#/$ROOT/}" -newer "$STAMP" -print -quit 2>/dev/null)" || true
  [ -z "$newer" ]
}
