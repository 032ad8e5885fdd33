// A frame rendered through RenderFrame, or through the world renderer it
// calls, in the simulated host, with the host's choice of pixel loop and its
// own iterate suites.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "host/host_suites.h"
#include "params/param_index.h"
#include "render/render_frame.h"
#include "render/render_worlds.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/render_test_support.h"
#include "support/test_buffers.h"
#include "testhost/core/host.h"

namespace render_test {

// Through RenderFrame; or, given an origin or in a format the render
// command does not carry, through the RenderWorlds the commands call, src
// and dst being worlds whose pixel (0, 0) is the layer pixel `origin`.
inline PF_Err RenderThroughHost(ParamSet &params, Buffer &src, Buffer &dst, const Resolution &res = {},
                                testhost::PixelWalk walk = testhost::PixelWalk::IN_ORDER,
                                std::optional<zonara::WorldOrigin> origin = std::nullopt,
                                zonara::IntegerWalk integer_walk = zonara::IntegerWalk::HOST_ITERATE) {
    const zonara_test::FormatCase &format = zonara_test::CaseOf(src.format);
    if (!format.render_command()) origin = origin.value_or(zonara::WorldOrigin{});
    const bool premiere = format.app() == testhost::HostApp::kPremiere;
    PF_ParamDef **param_array = params.Input(src.def).array();
    testhost::Host host(
        [param_array, origin, integer_walk, &format](PF_Cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **,
                                                     PF_LayerDef *output, void *) {
            if (!origin) return RenderFrame(in_data, out_data, param_array, output);
            zonara::HostSuites suites(in_data->pica_basicP);
            return zonara::RenderWorlds(in_data, suites, zonara::MakeWindowRenderParams(*in_data, param_array),
                                        format.format, param_array[zonara::PARAM_INPUT]->u.ld, *output,
                                        output->extent_hint.bottom - output->extent_hint.top, *origin, integer_walk);
        },
        format.app());
    // The buffers are the test's, not layers of the host's own, so the
    // editing host is told which format to report for them.
    if (premiere) host.faults().reported_pixel_format = testhost::PremierePixelFormat(src.format);
    host.frame().pixel_aspect_ratio = res.aspect;
    host.frame().downsample_x = res.down_x;
    host.frame().downsample_y = res.down_y;
    host.faults().pixel_walk = walk;
    const PF_Err err = host.Send(PF_Cmd_RENDER, &dst.def);
    EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
    return err;
}

}  // namespace render_test
