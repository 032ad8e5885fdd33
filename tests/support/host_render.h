// A frame rendered through RenderFrame in the simulated host, with the
// host's choice of pixel loop and its own iterate suites.
#pragma once

#include <gtest/gtest.h>

#include "render/render_frame.h"
#include "support/pixel_formats.h"
#include "support/random_params.h"
#include "support/render_test_support.h"
#include "support/test_buffers.h"
#include "testhost/core/host.h"

namespace render_test {

inline PF_Err RenderThroughHost(ParamSet &params, Buffer &src, Buffer &dst, const Resolution &res = {},
                                testhost::PixelWalk walk = testhost::PixelWalk::IN_ORDER) {
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
