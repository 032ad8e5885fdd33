// A frame rendered through RenderFrame, or through the world renderer it
// calls, in the simulated host, with the host's choice of pixel loop and its
// own iterate suites.
#pragma once

#include <gtest/gtest.h>

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

// The frame through RenderWorlds, as the render commands reach it: the
// host's in_data and suites, the record built from the parameters, and
// src and dst as worlds whose pixel (0, 0) is the layer pixel `origin`;
// the rows are dst's extent hint's.
inline PF_Err RenderWorldsThroughHost(ParamSet &params, Buffer &src, Buffer &dst, zonara::WorldOrigin origin,
                                      const Resolution &res = {},
                                      testhost::PixelWalk walk = testhost::PixelWalk::IN_ORDER) {
    PF_ParamDef **param_array = params.Input(src.def).array();
    const PixelFormat format = src.format;
    testhost::Host host(
        [param_array, format, origin](PF_Cmd, PF_InData *in_data, PF_OutData *, PF_ParamDef **, PF_LayerDef *output,
                                      void *) {
            zonara::HostSuites suites(in_data->pica_basicP);
            const zonara::WindowRenderParams record = zonara::MakeWindowRenderParams(*in_data, param_array);
            return zonara::RenderWorlds(in_data, suites, record, format, param_array[zonara::PARAM_INPUT]->u.ld,
                                        *output, output->extent_hint.bottom - output->extent_hint.top, origin);
        },
        zonara_test::CaseOf(format).app());
    host.frame().pixel_aspect_ratio = res.aspect;
    host.frame().downsample_x = res.down_x;
    host.frame().downsample_y = res.down_y;
    host.faults().pixel_walk = walk;
    const PF_Err err = host.Send(PF_Cmd_RENDER, &dst.def);
    EXPECT_TRUE(host.suites().BalancedSinceLastCommand());
    return err;
}

// A format the render command does not carry goes to RenderWorlds, which the
// commands that carry it call.
inline PF_Err RenderThroughHost(ParamSet &params, Buffer &src, Buffer &dst, const Resolution &res = {},
                                testhost::PixelWalk walk = testhost::PixelWalk::IN_ORDER) {
    if (!zonara_test::CaseOf(src.format).render_command()) {
        return RenderWorldsThroughHost(params, src, dst, zonara::WorldOrigin{}, res, walk);
    }
    const bool premiere = zonara_test::CaseOf(src.format).app() == testhost::HostApp::kPremiere;
    PF_ParamDef **param_array = params.Input(src.def).array();
    testhost::Host host(
        [param_array](PF_Cmd, PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **, PF_LayerDef *output, void *) {
            return RenderFrame(in_data, out_data, param_array, output);
        },
        premiere ? testhost::HostApp::kPremiere : testhost::HostApp::kAfterEffects);
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
