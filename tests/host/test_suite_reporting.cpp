// Reporting acquire and release: failures are told to the user, never
// thrown, and the caller's pointer is set only when a suite was handed out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/suite_reporting.h"
#include "support/linked_effect.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::SuiteCall;
using zonara::AcquireSuiteReporting;
using zonara::ReleaseSuiteReporting;
using zonara_test::TwoRecords;

TEST(SuiteReporting, AcquireHandsOutTheSuiteSilently) {
    Host host(nullptr, HostApp::kPremiere);
    const PF_PixelFormatSuite1 *suite = nullptr;
    host.SendTo(TwoRecords([&](PF_InData *in_data, PF_OutData *out_data) {
                    EXPECT_EQ(AcquireSuiteReporting(in_data, out_data, kPFPixelFormatSuite, 1, nullptr, &suite),
                              PF_Err_NONE);
                    return PF_Err_NONE;
                }),
                PF_Cmd_GLOBAL_SETUP);
    EXPECT_NE(suite, nullptr);
    EXPECT_EQ(host.last_out_data().out_flags, 0);
    EXPECT_TRUE(host.sprintf_formats().empty());
    EXPECT_EQ(host.suites().calls_of_last_command(),
              (std::vector<SuiteCall>{{SuiteCall::Kind::kAcquired, "PF Pixel Format Suite", 1}}));
}

TEST(SuiteReporting, AcquireFailureReportsAndLeavesPointerNull) {
    const struct {
        const char *label;
        void (*break_host)(Host &);
        const char *message;
        const char *shown;
    } cases[] = {
        {"no basic suite", [](Host &h) { h.faults().no_basic_suite = true; }, nullptr,
         "Not able to acquire AEFX Suite."},
        {"refused", [](Host &h) { h.suites().Refuse(kPFPixelFormatSuite); }, nullptr,
         "Not able to acquire AEFX Suite."},
        // Success code but no suite: the pointer decides.
        {"null with success", [](Host &h) { h.suites().HandOutNull(kPFPixelFormatSuite); }, nullptr,
         "Not able to acquire AEFX Suite."},
        {"own message", [](Host &h) { h.suites().Refuse(kPFPixelFormatSuite); }, "Pixel formats unavailable.",
         "Pixel formats unavailable."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Host host(nullptr, HostApp::kPremiere);
        c.break_host(host);
        host.out_data().out_flags = PF_OutFlag_CUSTOM_UI;
        const PF_PixelFormatSuite1 *suite = nullptr;
        host.SendTo(TwoRecords([&](PF_InData *in_data, PF_OutData *out_data) {
                        EXPECT_EQ(AcquireSuiteReporting(in_data, out_data, kPFPixelFormatSuite, 1, c.message, &suite),
                                  PF_Err_BAD_CALLBACK_PARAM);
                        return PF_Err_NONE;
                    }),
                    PF_Cmd_GLOBAL_SETUP);
        EXPECT_EQ(suite, nullptr);
        EXPECT_EQ(host.last_out_data().out_flags, PF_OutFlag_CUSTOM_UI | PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_STREQ(host.last_out_data().return_msg, c.shown);
        EXPECT_EQ(host.sprintf_formats(), std::vector<std::string>{c.shown});
    }
}

TEST(SuiteReporting, ReleaseGivesBackByNameSilently) {
    Host host(nullptr, HostApp::kPremiere);
    host.SendTo(TwoRecords([](PF_InData *in_data, PF_OutData *out_data) {
                    EXPECT_EQ(ReleaseSuiteReporting(in_data, out_data, kPFPixelFormatSuite, 1, nullptr), PF_Err_NONE);
                    return PF_Err_NONE;
                }),
                PF_Cmd_GLOBAL_SETUP);
    EXPECT_EQ(host.suites().calls_of_last_command(),
              (std::vector<SuiteCall>{{SuiteCall::Kind::kReleased, "PF Pixel Format Suite", 1}}));
    EXPECT_EQ(host.last_out_data().out_flags, 0);
    EXPECT_STREQ(host.last_out_data().return_msg, "");
}

TEST(SuiteReporting, ReleaseWithoutBasicSuiteReports) {
    const struct {
        const char *message;
        const char *shown;
    } cases[] = {
        {nullptr, "Not able to release AEFX Suite."},
        {"Could not give back.", "Could not give back."},
    };
    for (const auto &c : cases) {
        Host host(nullptr, HostApp::kPremiere);
        host.faults().no_basic_suite = true;
        host.SendTo(TwoRecords([&](PF_InData *in_data, PF_OutData *out_data) {
                        EXPECT_EQ(ReleaseSuiteReporting(in_data, out_data, kPFPixelFormatSuite, 1, c.message),
                                  PF_Err_BAD_CALLBACK_PARAM);
                        return PF_Err_NONE;
                    }),
                    PF_Cmd_GLOBAL_SETUP);
        EXPECT_EQ(host.last_out_data().out_flags, PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_STREQ(host.last_out_data().return_msg, c.shown);
    }
}

// Without the host's utility callbacks there is no way to write the text,
// but the flag is still raised and nothing is dereferenced.
TEST(SuiteReporting, ReportWithoutUtilityCallbacksSetsOnlyTheFlag) {
    Host host(nullptr, HostApp::kPremiere);
    host.faults().no_basic_suite = true;
    host.SendTo(TwoRecords([](PF_InData *in_data, PF_OutData *out_data) {
                    in_data->utils = nullptr;
                    const void *suite = nullptr;
                    EXPECT_EQ(AcquireSuiteReporting(in_data, out_data, kPFPixelFormatSuite, 1, nullptr, &suite),
                              PF_Err_BAD_CALLBACK_PARAM);
                    return PF_Err_NONE;
                }),
                PF_Cmd_GLOBAL_SETUP);
    EXPECT_EQ(host.last_out_data().out_flags, PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_STREQ(host.last_out_data().return_msg, "");
}

}  // namespace
