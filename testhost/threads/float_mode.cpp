#include "testhost/threads/float_mode.h"

#include <cfenv>

#include <xmmintrin.h>

namespace testhost {
namespace {

constexpr std::uint32_t MXCSR_FLAGS = 0x003Fu;
constexpr std::uint32_t MXCSR_DAZ = 0x0040u;
constexpr std::uint32_t MXCSR_FTZ = 0x8000u;

std::uint16_t X87ControlWord() {
    std::uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void SetX87ControlWord(std::uint16_t word) {
    __asm__ __volatile__("fnclex");
    __asm__ __volatile__("fldcw %0" : : "m"(word));
}

}  // namespace

const char *ThreadFloatModeName(ThreadFloatMode mode) {
    switch (mode) {
    case ThreadFloatMode::STANDARD:
        return "standard";
    case ThreadFloatMode::DAZ_FTZ:
        return "daz-ftz";
    case ThreadFloatMode::DAZ:
        return "daz";
    case ThreadFloatMode::ROUND_UP:
        return "round-up";
    case ThreadFloatMode::ROUND_DOWN:
        return "round-down";
    }
    return "?";
}

std::optional<ThreadFloatMode> ThreadFloatModeNamed(std::string_view name) {
    for (ThreadFloatMode mode : ALL_THREAD_FLOAT_MODES) {
        if (name == ThreadFloatModeName(mode)) return mode;
    }
    return std::nullopt;
}

ThreadFloatModeScope::Controls ThreadFloatModeScope::Current() {
    return {_mm_getcsr() & ~MXCSR_FLAGS, X87ControlWord()};
}

ThreadFloatModeScope::ThreadFloatModeScope(ThreadFloatMode mode) : saved_(Current()) {
    // From the standard mode, whatever the thread had.
    std::fesetround(FE_TONEAREST);
    std::uint32_t extra = 0;
    switch (mode) {
    case ThreadFloatMode::STANDARD:
        break;
    case ThreadFloatMode::DAZ_FTZ:
        extra = MXCSR_DAZ | MXCSR_FTZ;
        break;
    case ThreadFloatMode::DAZ:
        extra = MXCSR_DAZ;
        break;
    case ThreadFloatMode::ROUND_UP:
        std::fesetround(FE_UPWARD);
        break;
    case ThreadFloatMode::ROUND_DOWN:
        std::fesetround(FE_DOWNWARD);
        break;
    }
    _mm_setcsr((_mm_getcsr() & ~(MXCSR_DAZ | MXCSR_FTZ)) | extra);
    set_ = Current();
}

ThreadFloatModeScope::~ThreadFloatModeScope() {
    _mm_setcsr(saved_.vector_unit | (_mm_getcsr() & MXCSR_FLAGS));
    SetX87ControlWord(saved_.x87);
}

bool ThreadFloatModeScope::Unchanged() const {
    const Controls now = Current();
    return now.vector_unit == set_.vector_unit && now.x87 == set_.x87;
}

}  // namespace testhost
