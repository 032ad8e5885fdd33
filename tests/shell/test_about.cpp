#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/about.h"
#include "support/linked_effect.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::SuiteCall;
using zonara_test::TwoRecords;

TEST(About, WritesNameVersionAndDescriptionExactly) {
    Host host(nullptr, HostApp::kAfterEffects);
    ASSERT_EQ(host.SendTo(TwoRecords(zonara::About), PF_Cmd_ABOUT), PF_Err_NONE);

    const PF_OutData &out = host.last_out_data();
    const std::string text = out.return_msg;
    const std::string expected =
        "Zonara v1.2\r"
        "Zonara plugin for After Effects and Premiere Pro. "
        "Grades the inside and the outside of a soft-edged window separately.";
    EXPECT_EQ(text, expected);
    EXPECT_LT(text.size(), sizeof out.return_msg);
    EXPECT_EQ(host.sprintf_formats(), std::vector<std::string>{"%s v%d.%d\r%s"});
    EXPECT_EQ(out.out_flags, 0);
}

TEST(About, UsesTheAnsiSuiteOnceAndGivesItBack) {
    Host host(nullptr, HostApp::kAfterEffects);
    ASSERT_EQ(host.SendTo(TwoRecords(zonara::About), PF_Cmd_ABOUT), PF_Err_NONE);
    const std::vector<SuiteCall> expected = {
        {SuiteCall::Kind::kAcquired, "PF ANSI Suite", 1},
        {SuiteCall::Kind::kReleased, "PF ANSI Suite", 1},
    };
    EXPECT_EQ(host.suites().calls_of_last_command(), expected);
}

// A missing suite is the command's result, with nothing written.
TEST(About, WithoutTheAnsiSuiteThrowsTheCodeAndWritesNothing) {
    const struct {
        const char *label;
        void (*break_host)(Host &);
    } cases[] = {
        {"no basic suite", [](Host &h) { h.faults().no_basic_suite = true; }},
        {"suite refused", [](Host &h) { h.suites().Refuse(kPFANSISuite); }},
        {"null suite with success", [](Host &h) { h.suites().HandOutNull(kPFANSISuite); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Host host(nullptr, HostApp::kAfterEffects);
        c.break_host(host);
        host.SendTo(TwoRecords(zonara::About), PF_Cmd_ABOUT);
        EXPECT_EQ(host.escaped_error_code(), PF_Err_BAD_CALLBACK_PARAM) << "thrown as the code";
        EXPECT_STREQ(host.last_out_data().return_msg, "");
        EXPECT_EQ(host.last_out_data().out_flags, 0);
        EXPECT_EQ(zonara_test::UseOf(host, kPFANSISuite).released, 0);
    }
}

}  // namespace
