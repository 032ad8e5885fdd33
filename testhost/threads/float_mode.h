// The floating-point mode a host's threads may be in when they call the
// effect. Real hosts run some threads with flush-to-zero and
// denormals-are-zero set, or leave another rounding mode behind; the
// simulated host can put its command thread and its workers in any of these
// to show that the effect's results do not depend on it, and that the
// effect gives every thread back in the mode it came in.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace testhost {

enum class ThreadFloatMode {
    STANDARD,    // round to nearest, subnormals kept: what the effect computes in
    DAZ_FTZ,     // subnormal inputs read as zero and subnormal results flushed to zero
    DAZ,         // subnormal inputs read as zero
    ROUND_UP,    // towards plus infinity
    ROUND_DOWN,  // towards minus infinity
};

constexpr ThreadFloatMode ALL_THREAD_FLOAT_MODES[] = {ThreadFloatMode::STANDARD, ThreadFloatMode::DAZ_FTZ,
                                                      ThreadFloatMode::DAZ, ThreadFloatMode::ROUND_UP,
                                                      ThreadFloatMode::ROUND_DOWN};

// "standard", "daz-ftz", "daz", "round-up", "round-down".
const char *ThreadFloatModeName(ThreadFloatMode mode);
std::optional<ThreadFloatMode> ThreadFloatModeNamed(std::string_view name);

// Puts the calling thread in `mode` for the scope's life and gives it back
// as it was afterwards.
class ThreadFloatModeScope {
public:
    explicit ThreadFloatModeScope(ThreadFloatMode mode);
    ~ThreadFloatModeScope();
    ThreadFloatModeScope(const ThreadFloatModeScope &) = delete;
    ThreadFloatModeScope &operator=(const ThreadFloatModeScope &) = delete;

    // False when the thread's mode is no longer the one the scope set: code
    // that ran meanwhile changed it and did not put it back.
    bool Unchanged() const;

private:
    struct Controls {
        std::uint32_t vector_unit = 0;  // the control bits, flags left out
        std::uint16_t x87 = 0;
    };
    static Controls Current();

    Controls saved_;
    Controls set_;
};

}  // namespace testhost
