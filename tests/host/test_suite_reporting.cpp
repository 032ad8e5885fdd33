// Reporting acquire and release: failures are told to the user, never
// thrown, and the caller's pointer is set only when a suite was handed out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/suite_reporting.h"
#include "support/fake_host.h"

namespace {

using zonara::AcquireSuiteReporting;
using zonara::ReleaseSuiteReporting;
using zonara_test::FakeHost;
using zonara_test::SuiteCall;

TEST(SuiteReporting, AcquireHandsOutTheSuiteSilently) {
    FakeHost host;
    const PF_PixelFormatSuite1 *suite = nullptr;
    EXPECT_EQ(AcquireSuiteReporting(&host.in_data, &host.out_data, kPFPixelFormatSuite, 1, nullptr, &suite),
              PF_Err_NONE);
    EXPECT_NE(suite, nullptr);
    EXPECT_EQ(host.out_data.out_flags, 0);
    EXPECT_TRUE(host.sprintf_formats.empty());
    EXPECT_EQ(host.suite_calls, (std::vector<SuiteCall>{{SuiteCall::ACQUIRE, "PF Pixel Format Suite", 1}}));
}

TEST(SuiteReporting, AcquireFailureReportsAndLeavesPointerNull) {
    const struct {
        const char *label;
        void (*break_host)(FakeHost &);
        const char *message;
        const char *shown;
    } cases[] = {
        {"no basic suite", [](FakeHost &h) { h.RemoveBasicSuite(); }, nullptr, "Not able to acquire AEFX Suite."},
        {"refused", [](FakeHost &h) { h.RefuseSuite(kPFPixelFormatSuite); }, nullptr,
         "Not able to acquire AEFX Suite."},
        // Success code but no suite: the pointer decides.
        {"null with success", [](FakeHost &h) { h.HandOutNullFor(kPFPixelFormatSuite); }, nullptr,
         "Not able to acquire AEFX Suite."},
        {"own message", [](FakeHost &h) { h.RefuseSuite(kPFPixelFormatSuite); }, "Pixel formats unavailable.",
         "Pixel formats unavailable."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        FakeHost host;
        c.break_host(host);
        host.out_data.out_flags = PF_OutFlag_CUSTOM_UI;
        const PF_PixelFormatSuite1 *suite = nullptr;
        EXPECT_EQ(AcquireSuiteReporting(&host.in_data, &host.out_data, kPFPixelFormatSuite, 1, c.message, &suite),
                  PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(suite, nullptr);
        EXPECT_EQ(host.out_data.out_flags, PF_OutFlag_CUSTOM_UI | PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_STREQ(host.out_data.return_msg, c.shown);
        EXPECT_EQ(host.sprintf_formats, std::vector<std::string>{c.shown});
    }
}

TEST(SuiteReporting, ReleaseGivesBackByNameSilently) {
    FakeHost host;
    EXPECT_EQ(ReleaseSuiteReporting(&host.in_data, &host.out_data, kPFPixelFormatSuite, 1, nullptr), PF_Err_NONE);
    EXPECT_EQ(host.suite_calls, (std::vector<SuiteCall>{{SuiteCall::RELEASE, "PF Pixel Format Suite", 1}}));
    EXPECT_EQ(host.out_data.out_flags, 0);
    EXPECT_STREQ(host.out_data.return_msg, "");
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
        FakeHost host;
        host.RemoveBasicSuite();
        EXPECT_EQ(ReleaseSuiteReporting(&host.in_data, &host.out_data, kPFPixelFormatSuite, 1, c.message),
                  PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(host.out_data.out_flags, PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_STREQ(host.out_data.return_msg, c.shown);
    }
}

// Without the host's utility callbacks there is no way to write the text,
// but the flag is still raised and nothing is dereferenced.
TEST(SuiteReporting, ReportWithoutUtilityCallbacksSetsOnlyTheFlag) {
    FakeHost host;
    host.RemoveBasicSuite();
    host.in_data.utils = nullptr;
    const void *suite = nullptr;
    EXPECT_EQ(AcquireSuiteReporting(&host.in_data, &host.out_data, kPFPixelFormatSuite, 1, nullptr, &suite),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.out_data.out_flags, PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_STREQ(host.out_data.return_msg, "");
}

}  // namespace
