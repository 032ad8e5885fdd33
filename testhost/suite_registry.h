// The host's suites by exact name and version, with every acquire and
// release counted, and refusals injectable per name.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pf_sdk.h"

namespace testhost {

// What AcquireSuite answers for a suite the host does not offer (or was
// told to refuse); the effect only ever tests for non-zero.
constexpr SPErr SUITE_NOT_FOUND_ERROR = 0x53214664;  // 'S!Fd'

struct SuiteUse {
    int acquired = 0;  // successful acquires
    int released = 0;
    int refused = 0;   // acquires answered with SUITE_NOT_FOUND_ERROR
};

class SuiteRegistry {
public:
    using Key = std::pair<std::string, int>;  // name, version

    void Register(const std::string &name, int version, const void *table);
    // The named suite (at any version) is refused from now on.
    void Refuse(const std::string &name);
    void AllowAll();

    // The basic suite operations. Names are compared exactly, letter case
    // included. A refused or unknown suite stores null and returns
    // SUITE_NOT_FOUND_ERROR.
    SPErr Acquire(const char *name, int32_t version, const void **suite);
    SPErr Release(const char *name, int32_t version);

    // Counts since the start of the last command, and over all time.
    const std::map<Key, SuiteUse> &uses_in_last_command() const;
    const std::map<Key, SuiteUse> &uses_total() const;
    // Acquire and release calls of the last command, in order ("+name" for an
    // acquire that was granted, "!name" for one that was refused, "-name"
    // for a release).
    const std::vector<std::string> &log_of_last_command() const;
    // True when every suite acquired in the last command was released
    // exactly as often as it was acquired, and nothing else was released.
    bool BalancedSinceLastCommand() const;
    // The suites of the last command whose acquires and releases differ,
    // for readable test failures ("PF ANSI Suite v1: 2 acquired, 1 released").
    std::vector<std::string> UnbalancedSinceLastCommand() const;

    void BeginCommand();

private:
    void Record(const Key &key, std::string entry, int SuiteUse::*counter);

    // The effect may ask for suites from the threads the host runs its pixel
    // callbacks on, so the books are kept under a lock.
    mutable std::mutex mutex_;
    std::map<Key, const void *> tables_;
    std::set<std::string> refused_;
    std::map<Key, SuiteUse> last_;
    std::map<Key, SuiteUse> total_;
    std::vector<std::string> log_;
};

}  // namespace testhost
