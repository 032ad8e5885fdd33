// How often the effect's own vectorised power was not trusted and a lane was
// recomputed with the host's power: counted per frame and added up here, for
// `zonara bench` to report. Diagnostics only; nothing rendered depends on it.
#pragma once

#include <cstdint>

namespace zonara {

struct PowerTally {
    std::uint64_t powers = 0;     // powers the graded lanes needed
    std::uint64_t fallbacks = 0;  // of those, recomputed with the host's power
};

// Adds one frame's counts (relaxed atomics; frames may render concurrently).
void AddPowerTally(const PowerTally &frame);
// The counts since the last reset.
PowerTally ReadPowerTally();
void ResetPowerTally();

// ZONARA_POWER_FALLBACK=all widens the window a vectorised power must clear
// to infinity, so every lane falls back to the host's power: the fallback
// path can then be tested on whole frames.
bool EveryPowerFallsBack();

}  // namespace zonara
