// How often the effect's own vectorised power was not trusted and a lane was
// recomputed with the host's power. Counted per frame into a tally the caller
// owns (the module keeps none: it holds no state between calls), for
// `zonara bench` and the tests to report. Nothing rendered depends on it.
#pragma once

#include <cstdint>

namespace zonara {

struct PowerTally {
    std::uint64_t powers = 0;     // powers the graded lanes needed
    std::uint64_t fallbacks = 0;  // of those, recomputed with the host's power
};

}  // namespace zonara
