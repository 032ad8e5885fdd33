// HostSuites must give back exactly what it took, once, in a fixed order,
// also when the handler ends by an exception.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/host_suites.h"
#include "support/fake_host.h"

namespace {

using zonara::HostSuites;
using zonara_test::FakeHost;
using zonara_test::SuiteCall;

// Stand-in tables: HostSuites only hands the pointers on.
PF_Iterate8Suite1 g_iterate8{};
PF_iterate16Suite1 g_iterate16{};
PF_EffectCustomUISuite1 g_custom_ui{};
PF_EffectCustomUIOverlayThemeSuite1 g_theme{};
DRAWBOT_DrawbotSuite1 g_draw{};

void ProvideAll(FakeHost &host) {
    host.ProvideSuite(kPFIterate8Suite, &g_iterate8);
    host.ProvideSuite(kPFIterate16Suite, &g_iterate16);
    host.ProvideSuite(kPFEffectCustomUISuite, &g_custom_ui);
    host.ProvideSuite(kPFEffectCustomUIOverlayThemeSuite, &g_theme);
    host.ProvideSuite(kDRAWBOT_DrawSuite, &g_draw);
}

std::vector<SuiteCall> Only(const std::vector<SuiteCall> &calls, SuiteCall::Kind kind) {
    std::vector<SuiteCall> out;
    for (const SuiteCall &call : calls) {
        if (call.kind == kind) {
            out.push_back(call);
        }
    }
    return out;
}

TEST(HostSuites, NothingUsedNothingAcquired) {
    FakeHost host;
    { HostSuites suites(host.in_data.pica_basicP); }
    EXPECT_TRUE(host.suite_calls.empty());
}

TEST(HostSuites, AccessorsReturnTheHostTablesUnderTheirExactNames) {
    FakeHost host;
    ProvideAll(host);
    HostSuites suites(host.in_data.pica_basicP);
    const struct {
        const char *name;
        const void *table;
        const void *(*use)(HostSuites &);
    } cases[] = {
        {"PF ANSI Suite", &host.ansi_suite(), [](HostSuites &s) -> const void * { return s.AnsiSuite(); }},
        {"PF Iterate8 Suite", &g_iterate8, [](HostSuites &s) -> const void * { return s.Iterate8Suite(); }},
        {"PF iterate16 Suite", &g_iterate16, [](HostSuites &s) -> const void * { return s.Iterate16Suite(); }},
        {"PF Effect Custom UI Suite", &g_custom_ui, [](HostSuites &s) -> const void * { return s.CustomUISuite(); }},
        {"PF Effect Custom UI Overlay Theme Suite", &g_theme,
         [](HostSuites &s) -> const void * { return s.OverlayThemeSuite(); }},
        {"DRAWBOT Draw Suite", &g_draw, [](HostSuites &s) -> const void * { return s.DrawSuite(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.use(suites), c.table);
        ASSERT_FALSE(host.suite_calls.empty());
        EXPECT_EQ(host.suite_calls.back(), (SuiteCall{SuiteCall::ACQUIRE, c.name, 1}));
    }
}

TEST(HostSuites, EachSuiteAcquiredOnceAndReleasedOnce) {
    FakeHost host;
    {
        HostSuites suites(host.in_data.pica_basicP);
        for (int i = 0; i < 100; ++i) {
            suites.AnsiSuite()->sin(0.5);
        }
    }
    const std::vector<SuiteCall> expected = {
        {SuiteCall::ACQUIRE, "PF ANSI Suite", 1},
        {SuiteCall::RELEASE, "PF ANSI Suite", 1},
    };
    EXPECT_EQ(host.suite_calls, expected);
}

// Release follows the catalogue, whatever order the handler used them in.
TEST(HostSuites, ReleasesInCatalogueOrder) {
    FakeHost host;
    ProvideAll(host);
    {
        HostSuites suites(host.in_data.pica_basicP);
        suites.DrawSuite();
        suites.Iterate16Suite();
        suites.AnsiSuite();
        suites.OverlayThemeSuite();
        suites.Iterate8Suite();
        suites.CustomUISuite();
        suites.DrawSuite();
        EXPECT_TRUE(Only(host.suite_calls, SuiteCall::RELEASE).empty());
    }
    const std::vector<SuiteCall> expected = {
        {SuiteCall::RELEASE, "PF ANSI Suite", 1},
        {SuiteCall::RELEASE, "PF Iterate8 Suite", 1},
        {SuiteCall::RELEASE, "PF iterate16 Suite", 1},
        {SuiteCall::RELEASE, "PF Effect Custom UI Suite", 1},
        {SuiteCall::RELEASE, "PF Effect Custom UI Overlay Theme Suite", 1},
        {SuiteCall::RELEASE, "DRAWBOT Draw Suite", 1},
    };
    EXPECT_EQ(Only(host.suite_calls, SuiteCall::RELEASE), expected);
    EXPECT_EQ(Only(host.suite_calls, SuiteCall::ACQUIRE).size(), 6u);
}

TEST(HostSuites, ReleasesDuringAnExceptionFromTheHandler) {
    FakeHost host;
    ProvideAll(host);
    try {
        HostSuites suites(host.in_data.pica_basicP);
        suites.Iterate8Suite();
        suites.AnsiSuite();
        throw std::runtime_error("handler failed");
    } catch (const std::runtime_error &) {
    }
    const std::vector<SuiteCall> expected = {
        {SuiteCall::RELEASE, "PF ANSI Suite", 1},
        {SuiteCall::RELEASE, "PF Iterate8 Suite", 1},
    };
    EXPECT_EQ(Only(host.suite_calls, SuiteCall::RELEASE), expected);
    EXPECT_TRUE(host.SuitesBalanced());
}

// A refused suite throws 516; what was taken before is given back, and the
// refused one is not released.
TEST(HostSuites, RefusedSuiteThrowsAndReleasesWhatCameBefore) {
    const struct {
        const char *label;
        void (*refuse)(FakeHost &);
    } cases[] = {
        {"refused with an error", [](FakeHost &h) { h.RefuseSuite(kPFIterate16Suite); }},
        {"refused with kSPNoError but null", [](FakeHost &h) { h.HandOutNullFor(kPFIterate16Suite); }},
        {"unknown to the host", [](FakeHost &h) { h.RefuseSuite(kPFIterate16Suite, 1); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        FakeHost host;
        ProvideAll(host);
        c.refuse(host);
        bool reached_after = false;
        try {
            HostSuites suites(host.in_data.pica_basicP);
            suites.AnsiSuite();
            suites.Iterate16Suite();
            reached_after = true;
        } catch (PF_Err code) {
            EXPECT_EQ(code, PF_Err_BAD_CALLBACK_PARAM);
        }
        EXPECT_FALSE(reached_after);
        const std::vector<SuiteCall> expected = {
            {SuiteCall::ACQUIRE, "PF ANSI Suite", 1},
            {SuiteCall::ACQUIRE, "PF iterate16 Suite", 1},
            {SuiteCall::RELEASE, "PF ANSI Suite", 1},
        };
        EXPECT_EQ(host.suite_calls, expected);
    }
}

// After a refusal the same scope may try again and succeed.
TEST(HostSuites, ARefusalIsNotCached) {
    FakeHost host;
    host.RefuseSuite(kPFANSISuite);
    {
        HostSuites suites(host.in_data.pica_basicP);
        EXPECT_THROW(suites.AnsiSuite(), PF_Err);
        host.ProvideSuite(kPFANSISuite, &host.in_data.utils->ansi);
        EXPECT_NE(suites.AnsiSuite(), nullptr);
    }
    EXPECT_EQ(host.AcquireCount(kPFANSISuite), 2);
    EXPECT_EQ(host.ReleaseCount(kPFANSISuite), 1);
}

TEST(HostSuites, NoBasicSuiteThrowsAtConstruction) {
    try {
        HostSuites suites(nullptr);
        ADD_FAILURE() << "constructed";
    } catch (PF_Err code) {
        EXPECT_EQ(code, PF_Err_BAD_CALLBACK_PARAM);
    }
}

TEST(HostSuites, ThrowMissingSuiteThrowsA32BitCode) {
    try {
        zonara::ThrowMissingSuite();
    } catch (int32_t code) {
        EXPECT_EQ(code, 516);
        return;
    } catch (...) {
    }
    ADD_FAILURE() << "not thrown as a 32-bit integer";
}

}  // namespace
