// The host's callbacks and records as effect code sees them, driven through
// SendTo so that each case is a few lines of "effect".
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "testhost/core/host.h"

namespace {

using testhost::EffectFunction;
using testhost::Host;
using testhost::HostApp;

// An effect body that only needs in_data and out_data.
template <class Body>
EffectFunction Effect(Body body) {
    return [body](PF_Cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **, PF_LayerDef *, void *) {
        return body(in_data, out_data);
    };
}

TEST(HostCallbacks, SprintfFormatsIntoReturnMsgAndNeverPastIt) {
    struct Case {
        std::string format_argument;
        std::string expected;
    };
    const std::string long_text(400, 'x');
    const Case cases[] = {
        {"Zonara", "Zonara v1.2\rtail"},
        {"", " v1.2\rtail"},
        {long_text, (long_text + " v1.2\rtail").substr(0, PF_MAX_EFFECT_MSG_LEN)},
    };
    for (const Case &c : cases) {
        Host host(nullptr, HostApp::kAfterEffects);
        int written = -1;
        host.SendTo(Effect([&](PF_InData *in_data, PF_OutData *out_data) {
                        written = in_data->utils->ansi.sprintf(out_data->return_msg, "%s v%d.%d\r%s",
                                                               c.format_argument.c_str(), 1, 2, "tail");
                        return PF_Err_NONE;
                    }),
                    PF_Cmd_ABOUT);
        EXPECT_EQ(std::string(host.last_out_data().return_msg), c.expected);
        EXPECT_EQ(written, static_cast<int>(c.expected.size()));
    }
}

TEST(HostCallbacks, AnsiTableIsAlsoTheAnsiSuite) {
    Host host(nullptr, HostApp::kPremiere);
    host.SendTo(Effect([](PF_InData *in_data, PF_OutData *) {
                    const void *suite = nullptr;
                    EXPECT_EQ(in_data->pica_basicP->AcquireSuite(kPFANSISuite, 1, &suite), kSPNoError);
                    const auto *ansi = static_cast<const PF_ANSICallbacksSuite1 *>(suite);
                    EXPECT_EQ(ansi->pow(2.0, 10.0), 1024.0);
                    EXPECT_EQ(ansi->fabs(-2.5), 2.5);
                    EXPECT_EQ(ansi->sin(0.0), 0.0);
                    EXPECT_EQ(ansi->cos(0.0), 1.0);
                    EXPECT_EQ(ansi->atan(0.0), 0.0);
                    char name[32] = {};
                    ansi->strcpy(name, "Point of origin");
                    EXPECT_STREQ(name, "Point of origin");
                    EXPECT_EQ(ansi->sin, in_data->utils->ansi.sin);
                    in_data->pica_basicP->ReleaseSuite(kPFANSISuite, 1);
                    return PF_Err_NONE;
                }),
                PF_Cmd_ABOUT);
    EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
}

TEST(HostCallbacks, SuitesOfferedDependOnTheHost) {
    struct Case {
        HostApp app;
        const char *name;
        bool offered;
    };
    const Case cases[] = {
        {HostApp::kAfterEffects, kPFANSISuite, true},         {HostApp::kPremiere, kPFANSISuite, true},
        {HostApp::kAfterEffects, kPFIterate8Suite, true},     {HostApp::kPremiere, kPFIterate8Suite, true},
        {HostApp::kAfterEffects, kPFIterate16Suite, true},    {HostApp::kPremiere, kPFIterate16Suite, true},
        {HostApp::kAfterEffects, kPFPixelFormatSuite, false}, {HostApp::kPremiere, kPFPixelFormatSuite, true},
    };
    for (const Case &c : cases) {
        Host host(nullptr, c.app);
        const void *suite = nullptr;
        host.SendTo(Effect([&](PF_InData *in_data, PF_OutData *) {
                        if (in_data->pica_basicP->AcquireSuite(c.name, 1, &suite) == kSPNoError) {
                            in_data->pica_basicP->ReleaseSuite(c.name, 1);
                        }
                        return PF_Err_NONE;
                    }),
                    PF_Cmd_RENDER);
        EXPECT_EQ(suite != nullptr, c.offered) << c.name;
        EXPECT_EQ(host.last_in_data().appl_id,
                  c.app == HostApp::kPremiere ? PF_APPL_ID_PREMIERE : PF_APPL_ID_AFTER_EFFECTS);
    }
}

TEST(HostCallbacks, InDataCarriesTheFrameSetup) {
    Host host(nullptr, HostApp::kAfterEffects);
    host.frame().layer_width = 720;
    host.frame().layer_height = 486;
    host.frame().pixel_aspect_ratio = {10, 11};
    host.frame().downsample_x = {1, 2};
    host.frame().downsample_y = {1, 4};
    host.frame().current_time = 48;
    host.faults().no_basic_suite = true;
    host.SendTo(Effect([](PF_InData *, PF_OutData *) { return PF_Err_NONE; }), PF_Cmd_RENDER);
    const PF_InData &in = host.last_in_data();
    EXPECT_EQ(in.width, 720);
    EXPECT_EQ(in.height, 486);
    EXPECT_EQ(in.pixel_aspect_ratio.num, 10);
    EXPECT_EQ(in.pixel_aspect_ratio.den, 11u);
    EXPECT_EQ(in.downsample_x.den, 2u);
    EXPECT_EQ(in.downsample_y.den, 4u);
    EXPECT_EQ(in.current_time, 48);
    EXPECT_EQ(in.time_scale, 24u);
    EXPECT_EQ(in.pica_basicP, nullptr);
}

TEST(HostCallbacks, CallbacksRefuseAForeignEffectRef) {
    Host host(nullptr, HostApp::kPremiere);
    host.SendTo(Effect([](PF_InData *in_data, PF_OutData *) {
                    PF_ParamDef def{};
                    PF_CustomUIInfo ui{};
                    int not_the_host = 0;
                    EXPECT_EQ(in_data->inter.add_param(reinterpret_cast<PF_ProgPtr>(&not_the_host), -1, &def),
                              PF_Err_BAD_CALLBACK_PARAM);
                    EXPECT_EQ(in_data->inter.register_ui(nullptr, &ui), PF_Err_BAD_CALLBACK_PARAM);
                    EXPECT_EQ(in_data->inter.add_param(in_data->effect_ref, 3, &def), PF_Err_INVALID_INDEX);
                    EXPECT_EQ(in_data->inter.add_param(in_data->effect_ref, -1, nullptr), PF_Err_BAD_CALLBACK_PARAM);
                    return PF_Err_NONE;
                }),
                PF_Cmd_PARAMS_SETUP);
    EXPECT_TRUE(host.declared_params().empty());
}

TEST(HostCallbacks, AddParamKeepsItsOwnCopyOfTheTexts) {
    Host host(nullptr, HostApp::kAfterEffects);
    host.SendTo(Effect([](PF_InData *in_data, PF_OutData *) {
                    PF_ParamDef def{};
                    char choices[] = "One|Two|";
                    def.param_type = PF_Param_POPUP;
                    def.u.pd.u.namesptr = choices;
                    std::memset(def.name, 'n', sizeof def.name);  // no terminator
                    in_data->inter.add_param(in_data->effect_ref, -1, &def);
                    std::strcpy(choices, "gone");
                    return PF_Err_NONE;
                }),
                PF_Cmd_PARAMS_SETUP);
    ASSERT_EQ(host.declared_params().size(), 1u);
    EXPECT_STREQ(host.declared_params()[0].u.pd.u.namesptr, "One|Two|");
    EXPECT_EQ(std::strlen(host.declared_params()[0].name), static_cast<std::size_t>(PF_MAX_EFFECT_PARAM_NAME_LEN));
}

TEST(HostCallbacks, BasicSuiteServesOnlyDuringTheHostsCommand) {
    Host host(nullptr, HostApp::kAfterEffects);
    const SPBasicSuite *basic = nullptr;
    host.SendTo(Effect([&](PF_InData *in_data, PF_OutData *) {
                    basic = in_data->pica_basicP;
                    return PF_Err_NONE;
                }),
                PF_Cmd_ABOUT);
    ASSERT_NE(basic, nullptr);
    const void *suite = &basic;
    EXPECT_NE(basic->AcquireSuite(kPFANSISuite, 1, &suite), kSPNoError);
    EXPECT_EQ(suite, nullptr);
    EXPECT_TRUE(basic->IsEqual("PF ANSI Suite", kPFANSISuite));
    EXPECT_FALSE(basic->IsEqual("PF ansi Suite", kPFANSISuite));
}

TEST(HostCallbacks, TwoHostsOnTwoThreadsKeepSeparateBooks) {
    Host first(nullptr, HostApp::kAfterEffects);
    Host second(nullptr, HostApp::kAfterEffects);
    auto acquire_times = [](Host &host, int times) {
        for (int i = 0; i < 200; ++i) {
            host.SendTo(Effect([times](PF_InData *in_data, PF_OutData *) {
                            const void *suite = nullptr;
                            for (int n = 0; n < times; ++n) {
                                in_data->pica_basicP->AcquireSuite(kPFANSISuite, 1, &suite);
                            }
                            return PF_Err_NONE;
                        }),
                        PF_Cmd_RENDER);
        }
    };
    std::thread one([&] { acquire_times(first, 1); });
    std::thread two([&] { acquire_times(second, 2); });
    one.join();
    two.join();
    EXPECT_EQ(first.suites().uses_total().at({kPFANSISuite, 1}).acquired, 200);
    EXPECT_EQ(second.suites().uses_total().at({kPFANSISuite, 1}).acquired, 400);
    EXPECT_FALSE(first.suites().BalancedSinceLastCommand());
}

TEST(HostCallbacks, AnExceptionFromTheEffectIsCaughtAndReported) {
    Host host(nullptr, HostApp::kAfterEffects);
    const PF_Err err = host.SendTo(
        Effect([](PF_InData *, PF_OutData *) -> PF_Err { throw std::runtime_error("escaped"); }), PF_Cmd_RENDER);
    EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_TRUE(host.exception_escaped());
    host.SendTo(Effect([](PF_InData *, PF_OutData *) { return PF_Err_NONE; }), PF_Cmd_RENDER);
    EXPECT_FALSE(host.exception_escaped());
}

TEST(HostCallbacks, APFErrThrownOutOfTheEffectIsKeptWithItsCode) {
    Host host(nullptr, HostApp::kAfterEffects);
    EXPECT_EQ(host.SendTo(Effect([](PF_InData *, PF_OutData *) -> PF_Err { throw PF_Err{516}; }), PF_Cmd_ABOUT),
              PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_TRUE(host.exception_escaped());
    EXPECT_EQ(host.escaped_error_code(), PF_Err{516});
    host.SendTo(Effect([](PF_InData *, PF_OutData *) -> PF_Err { throw 5LL; }), PF_Cmd_ABOUT);
    EXPECT_TRUE(host.exception_escaped());
    EXPECT_FALSE(host.escaped_error_code().has_value()) << "not a PF_Err";
    host.SendTo(Effect([](PF_InData *, PF_OutData *) { return PF_Err_NONE; }), PF_Cmd_ABOUT);
    EXPECT_FALSE(host.escaped_error_code().has_value());
}

// Both ways to the functions: the utilities' block and the suite.
TEST(HostCallbacks, SprintfFormatsOfTheLastCommandAreKept) {
    Host host(nullptr, HostApp::kAfterEffects);
    host.SendTo(Effect([](PF_InData *in_data, PF_OutData *out_data) {
                    in_data->utils->ansi.sprintf(out_data->return_msg, "%s v%d", "Zonara", 1);
                    const void *suite = nullptr;
                    in_data->pica_basicP->AcquireSuite(kPFANSISuite, 1, &suite);
                    static_cast<const PF_ANSICallbacksSuite1 *>(suite)->sprintf(out_data->return_msg, "plain");
                    in_data->pica_basicP->ReleaseSuite(kPFANSISuite, 1);
                    return PF_Err_NONE;
                }),
                PF_Cmd_ABOUT);
    EXPECT_EQ(host.sprintf_formats(), (std::vector<std::string>{"%s v%d", "plain"}));
    host.SendTo(Effect([](PF_InData *, PF_OutData *) { return PF_Err_NONE; }), PF_Cmd_ABOUT);
    EXPECT_TRUE(host.sprintf_formats().empty());
}

// A test may serve its own variant of the host's table under the same name.
TEST(HostCallbacks, TheAnsiTableCanBeServedVaried) {
    Host host(nullptr, HostApp::kAfterEffects);
    PF_ANSICallbacksSuite1 varied = host.ansi_suite();
    varied.sqrt = [](double) { return -1.0; };
    host.suites().Register(kPFANSISuite, 1, &varied);
    double root = 0;
    host.SendTo(Effect([&](PF_InData *in_data, PF_OutData *) {
                    const void *suite = nullptr;
                    in_data->pica_basicP->AcquireSuite(kPFANSISuite, 1, &suite);
                    root = static_cast<const PF_ANSICallbacksSuite1 *>(suite)->sqrt(4.0);
                    in_data->pica_basicP->ReleaseSuite(kPFANSISuite, 1);
                    return PF_Err_NONE;
                }),
                PF_Cmd_ABOUT);
    EXPECT_EQ(root, -1.0);
    EXPECT_EQ(host.ansi_suite().sqrt(4.0), 2.0);
}

// Effect code linked into the test takes the module's place for every
// command: parameter setup fills the store, Render hands over the layers.
TEST(HostCallbacks, ALinkedEffectAnswersEveryCommand) {
    std::vector<PF_Cmd> received;
    PF_ParamDef *input_seen = nullptr;
    Host host(
        [&](PF_Cmd cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **params, PF_LayerDef *output, void *) {
            received.push_back(cmd);
            if (cmd == PF_Cmd_PARAMS_SETUP) {
                PF_ParamDef def{};
                def.param_type = PF_Param_FLOAT_SLIDER;
                def.u.fs_d.dephault = 3.0f;
                PF_CustomUIInfo ui{};
                in_data->inter.add_param(in_data->effect_ref, 3, &def);  // refused: not appended
                in_data->inter.add_param(in_data->effect_ref, -1, &def);
                in_data->inter.register_ui(in_data->effect_ref, &ui);
                out_data->num_params = 2;
            } else if (cmd == PF_Cmd_RENDER) {
                input_seen = params[0];
                EXPECT_NE(output, nullptr);
            }
            return PF_Err_NONE;
        },
        HostApp::kAfterEffects);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.add_param_calls(), 2);
    EXPECT_EQ(host.register_ui_calls(), 1);
    ASSERT_EQ(host.params().size(), 2);
    EXPECT_EQ(host.params().at(1).u.fs_d.value, 3.0);
    testhost::Layer source(testhost::PixelFormat::ARGB8, 2, 2);
    testhost::Layer output(testhost::PixelFormat::ARGB8, 2, 2);
    EXPECT_EQ(host.Render(source, output), PF_Err_NONE);
    ASSERT_NE(input_seen, nullptr);
    EXPECT_EQ(input_seen->u.ld.data, source.def().data);
    EXPECT_EQ(received, (std::vector<PF_Cmd>{PF_Cmd_GLOBAL_SETUP, PF_Cmd_PARAMS_SETUP, PF_Cmd_RENDER}));
}

TEST(HostCallbacks, AHostWithoutAModuleOnlyRunsSendTo) {
    Host host(nullptr, HostApp::kAfterEffects);
    EXPECT_THROW(host.About(), std::logic_error);
    testhost::Layer layer(testhost::PixelFormat::ARGB8, 2, 2);
    EXPECT_THROW(host.Render(layer, layer), std::logic_error);  // no parameter setup either
}

}  // namespace
