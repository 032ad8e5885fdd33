// The host's books on suites: exact names and versions, refusals, and the
// balance check every effect command is held to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testhost/core/suite_registry.h"

namespace {

using testhost::SuiteRegistry;

const int TABLE_A = 1;
const int TABLE_B = 2;

void RegisterTables(SuiteRegistry &registry) {
    registry.Register("PF Iterate8 Suite", 1, &TABLE_A);
    registry.Register("PF iterate16 Suite", 1, &TABLE_B);
}

struct AcquireCase {
    const char *name;
    int version;
    const void *expected;  // null: refused
};

TEST(SuiteRegistry, AcquiresOnlyByExactNameAndVersion) {
    const AcquireCase cases[] = {
        {"PF Iterate8 Suite", 1, &TABLE_A}, {"PF iterate16 Suite", 1, &TABLE_B},
        {"PF iterate8 Suite", 1, nullptr},                                      // letter case matters
        {"PF Iterate16 Suite", 1, nullptr}, {"PF Iterate8 Suite", 2, nullptr},  // version matters
        {"PF Iterate8 Suite ", 1, nullptr}, {"", 1, nullptr},
    };
    for (const AcquireCase &c : cases) {
        SuiteRegistry registry;
        RegisterTables(registry);
        const void *suite = &c;  // must be overwritten either way
        const SPErr err = registry.Acquire(c.name, c.version, &suite);
        EXPECT_EQ(suite, c.expected) << c.name << " v" << c.version;
        EXPECT_EQ(err, c.expected != nullptr ? kSPNoError : testhost::SUITE_NOT_FOUND_ERROR) << c.name;
        const testhost::SuiteUse use = registry.uses_in_last_command().at({c.name, c.version});
        EXPECT_EQ(use.acquired + use.refused, 1);
    }
}

TEST(SuiteRegistry, RefusalCoversEveryVersionUntilAllowed) {
    SuiteRegistry registry;
    RegisterTables(registry);
    registry.Register("PF Iterate8 Suite", 2, &TABLE_B);
    registry.Refuse("PF Iterate8 Suite");
    const void *suite = nullptr;
    EXPECT_NE(registry.Acquire("PF Iterate8 Suite", 1, &suite), kSPNoError);
    EXPECT_NE(registry.Acquire("PF Iterate8 Suite", 2, &suite), kSPNoError);
    EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(registry.Acquire("PF iterate16 Suite", 1, &suite), kSPNoError);
    registry.AllowAll();
    EXPECT_EQ(registry.Acquire("PF Iterate8 Suite", 1, &suite), kSPNoError);
    EXPECT_EQ(suite, &TABLE_A);
}

struct BalanceCase {
    const char *what;
    std::vector<std::string> calls;  // "+name" acquire, "-name" release (version 1)
    bool balanced;
    std::vector<std::string> log;
};

TEST(SuiteRegistry, BalanceOfTheLastCommand) {
    const std::string A = "PF Iterate8 Suite";
    const std::string B = "PF iterate16 Suite";
    const std::string X = "No Such Suite";
    const BalanceCase cases[] = {
        {"nothing used", {}, true, {}},
        {"acquired and released", {"+" + A, "-" + A}, true, {"+" + A, "-" + A}},
        {"nested in any order", {"+" + A, "+" + B, "-" + A, "-" + B}, true, {"+" + A, "+" + B, "-" + A, "-" + B}},
        {"acquired twice, released twice",
         {"+" + A, "+" + A, "-" + A, "-" + A},
         true,
         {"+" + A, "+" + A, "-" + A, "-" + A}},
        {"not released", {"+" + A}, false, {"+" + A}},
        {"released once of two", {"+" + A, "+" + A, "-" + A}, false, {"+" + A, "+" + A, "-" + A}},
        {"released twice", {"+" + A, "-" + A, "-" + A}, false, {"+" + A, "-" + A, "-" + A}},
        {"released without acquire", {"-" + A}, false, {"-" + A}},
        {"refused, not released", {"+" + X}, true, {"!" + X}},
        {"refused, then released anyway", {"+" + X, "-" + X}, false, {"!" + X, "-" + X}},
    };
    for (const BalanceCase &c : cases) {
        SuiteRegistry registry;
        RegisterTables(registry);
        // Calls of an earlier command do not count against this one.
        const void *suite = nullptr;
        registry.Acquire(A.c_str(), 1, &suite);
        registry.BeginCommand();
        for (const std::string &call : c.calls) {
            const std::string name = call.substr(1);
            if (call[0] == '+') {
                registry.Acquire(name.c_str(), 1, &suite);
            } else {
                registry.Release(name.c_str(), 1);
            }
        }
        EXPECT_EQ(registry.BalancedSinceLastCommand(), c.balanced) << c.what;
        EXPECT_EQ(registry.UnbalancedSinceLastCommand().empty(), c.balanced) << c.what;
        EXPECT_EQ(registry.log_of_last_command(), c.log) << c.what;
        EXPECT_EQ(registry.uses_total().at({A, 1}).acquired >= 1, true) << c.what;
    }
}

// A host may refuse with its own code or say yes and hand out nothing; the
// books tell the three answers apart and keep the version asked for.
TEST(SuiteRegistry, RefusalsWithTheirOwnCodeAndNullAnswersAreKeptApart) {
    SuiteRegistry registry;
    RegisterTables(registry);
    registry.Refuse("PF Iterate8 Suite", 1);
    registry.HandOutNull("PF iterate16 Suite");
    const void *suite = &registry;
    EXPECT_EQ(registry.Acquire("PF Iterate8 Suite", 1, &suite), 1);
    EXPECT_EQ(suite, nullptr);
    suite = &registry;
    EXPECT_EQ(registry.Acquire("PF iterate16 Suite", 1, &suite), kSPNoError);
    EXPECT_EQ(suite, nullptr);
    registry.Release("PF Iterate8 Suite", 2);
    using Kind = testhost::SuiteCall::Kind;
    const std::vector<testhost::SuiteCall> expected = {
        {Kind::kRefused, "PF Iterate8 Suite", 1},
        {Kind::kHandedNull, "PF iterate16 Suite", 1},
        {Kind::kReleased, "PF Iterate8 Suite", 2},
    };
    EXPECT_EQ(registry.calls_of_last_command(), expected);
    EXPECT_EQ(registry.log_of_last_command(),
              (std::vector<std::string>{"!PF Iterate8 Suite", "0PF iterate16 Suite", "-PF Iterate8 Suite"}));
    EXPECT_EQ(registry.uses_in_last_command().at({"PF iterate16 Suite", 1}).handed_null, 1);
    // A suite handed out as null is not owed back.
    EXPECT_EQ(registry.UnbalancedSinceLastCommand(),
              std::vector<std::string>{"PF Iterate8 Suite v2: 0 acquired, 1 released"});

    registry.AllowAll();
    EXPECT_EQ(registry.Acquire("PF Iterate8 Suite", 1, &suite), kSPNoError);
    EXPECT_EQ(suite, &TABLE_A);
    EXPECT_EQ(registry.Acquire("PF iterate16 Suite", 1, &suite), kSPNoError);
    EXPECT_EQ(suite, &TABLE_B);
}

TEST(SuiteRegistry, NullArgumentsAreRefusedNotDereferenced) {
    SuiteRegistry registry;
    RegisterTables(registry);
    const void *suite = nullptr;
    EXPECT_NE(registry.Acquire(nullptr, 1, &suite), kSPNoError);
    EXPECT_NE(registry.Acquire("PF Iterate8 Suite", 1, nullptr), kSPNoError);
    EXPECT_NE(registry.Release(nullptr, 1), kSPNoError);
    EXPECT_TRUE(registry.BalancedSinceLastCommand());
}

}  // namespace
