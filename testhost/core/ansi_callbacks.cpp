// The standard C functions a host offers in utils->ansi and as
// "PF ANSI Suite". They are the platform's own, so results match what the
// effect would compute with its own standard library.
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

// Effects format into return_msg, which holds PF_MAX_EFFECT_MSG_LEN
// characters and the terminator; the host never writes past that.
constexpr std::size_t SPRINTF_BUFFER_SIZE = PF_MAX_EFFECT_MSG_LEN + 1;

int HostSprintf(A_char *buffer, const A_char *format, ...) {
    if (buffer == nullptr || format == nullptr) {
        return 0;
    }
    if (Command *command = CurrentCommand(); command != nullptr) {
        command->sprintf_formats.emplace_back(format);
    }
    va_list arguments;
    va_start(arguments, format);
    const int wanted = std::vsnprintf(buffer, SPRINTF_BUFFER_SIZE, format, arguments);
    va_end(arguments);
    if (wanted < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return wanted < static_cast<int>(SPRINTF_BUFFER_SIZE) ? wanted : static_cast<int>(SPRINTF_BUFFER_SIZE) - 1;
}

A_char *HostStrcpy(A_char *dest, const A_char *src) {
    if (dest == nullptr || src == nullptr) {
        return dest;
    }
    return std::strcpy(dest, src);
}

}  // namespace

PF_ANSICallbacksSuite1 AnsiSuite() {
    PF_ANSICallbacksSuite1 ansi{};
    ansi.atan = [](double x) { return std::atan(x); };
    ansi.atan2 = [](double y, double x) { return std::atan2(y, x); };
    ansi.ceil = [](double x) { return std::ceil(x); };
    ansi.cos = [](double x) { return std::cos(x); };
    ansi.exp = [](double x) { return std::exp(x); };
    ansi.fabs = [](double x) { return std::fabs(x); };
    ansi.floor = [](double x) { return std::floor(x); };
    ansi.fmod = [](double x, double y) { return std::fmod(x, y); };
    ansi.hypot = [](double x, double y) { return std::hypot(x, y); };
    ansi.log = [](double x) { return std::log(x); };
    ansi.log10 = [](double x) { return std::log10(x); };
    ansi.pow = [](double x, double y) { return std::pow(x, y); };
    ansi.sin = [](double x) { return std::sin(x); };
    ansi.sqrt = [](double x) { return std::sqrt(x); };
    ansi.tan = [](double x) { return std::tan(x); };
    ansi.sprintf = HostSprintf;
    ansi.strcpy = HostStrcpy;
    ansi.asin = [](double x) { return std::asin(x); };
    ansi.acos = [](double x) { return std::acos(x); };
    return ansi;
}

PF_ANSICallbacksBlock AnsiCallbacksBlock() {
    // The block inside the utilities is the suite's table followed by one
    // unused member: the same functions, at the same places.
    static_assert(sizeof(PF_ANSICallbacksSuite1) == offsetof(PF_ANSICallbacksBlock, unused_longA));
    const PF_ANSICallbacksSuite1 suite = AnsiSuite();
    PF_ANSICallbacksBlock block{};
    std::memcpy(&block, &suite, sizeof suite);
    return block;
}

}  // namespace testhost::detail
