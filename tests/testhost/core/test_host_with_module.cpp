// The host driving the built module through its commands: what a real host
// would see of the effect, and the host's own fault injection.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "testhost/core/host.h"

namespace {

using testhost::Host;
using testhost::HostApp;
using testhost::Layer;
using testhost::PixelFormat;

constexpr int DECLARED_PARAMS = 47;

std::shared_ptr<const testhost::Module> BuiltModule() {
    static const auto module = testhost::Module::Load(ZONARA_MODULE_PATH);
    return module;
}

TEST(HostWithModule, ParameterSetupBuildsTheStoreFromTheDeclarations) {
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{1920, 1080}, Case{101, 50}}) {
        Host host(BuiltModule(), HostApp::kAfterEffects);
        host.frame().layer_width = c.width;
        host.frame().layer_height = c.height;
        ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
        EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
        ASSERT_EQ(static_cast<int>(host.declared_params().size()), DECLARED_PARAMS);
        EXPECT_EQ(host.params().size(), DECLARED_PARAMS + 1);
        EXPECT_EQ(host.last_out_data().num_params, DECLARED_PARAMS + 1);
        ASSERT_TRUE(host.registered_ui().has_value());
        EXPECT_EQ(host.registered_ui()->events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER);
        // The window starts centred on the layer, whatever its size.
        int points = 0;
        for (int i = 1; i < host.params().size(); ++i) {
            const PF_ParamDef &def = host.params().at(i);
            if (def.param_type == PF_Param_POINT) {
                ++points;
                EXPECT_EQ(def.u.td.x_value, c.width * PF_FIXED_ONE / 2);
                EXPECT_EQ(def.u.td.y_value, c.height * PF_FIXED_ONE / 2);
            }
        }
        EXPECT_EQ(points, 1);
    }
}

TEST(HostWithModule, AddParamFailingOnTheNthCallStopsTheDeclarations) {
    for (int n : {1, 2, 30, DECLARED_PARAMS}) {
        Host host(BuiltModule(), HostApp::kAfterEffects);
        host.faults().add_param_fail_on_call = n;
        host.faults().add_param_fail_code = PF_Err_OUT_OF_MEMORY;
        EXPECT_EQ(host.ParamsSetup(), PF_Err_OUT_OF_MEMORY) << n;
        EXPECT_EQ(static_cast<int>(host.declared_params().size()), n - 1);
        EXPECT_FALSE(host.registered_ui().has_value());
    }
}

TEST(HostWithModule, RegisterUiFailureIsTheResult) {
    Host host(BuiltModule(), HostApp::kAfterEffects);
    host.faults().register_ui_fails = true;
    host.faults().register_ui_fail_code = PF_Err_INVALID_CALLBACK;
    EXPECT_EQ(host.ParamsSetup(), PF_Err_INVALID_CALLBACK);
    EXPECT_EQ(static_cast<int>(host.declared_params().size()), DECLARED_PARAMS);
}

TEST(HostWithModule, AboutTextAndItsFailures) {
    struct Case {
        const char *what;
        bool no_basic_suite;
        const char *refused;
        PF_Err expected;
    };
    const Case cases[] = {
        {"plain", false, nullptr, PF_Err_NONE},
        {"no basic suite", true, nullptr, PF_Err_BAD_CALLBACK_PARAM},
        {"ANSI suite refused", false, kPFANSISuite, PF_Err_BAD_CALLBACK_PARAM},
    };
    for (const Case &c : cases) {
        Host host(BuiltModule(), HostApp::kAfterEffects);
        host.faults().no_basic_suite = c.no_basic_suite;
        if (c.refused != nullptr) {
            host.suites().Refuse(c.refused);
        }
        EXPECT_EQ(host.About(), c.expected) << c.what;
        EXPECT_TRUE(host.suites().BalancedSinceLastCommand()) << c.what;
        const std::string text = host.last_out_data().return_msg;
        EXPECT_EQ(text.rfind("Zonara v1.2\r", 0) == 0, c.expected == PF_Err_NONE) << c.what << ": " << text;
    }
}

TEST(HostWithModule, EditingHostRecordsTheDeclaredPixelFormats) {
    Host host(BuiltModule(), HostApp::kPremiere);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.pixel_format_clear_calls(), 1);
    const std::vector<PrPixelFormat> expected{PrPixelFormat_BGRA_4444_32f, PrPixelFormat_BGRA_4444_8u};
    EXPECT_EQ(host.declared_pixel_formats(), expected);
    EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
}

TEST(HostWithModule, OutDataIsKeptBetweenCommands) {
    Host host(BuiltModule(), HostApp::kAfterEffects);
    host.out_data().num_params = 99;
    std::strcpy(host.out_data().return_msg, "kept");
    EXPECT_EQ(host.Send(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.last_out_data().num_params, 99);
    EXPECT_STREQ(host.last_out_data().return_msg, "kept");
}

struct RenderCase {
    HostApp app;
    PixelFormat format;
    bool bottom_up;
};

// With every grade at identity and Mix 1 the effect hands each pixel back
// unchanged, so the output shows whether the host gave each callback the
// source pixel of the same place.
void FillPattern(Layer &layer) {
    for (int y = 0; y < layer.height(); ++y) {
        auto *row = static_cast<std::uint8_t *>(layer.PixelAddress(0, y));
        const std::size_t bytes = static_cast<std::size_t>(layer.width()) * testhost::BytesPerPixel(layer.format());
        for (std::size_t i = 0; i < bytes; ++i) {
            row[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(y) * 13) & 0x7F);
        }
        if (layer.format() == PixelFormat::BGRA32F) {
            for (int x = 0; x < layer.width(); ++x) {
                auto &pixel = layer.At<PF_PixelBGRA32f>(x, y);
                pixel = {static_cast<float>(x) / 64.0f, static_cast<float>(y) / 64.0f, 0.5f, 1.0f};
            }
        }
    }
}

TEST(HostWithModule, IdentityRenderCopiesEveryPixelInEveryFormat) {
    const RenderCase cases[] = {
        {HostApp::kAfterEffects, PixelFormat::ARGB8, false},
        {HostApp::kAfterEffects, PixelFormat::ARGB16, true},
        {HostApp::kPremiere, PixelFormat::BGRA8, true},
        {HostApp::kPremiere, PixelFormat::BGRA32F, false},
    };
    for (const RenderCase &c : cases) {
        Host host(BuiltModule(), c.app);
        // The host's iterate calls are PF_Cmd_RENDER's; the smart commands'
        // frames the effect walks itself.
        host.SetRenderCommands(testhost::RenderCommands::LEGACY);
        host.SetWorkerThreads(3);
        host.frame().layer_width = 48;
        host.frame().layer_height = 30;
        ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
        testhost::LayerOptions options;
        options.bottom_up = c.bottom_up;
        options.row_padding_bytes = 16;
        Layer src(c.format, 48, 30, options);
        Layer dst(c.format, 48, 30, options);
        FillPattern(src);
        if (c.format == PixelFormat::ARGB16) {
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 48; ++x) {
                    src.At<PF_Pixel16>(x, y) = {32768, static_cast<A_u_short>(x * 600),
                                                static_cast<A_u_short>(y * 1000), 32768};
                }
            }
        }
        const std::string what = std::to_string(static_cast<int>(c.format));
        ASSERT_EQ(host.Render(src, dst), PF_Err_NONE) << what;
        EXPECT_TRUE(host.suites().BalancedSinceLastCommand()) << what;
        EXPECT_TRUE(dst.GuardsIntact()) << what;
        EXPECT_EQ(host.params().at(0).u.ld.data, src.def().data);
        const std::size_t bytes = 48 * testhost::BytesPerPixel(c.format);
        for (int y = 0; y < 30; ++y) {
            ASSERT_EQ(std::memcmp(src.PixelAddress(0, y), dst.PixelAddress(0, y), bytes), 0) << what << " row " << y;
        }
        if (c.app == HostApp::kAfterEffects) {
            ASSERT_EQ(host.iterate_calls().size(), 1u);
            EXPECT_EQ(host.iterate_calls()[0].progress_final, 30);
            EXPECT_EQ(host.iterate_calls()[0].bits_per_channel, c.format == PixelFormat::ARGB16 ? 16 : 8);
        }
    }
}

TEST(HostWithModule, RenderFaults) {
    struct Case {
        const char *what;
        HostApp app;
        PixelFormat format;
        PF_Err iterate_fail_code;
        std::optional<PrPixelFormat> reported_format;
        PF_Err expected;
    };
    const Case cases[] = {
        {"iterate fails", HostApp::kAfterEffects, PixelFormat::ARGB8, PF_Err_OUT_OF_MEMORY, std::nullopt,
         PF_Err_OUT_OF_MEMORY},
        {"unknown pixel format", HostApp::kPremiere, PixelFormat::BGRA8, PF_Err_NONE, 0x41424344,
         PF_Err_UNRECOGNIZED_PARAM_TYPE},
    };
    for (const Case &c : cases) {
        Host host(BuiltModule(), c.app);
        ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
        host.SetRenderCommands(testhost::RenderCommands::LEGACY);
        host.faults().iterate_fail_code = c.iterate_fail_code;
        host.faults().reported_pixel_format = c.reported_format;
        Layer src(c.format, 8, 8);
        Layer dst(c.format, 8, 8);
        FillPattern(src);
        EXPECT_EQ(host.Render(src, dst), c.expected) << c.what;
        EXPECT_TRUE(host.suites().BalancedSinceLastCommand()) << c.what;
        for (int y = 0; y < 8; ++y) {
            EXPECT_EQ(dst.At<PF_Pixel>(3, y).red, 0) << c.what;  // output left alone
        }
    }
}

}  // namespace
