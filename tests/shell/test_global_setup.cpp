#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/global_setup.h"
#include "support/fake_host.h"

namespace {

using zonara_test::FakeHost;
using zonara_test::PixelFormatCall;
using zonara_test::SuiteCall;

// The flags are assigned, not combined with what the host left there.
TEST(GlobalSetup, InTheCompositingHostSetsOnlyVersionAndFlags) {
    for (A_long appl_id : {PF_APPL_ID_AFTER_EFFECTS, A_long{0}, A_long{0x50724D73}}) {
        FakeHost host(appl_id);
        host.out_data.out_flags = PF_OutFlag_DISPLAY_ERROR_MESSAGE | 0x1;
        host.out_data.num_params = 5;
        ASSERT_EQ(zonara::GlobalSetup(&host.in_data, &host.out_data), PF_Err_NONE);
        EXPECT_EQ(host.out_data.my_version, 0x00090001u);
        EXPECT_EQ(host.out_data.out_flags, 0x06008400);
        EXPECT_EQ(host.out_data.num_params, 5);
        EXPECT_TRUE(host.suite_calls.empty());
        EXPECT_TRUE(host.pixel_format_calls.empty());
    }
}

TEST(GlobalSetup, InTheEditingHostDeclaresFloatThenEightBitAfterClearing) {
    FakeHost host(PF_APPL_ID_PREMIERE);
    ASSERT_EQ(zonara::GlobalSetup(&host.in_data, &host.out_data), PF_Err_NONE);
    const std::vector<PixelFormatCall> expected = {
        {PixelFormatCall::CLEAR, 0, reinterpret_cast<PF_ProgPtr>(&host)},
        {PixelFormatCall::ADD, 0x61724742, reinterpret_cast<PF_ProgPtr>(&host)},
        {PixelFormatCall::ADD, 0x61726762, reinterpret_cast<PF_ProgPtr>(&host)},
    };
    EXPECT_EQ(host.pixel_format_calls, expected);
    const std::vector<SuiteCall> suites = {
        {SuiteCall::ACQUIRE, "PF Pixel Format Suite", 1},
        {SuiteCall::RELEASE, "PF Pixel Format Suite", 1},
    };
    EXPECT_EQ(host.suite_calls, suites);
    EXPECT_EQ(host.out_data.out_flags, 0x06008400);
    EXPECT_STREQ(host.out_data.return_msg, "");
}

// Without the pixel format suite the effect still loads: the user is told,
// and version and flags stand.
TEST(GlobalSetup, InTheEditingHostAMissingSuiteIsReportedNotFatal) {
    const struct {
        const char *label;
        void (*break_host)(FakeHost &);
    } cases[] = {
        {"no basic suite", [](FakeHost &h) { h.RemoveBasicSuite(); }},
        {"suite refused", [](FakeHost &h) { h.RefuseSuite(kPFPixelFormatSuite); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        FakeHost host(PF_APPL_ID_PREMIERE);
        c.break_host(host);
        EXPECT_EQ(zonara::GlobalSetup(&host.in_data, &host.out_data), PF_Err_NONE);
        EXPECT_EQ(host.out_data.my_version, 0x00090001u);
        EXPECT_EQ(host.out_data.out_flags, 0x06008400 | PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_STREQ(host.out_data.return_msg, "Not able to acquire AEFX Suite.");
        EXPECT_EQ(host.sprintf_formats, std::vector<std::string>{"Not able to acquire AEFX Suite."});
        EXPECT_TRUE(host.pixel_format_calls.empty());
        EXPECT_EQ(host.ReleaseCount(kPFPixelFormatSuite), 0);
    }
}

}  // namespace
