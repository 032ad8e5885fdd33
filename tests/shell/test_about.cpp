#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/about.h"
#include "support/fake_host.h"

namespace {

using zonara_test::FakeHost;
using zonara_test::SuiteCall;

TEST(About, WritesNameVersionAndDescriptionExactly) {
    FakeHost host;
    ASSERT_EQ(zonara::About(&host.in_data, &host.out_data), PF_Err_NONE);

    const std::string text = host.out_data.return_msg;
    const std::string expected =
        "Zonara v1.2\r"
        "Zonara plugin for After Effects and Premiere Pro. "
        "Grades the inside and the outside of a soft-edged window separately.";
    EXPECT_EQ(text, expected);
    EXPECT_LT(text.size(), sizeof host.out_data.return_msg);
    EXPECT_EQ(host.sprintf_formats, std::vector<std::string>{"%s v%d.%d\r%s"});
    EXPECT_EQ(host.out_data.out_flags, 0);
}

TEST(About, UsesTheAnsiSuiteOnceAndGivesItBack) {
    FakeHost host;
    ASSERT_EQ(zonara::About(&host.in_data, &host.out_data), PF_Err_NONE);
    const std::vector<SuiteCall> expected = {
        {SuiteCall::ACQUIRE, "PF ANSI Suite", 1},
        {SuiteCall::RELEASE, "PF ANSI Suite", 1},
    };
    EXPECT_EQ(host.suite_calls, expected);
}

// A missing suite is the command's result, with nothing written.
TEST(About, WithoutTheAnsiSuiteThrowsTheCodeAndWritesNothing) {
    const struct {
        const char *label;
        void (*break_host)(FakeHost &);
    } cases[] = {
        {"no basic suite", [](FakeHost &h) { h.RemoveBasicSuite(); }},
        {"suite refused", [](FakeHost &h) { h.RefuseSuite(kPFANSISuite); }},
        {"null suite with success", [](FakeHost &h) { h.HandOutNullFor(kPFANSISuite); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        FakeHost host;
        c.break_host(host);
        try {
            zonara::About(&host.in_data, &host.out_data);
            ADD_FAILURE() << "no exception";
        } catch (PF_Err code) {
            EXPECT_EQ(code, PF_Err_BAD_CALLBACK_PARAM);
        }
        EXPECT_STREQ(host.out_data.return_msg, "");
        EXPECT_EQ(host.out_data.out_flags, 0);
        EXPECT_EQ(host.ReleaseCount(kPFANSISuite), 0);
    }
}

}  // namespace
