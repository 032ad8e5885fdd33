// The floating-point mode every computation of the effect runs in: rounding
// to nearest, subnormal numbers kept (neither flushed to zero as results nor
// read as zero as inputs), every exception masked. Results are defined to
// the bit, but a host may call in on a thread set otherwise (audio and video
// code often sets flush-to-zero, some libraries leave another rounding mode
// behind), so the effect sets the standard mode for as long as it computes
// and gives the thread back in the mode it came in.
//
// Both units are set: the vector unit's control register, which every
// float and double operation of the effect uses, and the x87 unit's control
// word, which a mathematics library may use inside its functions. The x87
// precision is left as the thread has it: each platform's library expects
// its own.
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#define ZONARA_X86_FLOAT_MODE 1
#endif

namespace zonara {

#if ZONARA_X86_FLOAT_MODE

// The vector unit: every exception masked (bits 7 to 12), round to nearest
// (bits 13 and 14 clear), no flush-to-zero (bit 15) and no
// denormals-are-zero (bit 6). Bits 0 to 5 are the sticky exception flags,
// which are state, not mode.
constexpr std::uint32_t MXCSR_STANDARD = 0x1F80u;
constexpr std::uint32_t MXCSR_FLAGS = 0x003Fu;
// The x87 unit: the exception masks (bits 0 to 5) and rounding control
// (bits 10 and 11, 00 = to nearest); precision control is kept.
constexpr std::uint16_t X87_EXCEPTION_MASKS = 0x003Fu;
constexpr std::uint16_t X87_ROUNDING_CONTROL = 0x0C00u;

inline std::uint16_t ReadX87ControlWord() {
    std::uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

inline void WriteX87ControlWord(std::uint16_t word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }

class StandardFloatMode {
public:
    StandardFloatMode() noexcept : saved_mxcsr_(_mm_getcsr()), saved_x87_(ReadX87ControlWord()) {
        if ((saved_mxcsr_ & ~MXCSR_FLAGS) != MXCSR_STANDARD) {
            _mm_setcsr(MXCSR_STANDARD | (saved_mxcsr_ & MXCSR_FLAGS));
            mxcsr_changed_ = true;
        }
        const std::uint16_t standard_x87 =
            static_cast<std::uint16_t>((saved_x87_ & ~X87_ROUNDING_CONTROL) | X87_EXCEPTION_MASKS);
        if (saved_x87_ != standard_x87) {
            WriteX87ControlWord(standard_x87);
            x87_changed_ = true;
        }
    }

    ~StandardFloatMode() {
        // The flags raised meanwhile are kept; only the mode goes back.
        if (mxcsr_changed_) _mm_setcsr((saved_mxcsr_ & ~MXCSR_FLAGS) | (_mm_getcsr() & MXCSR_FLAGS));
        if (x87_changed_) {
            // Loading a control word that unmasks an exception whose flag is
            // set would raise it at the next x87 instruction: clear them first.
            __asm__ __volatile__("fnclex");
            WriteX87ControlWord(saved_x87_);
        }
    }

    StandardFloatMode(const StandardFloatMode &) = delete;
    StandardFloatMode &operator=(const StandardFloatMode &) = delete;

private:
    std::uint32_t saved_mxcsr_;
    std::uint16_t saved_x87_;
    bool mxcsr_changed_ = false;
    bool x87_changed_ = false;
};

#else

// Other processors: the standard mode is the platform's default, which the
// hosts do not change.
class StandardFloatMode {
public:
    StandardFloatMode() noexcept = default;
    StandardFloatMode(const StandardFloatMode &) = delete;
    StandardFloatMode &operator=(const StandardFloatMode &) = delete;
};

#endif

}  // namespace zonara
