#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/global_setup.h"
#include "support/linked_effect.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::SuiteCall;
using zonara_test::TwoRecords;

// GlobalSetup as a host with application id `appl_id` calls it.
testhost::EffectFunction GlobalSetupIn(A_long appl_id) {
    return TwoRecords([appl_id](PF_InData *in_data, PF_OutData *out_data) {
        in_data->appl_id = appl_id;
        return zonara::GlobalSetup(in_data, out_data);
    });
}

// The flags are assigned, not combined with what the host left there. Any
// application but the editing host is the compositing host.
TEST(GlobalSetup, InTheCompositingHostSetsOnlyVersionAndFlags) {
    for (A_long appl_id : {PF_APPL_ID_AFTER_EFFECTS, A_long{0}, A_long{0x50724D73}}) {
        Host host(nullptr, HostApp::kPremiere);  // every suite on offer: none may be asked for
        host.out_data().out_flags = PF_OutFlag_DISPLAY_ERROR_MESSAGE | 0x1;
        host.out_data().out_flags2 = 0x1;
        host.out_data().num_params = 5;
        ASSERT_EQ(host.SendTo(GlobalSetupIn(appl_id), PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
        const PF_OutData &out = host.last_out_data();
        EXPECT_EQ(out.my_version, 0x00090001u);
        EXPECT_EQ(out.out_flags, 0x06008400);
        EXPECT_EQ(out.out_flags2, 0x08001400) << "threaded rendering, smart rendering and float, nothing else";
        EXPECT_EQ(out.num_params, 5);
        EXPECT_TRUE(host.suites().calls_of_last_command().empty());
        EXPECT_TRUE(host.declared_pixel_formats().empty());
        EXPECT_EQ(host.pixel_format_clear_calls(), 0);
    }
}

// The host refuses a call with another effect_ref, so the declared list also
// shows that the effect passed its own.
TEST(GlobalSetup, InTheEditingHostDeclaresFloatThenEightBitAfterClearing) {
    Host host(nullptr, HostApp::kPremiere);
    ASSERT_EQ(host.SendTo(GlobalSetupIn(PF_APPL_ID_PREMIERE), PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.pixel_format_clear_calls(), 1);
    EXPECT_EQ(host.declared_pixel_formats(), (std::vector<PrPixelFormat>{0x61724742, 0x61726762}))
        << "cleared before the two were added";
    const std::vector<SuiteCall> suites = {
        {SuiteCall::Kind::kAcquired, "PF Pixel Format Suite", 1},
        {SuiteCall::Kind::kReleased, "PF Pixel Format Suite", 1},
    };
    EXPECT_EQ(host.suites().calls_of_last_command(), suites);
    EXPECT_EQ(host.last_out_data().out_flags, 0x06008400);
    EXPECT_EQ(host.last_out_data().out_flags2, 0x08001400);
    EXPECT_STREQ(host.last_out_data().return_msg, "");
}

// Without the pixel format suite the effect still loads: the user is told,
// and version and both sets of flags stand.
TEST(GlobalSetup, InTheEditingHostAMissingSuiteIsReportedNotFatal) {
    const struct {
        const char *label;
        void (*break_host)(Host &);
    } cases[] = {
        {"no basic suite", [](Host &h) { h.faults().no_basic_suite = true; }},
        {"suite refused", [](Host &h) { h.suites().Refuse(kPFPixelFormatSuite); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Host host(nullptr, HostApp::kPremiere);
        c.break_host(host);
        EXPECT_EQ(host.SendTo(GlobalSetupIn(PF_APPL_ID_PREMIERE), PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
        const PF_OutData &out = host.last_out_data();
        EXPECT_EQ(out.my_version, 0x00090001u);
        EXPECT_EQ(out.out_flags, 0x06008400 | PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_EQ(out.out_flags2, 0x08001400);
        EXPECT_STREQ(out.return_msg, "Not able to acquire AEFX Suite.");
        EXPECT_EQ(host.sprintf_formats(), std::vector<std::string>{"Not able to acquire AEFX Suite."});
        EXPECT_TRUE(host.declared_pixel_formats().empty());
        EXPECT_EQ(host.pixel_format_clear_calls(), 0);
        EXPECT_EQ(zonara_test::UseOf(host, kPFPixelFormatSuite).released, 0);
    }
}

}  // namespace
