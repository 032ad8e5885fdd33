// Routing of context-free host callbacks to the Host whose command is
// running. The basic suite's functions get no context pointer at all, so a
// host that runs several instances (as tests do) must know which one the
// calling thread is working for.
#include <cstring>

#include "testhost/host_state.h"

namespace testhost::detail {
namespace {

thread_local HostState *current_host = nullptr;

SPErr AcquireSuite(const char *name, int32_t version, const void **suite) {
    HostState *host = CurrentHost();
    if (host == nullptr) {
        if (suite != nullptr) {
            *suite = nullptr;
        }
        return SUITE_NOT_FOUND_ERROR;
    }
    return host->suites.Acquire(name, version, suite);
}

SPErr ReleaseSuite(const char *name, int32_t version) {
    HostState *host = CurrentHost();
    return host != nullptr ? host->suites.Release(name, version) : SUITE_NOT_FOUND_ERROR;
}

SPBoolean IsEqual(const char *token1, const char *token2) {
    return token1 != nullptr && token2 != nullptr && std::strcmp(token1, token2) == 0;
}

// The memory-block services are for effects that keep data between calls;
// this host offers only what an effect of this kind asks for.
constexpr SPBasicSuite BASIC_SUITE = [] {
    SPBasicSuite suite{};
    suite.AcquireSuite = AcquireSuite;
    suite.ReleaseSuite = ReleaseSuite;
    suite.IsEqual = IsEqual;
    return suite;
}();

}  // namespace

HostState *CurrentHost() { return current_host; }

CurrentHostScope::CurrentHostScope(HostState *host) : previous_(current_host) { current_host = host; }

CurrentHostScope::~CurrentHostScope() { current_host = previous_; }

HostState *HostFromEffectRef(PF_ProgPtr effect_ref) {
    // An effect_ref is only good during a command of the host that gave it;
    // anything else is refused rather than trusted as a pointer.
    HostState *host = CurrentHost();
    return host != nullptr && effect_ref == reinterpret_cast<PF_ProgPtr>(host) ? host : nullptr;
}

const SPBasicSuite *BasicSuite() { return &BASIC_SUITE; }

}  // namespace testhost::detail
