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
    int refused = 0;      // acquires answered with an error code
    int handed_null = 0;  // acquires answered with success but no table
};

// One acquire or release as the effect made it, in order.
struct SuiteCall {
    enum class Kind { kAcquired, kRefused, kHandedNull, kReleased };
    Kind kind;
    std::string name;
    int version;

    bool operator==(const SuiteCall &) const = default;
};

class SuiteRegistry {
public:
    using Key = std::pair<std::string, int>;  // name, version

    // What one command acquired and released. The registry keeps these for
    // the last of the host's own commands; a command run alongside others
    // keeps its own, passed to Acquire and Release.
    struct Books {
        std::map<Key, SuiteUse> uses;
        std::vector<SuiteCall> calls;

        // The suites whose acquires and releases differ, as
        // UnbalancedSinceLastCommand words them.
        std::vector<std::string> Unbalanced() const;
    };

    void Register(const std::string &name, int version, const void *table);
    // The named suite (at any version) is refused from now on, with `code`:
    // hosts differ in the error they give, and the effect must take any
    // non-zero one as a refusal.
    void Refuse(const std::string &name, SPErr code = SUITE_NOT_FOUND_ERROR);
    // The named suite is answered with success but a null table from now on,
    // as a host does that says yes and gives nothing.
    void HandOutNull(const std::string &name);
    // Lifts every refusal and null answer.
    void AllowAll();

    // The basic suite operations. Names are compared exactly, letter case
    // included. An unknown suite stores null and returns
    // SUITE_NOT_FOUND_ERROR; a refused one stores null and returns its code.
    // The call goes into `books` when given (which the caller must not read
    // while the command runs), else into the last command's books; always
    // into the books over all time.
    SPErr Acquire(const char *name, int32_t version, const void **suite, Books *books = nullptr);
    SPErr Release(const char *name, int32_t version, Books *books = nullptr);

    // Counts since the start of the last command, and over all time.
    const std::map<Key, SuiteUse> &uses_in_last_command() const;
    const std::map<Key, SuiteUse> &uses_total() const;
    // Acquire and release calls of the last command, in order.
    const std::vector<SuiteCall> &calls_of_last_command() const;
    // The same as text: "+name" for an acquire that was granted, "!name" for
    // one that was refused, "0name" for one answered with a null table,
    // "-name" for a release.
    std::vector<std::string> log_of_last_command() const;
    // True when every suite acquired in the last command was released
    // exactly as often as it was acquired, and nothing else was released.
    bool BalancedSinceLastCommand() const;
    // The suites of the last command whose acquires and releases differ,
    // for readable test failures ("PF ANSI Suite v1: 2 acquired, 1 released").
    std::vector<std::string> UnbalancedSinceLastCommand() const;

    void BeginCommand();

private:
    void Record(Books *books, const Key &key, SuiteCall::Kind kind, int SuiteUse::*counter);

    // The effect may ask for suites from the threads the host runs its pixel
    // callbacks on, so the books are kept under a lock.
    mutable std::mutex mutex_;
    std::map<Key, const void *> tables_;
    std::map<std::string, SPErr> refused_;
    std::set<std::string> handed_null_;
    Books last_;
    std::map<Key, SuiteUse> total_;
};

}  // namespace testhost
