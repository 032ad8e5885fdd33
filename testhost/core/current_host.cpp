// Routing of context-free host callbacks to the command running on the
// calling thread. The basic suite's functions get no context pointer at all,
// so a host that runs several instances (as tests do), or several commands at
// once, must know which one the calling thread is working for.
#include <cstring>

#include "testhost/core/host_state.h"

namespace testhost::detail {
namespace {

thread_local Command *current_command = nullptr;

SPErr AcquireSuite(const char *name, int32_t version, const void **suite) {
    Command *command = CurrentCommand();
    if (command == nullptr) {
        if (suite != nullptr) {
            *suite = nullptr;
        }
        return SUITE_NOT_FOUND_ERROR;
    }
    return command->host->suites.Acquire(name, version, suite, command->own_suite_books);
}

SPErr ReleaseSuite(const char *name, int32_t version) {
    Command *command = CurrentCommand();
    return command != nullptr ? command->host->suites.Release(name, version, command->own_suite_books)
                              : SUITE_NOT_FOUND_ERROR;
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

Command *CurrentCommand() { return current_command; }

CurrentCommandScope::CurrentCommandScope(Command *command) : previous_(current_command) { current_command = command; }

CurrentCommandScope::~CurrentCommandScope() { current_command = previous_; }

Command *CommandFromEffectRef(PF_ProgPtr effect_ref) {
    // An effect_ref is only good during the command that gave it, on the
    // threads working for that command; anything else is refused rather than
    // trusted as a pointer.
    Command *command = CurrentCommand();
    return command != nullptr && effect_ref == reinterpret_cast<PF_ProgPtr>(command) ? command : nullptr;
}

const SPBasicSuite *BasicSuite() { return &BASIC_SUITE; }

}  // namespace testhost::detail
