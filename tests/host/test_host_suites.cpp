// HostSuites must give back exactly what it took, once, in a fixed order,
// also when the handler ends by an exception.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/host_suites.h"
#include "support/linked_effect.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::SuiteCall;
using zonara::HostSuites;
using zonara_test::TwoRecords;

// Stand-in tables: HostSuites only hands the pointers on.
PF_Iterate8Suite1 g_iterate8{};
PF_iterate16Suite1 g_iterate16{};
PF_EffectCustomUISuite1 g_custom_ui{};
PF_EffectCustomUIOverlayThemeSuite1 g_theme{};
DRAWBOT_DrawbotSuite1 g_draw{};

void ProvideAll(Host &host) {
    host.suites().Register(kPFIterate8Suite, 1, &g_iterate8);
    host.suites().Register(kPFIterate16Suite, 1, &g_iterate16);
    host.suites().Register(kPFEffectCustomUISuite, 1, &g_custom_ui);
    host.suites().Register(kPFEffectCustomUIOverlayThemeSuite, 1, &g_theme);
    host.suites().Register(kDRAWBOT_DrawSuite, 1, &g_draw);
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

// Runs `body(in_data)` inside a command of `host`.
template <class Body>
void InCommand(Host &host, Body body) {
    host.SendTo(TwoRecords([&](PF_InData *in_data, PF_OutData *) {
                    body(in_data);
                    return PF_Err_NONE;
                }),
                PF_Cmd_RENDER);
    ASSERT_FALSE(host.exception_escaped());
}

TEST(HostSuites, NothingUsedNothingAcquired) {
    Host host(nullptr, HostApp::kAfterEffects);
    InCommand(host, [](PF_InData *in_data) { HostSuites suites(in_data->pica_basicP); });
    EXPECT_TRUE(host.suites().calls_of_last_command().empty());
}

TEST(HostSuites, AccessorsReturnTheHostTablesUnderTheirExactNames) {
    Host host(nullptr, HostApp::kAfterEffects);
    ProvideAll(host);
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
    InCommand(host, [&](PF_InData *in_data) {
        HostSuites suites(in_data->pica_basicP);
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(c.use(suites), c.table);
            const std::vector<SuiteCall> &calls = host.suites().calls_of_last_command();
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.back(), (SuiteCall{SuiteCall::Kind::kAcquired, c.name, 1}));
        }
    });
}

TEST(HostSuites, EachSuiteAcquiredOnceAndReleasedOnce) {
    Host host(nullptr, HostApp::kAfterEffects);
    InCommand(host, [](PF_InData *in_data) {
        HostSuites suites(in_data->pica_basicP);
        for (int i = 0; i < 100; ++i) {
            suites.AnsiSuite()->sin(0.5);
        }
    });
    const std::vector<SuiteCall> expected = {
        {SuiteCall::Kind::kAcquired, "PF ANSI Suite", 1},
        {SuiteCall::Kind::kReleased, "PF ANSI Suite", 1},
    };
    EXPECT_EQ(host.suites().calls_of_last_command(), expected);
}

// Release follows the catalogue, whatever order the handler used them in.
TEST(HostSuites, ReleasesInCatalogueOrder) {
    Host host(nullptr, HostApp::kAfterEffects);
    ProvideAll(host);
    InCommand(host, [&](PF_InData *in_data) {
        HostSuites suites(in_data->pica_basicP);
        suites.DrawSuite();
        suites.Iterate16Suite();
        suites.AnsiSuite();
        suites.OverlayThemeSuite();
        suites.Iterate8Suite();
        suites.CustomUISuite();
        suites.DrawSuite();
        EXPECT_TRUE(Only(host.suites().calls_of_last_command(), SuiteCall::Kind::kReleased).empty());
    });
    const std::vector<SuiteCall> expected = {
        {SuiteCall::Kind::kReleased, "PF ANSI Suite", 1},
        {SuiteCall::Kind::kReleased, "PF Iterate8 Suite", 1},
        {SuiteCall::Kind::kReleased, "PF iterate16 Suite", 1},
        {SuiteCall::Kind::kReleased, "PF Effect Custom UI Suite", 1},
        {SuiteCall::Kind::kReleased, "PF Effect Custom UI Overlay Theme Suite", 1},
        {SuiteCall::Kind::kReleased, "DRAWBOT Draw Suite", 1},
    };
    const std::vector<SuiteCall> &calls = host.suites().calls_of_last_command();
    EXPECT_EQ(Only(calls, SuiteCall::Kind::kReleased), expected);
    EXPECT_EQ(Only(calls, SuiteCall::Kind::kAcquired).size(), 6u);
}

TEST(HostSuites, ReleasesDuringAnExceptionFromTheHandler) {
    Host host(nullptr, HostApp::kAfterEffects);
    ProvideAll(host);
    InCommand(host, [](PF_InData *in_data) {
        try {
            HostSuites suites(in_data->pica_basicP);
            suites.Iterate8Suite();
            suites.AnsiSuite();
            throw std::runtime_error("handler failed");
        } catch (const std::runtime_error &) {}
    });
    const std::vector<SuiteCall> expected = {
        {SuiteCall::Kind::kReleased, "PF ANSI Suite", 1},
        {SuiteCall::Kind::kReleased, "PF Iterate8 Suite", 1},
    };
    EXPECT_EQ(Only(host.suites().calls_of_last_command(), SuiteCall::Kind::kReleased), expected);
    EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
}

// A refused suite throws 516; what was taken before is given back, and the
// refused one is not released.
TEST(HostSuites, RefusedSuiteThrowsAndReleasesWhatCameBefore) {
    const struct {
        const char *label;
        void (*refuse)(Host &);
        SuiteCall::Kind answer;
    } cases[] = {
        {"refused with an error", [](Host &h) { h.suites().Refuse(kPFIterate16Suite); }, SuiteCall::Kind::kRefused},
        {"refused with kSPNoError but null", [](Host &h) { h.suites().HandOutNull(kPFIterate16Suite); },
         SuiteCall::Kind::kHandedNull},
        {"refused with another code", [](Host &h) { h.suites().Refuse(kPFIterate16Suite, 1); },
         SuiteCall::Kind::kRefused},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        Host host(nullptr, HostApp::kAfterEffects);
        ProvideAll(host);
        c.refuse(host);
        bool reached_after = false;
        InCommand(host, [&](PF_InData *in_data) {
            try {
                HostSuites suites(in_data->pica_basicP);
                suites.AnsiSuite();
                suites.Iterate16Suite();
                reached_after = true;
            } catch (PF_Err code) {
                EXPECT_EQ(code, PF_Err_BAD_CALLBACK_PARAM);
            }
        });
        EXPECT_FALSE(reached_after);
        const std::vector<SuiteCall> expected = {
            {SuiteCall::Kind::kAcquired, "PF ANSI Suite", 1},
            {c.answer, "PF iterate16 Suite", 1},
            {SuiteCall::Kind::kReleased, "PF ANSI Suite", 1},
        };
        EXPECT_EQ(host.suites().calls_of_last_command(), expected);
    }
}

// After a refusal the same scope may try again and succeed.
TEST(HostSuites, ARefusalIsNotCached) {
    Host host(nullptr, HostApp::kAfterEffects);
    host.suites().Refuse(kPFANSISuite);
    InCommand(host, [&](PF_InData *in_data) {
        HostSuites suites(in_data->pica_basicP);
        EXPECT_THROW(suites.AnsiSuite(), PF_Err);
        host.suites().AllowAll();
        EXPECT_NE(suites.AnsiSuite(), nullptr);
    });
    EXPECT_EQ(zonara_test::UseOf(host, kPFANSISuite).refused, 1);
    EXPECT_EQ(zonara_test::UseOf(host, kPFANSISuite).acquired, 1);
    EXPECT_EQ(zonara_test::UseOf(host, kPFANSISuite).released, 1);
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
    } catch (...) {}
    ADD_FAILURE() << "not thrown as a 32-bit integer";
}

}  // namespace
