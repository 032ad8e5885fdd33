#include "render/power_fallback_tally.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace zonara {
namespace {

std::atomic<std::uint64_t> g_powers{0};
std::atomic<std::uint64_t> g_fallbacks{0};

}  // namespace

void AddPowerTally(const PowerTally &frame) {
    if (frame.powers != 0) g_powers.fetch_add(frame.powers, std::memory_order_relaxed);
    if (frame.fallbacks != 0) g_fallbacks.fetch_add(frame.fallbacks, std::memory_order_relaxed);
}

PowerTally ReadPowerTally() {
    return {g_powers.load(std::memory_order_relaxed), g_fallbacks.load(std::memory_order_relaxed)};
}

void ResetPowerTally() {
    g_powers.store(0, std::memory_order_relaxed);
    g_fallbacks.store(0, std::memory_order_relaxed);
}

bool EveryPowerFallsBack() {
    const char *mode = std::getenv("ZONARA_POWER_FALLBACK");
    return mode != nullptr && std::strcmp(mode, "all") == 0;
}

}  // namespace zonara
