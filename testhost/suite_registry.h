// The host's suites by exact name and version, with every acquire and
// release counted, and refusals injectable per name.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pf_sdk.h"

namespace testhost {

struct SuiteUse {
    int acquired = 0;
    int released = 0;
};

class SuiteRegistry {
public:
    using Key = std::pair<std::string, int>;  // name, version

    void Register(const std::string &name, int version, const void *table);
    // The named suite (at any version) is refused from now on.
    void Refuse(const std::string &name);
    void AllowAll();

    // The basic suite operations.
    SPErr Acquire(const char *name, int32_t version, const void **suite);
    SPErr Release(const char *name, int32_t version);

    // Counts since the start of the last command, and over all time.
    const std::map<Key, SuiteUse> &uses_in_last_command() const;
    const std::map<Key, SuiteUse> &uses_total() const;
    // Acquire and release calls of the last command, in order ("+name" for an
    // acquire, "-name" for a release).
    const std::vector<std::string> &log_of_last_command() const;
    // True when every suite acquired in the last command was released
    // exactly as often as it was acquired, and nothing else was released.
    bool BalancedSinceLastCommand() const;

    void BeginCommand();

private:
    std::map<Key, const void *> tables_;
    std::set<std::string> refused_;
    std::map<Key, SuiteUse> last_;
    std::map<Key, SuiteUse> total_;
    std::vector<std::string> log_;
};

}  // namespace testhost
