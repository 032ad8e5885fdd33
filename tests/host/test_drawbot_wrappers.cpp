// The drawing-suite bundle, the pen and path wrappers and DRAWBOT_Exception.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "host/drawbot_bundle.h"
#include "host/drawbot_exception.h"
#include "host/drawbot_refs.h"
#include "host/host_suites.h"
#include "support/overlay_scene.h"
#include "testhost/drawing/stroked_shapes.h"

namespace {

using testhost::DrawOp;
using testhost::HostApp;
using testhost::SuiteCall;
using zonara::DRAWBOT_Exception;
using zonara::DrawbotBundle;
using zonara_test::OverlayScene;
using zonara_test::UseOf;

struct BundleCase {
    std::string refused;  // "" for none
    int filled;           // fields set, in order draw, supplier, surface, path
    PF_Err result;
};

class DrawbotBundleTest : public ::testing::TestWithParam<BundleCase> {};

TEST_P(DrawbotBundleTest, AcquiresInOrderAndGivesBackOnlyWhatItGot) {
    const BundleCase &c = GetParam();
    OverlayScene scene;
    if (!c.refused.empty()) {
        scene.host().suites().Refuse(c.refused);
    }
    scene.Run([&](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **) {
        DrawbotBundle bundle;
        EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(in_data, out_data, &bundle), c.result);
        const void *fields[] = {bundle.draw, bundle.supplier, bundle.surface, bundle.path};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(fields[i] != nullptr, i < c.filled) << i;
        }
        const bool failed = c.result != PF_Err_NONE;
        EXPECT_EQ((out_data->out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, failed);
        EXPECT_STREQ(out_data->return_msg, failed ? "Not able to acquire AEFX Suite." : "");
        const testhost::SuiteUse path = UseOf(scene.host(), kDRAWBOT_PathSuite);
        EXPECT_EQ(path.acquired + path.refused, c.filled >= 3 ? 1 : 0) << "stops at the first refusal";

        EXPECT_EQ(zonara::ReleaseDrawbotBundle(in_data, out_data, &bundle), PF_Err_NONE);
        EXPECT_FALSE(bundle.IsComplete());
        return PF_Err_NONE;
    });
    EXPECT_TRUE(scene.SuitesBalanced());
    EXPECT_EQ(UseOf(scene.host(), c.refused).released, 0) << "a suite never had is not given back";
}

INSTANTIATE_TEST_SUITE_P(Suites, DrawbotBundleTest,
                         ::testing::Values(BundleCase{"", 4, PF_Err_NONE},
                                           BundleCase{kDRAWBOT_DrawSuite, 0, PF_Err_BAD_CALLBACK_PARAM},
                                           BundleCase{kDRAWBOT_SurfaceSuite, 2, PF_Err_BAD_CALLBACK_PARAM},
                                           BundleCase{kDRAWBOT_PathSuite, 3, PF_Err_BAD_CALLBACK_PARAM}),
                         [](const auto &info) { return "filled_" + std::to_string(info.param.filled); });

TEST(DrawbotBundleTest, NullBundleIsReported) {
    OverlayScene scene;
    scene.Run([](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **) {
        EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(in_data, out_data, nullptr), PF_Err_UNRECOGNIZED_PARAM_TYPE);
        return PF_Err_NONE;
    });
    EXPECT_STREQ(scene.host().last_out_data().return_msg, "NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
    EXPECT_NE(scene.host().last_out_data().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    EXPECT_TRUE(scene.host().suites().calls_of_last_command().empty());
}

TEST(DrawbotBundleTest, WithoutBasicSuiteNothingIsAcquiredAndReleaseIsReported) {
    OverlayScene scene;
    scene.Run([](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **) {
        DrawbotBundle bundle;
        EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(in_data, out_data, &bundle), PF_Err_NONE);
        in_data->pica_basicP = nullptr;
        out_data->out_flags = 0;
        EXPECT_EQ(zonara::ReleaseDrawbotBundle(in_data, out_data, &bundle), PF_Err_NONE);
        EXPECT_STREQ(out_data->return_msg, "Not able to release AEFX Suite.");
        EXPECT_NE(out_data->out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);

        DrawbotBundle none;
        EXPECT_EQ(zonara::AEFX_AcquireDrawbotSuites(in_data, out_data, &none), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(none.draw, nullptr);
        EXPECT_STREQ(out_data->return_msg, "Not able to acquire AEFX Suite.");
        return PF_Err_NONE;
    });
}

// Runs `body(bundle, supplier, session)` inside a draw event, with the
// drawing suites and the event's supplier in hand and the host's drawing
// session to look at; returns the event's drawing calls.
template <class Body>
std::vector<testhost::DrawCall> WithSupplier(Body body, const testhost::DrawingFaults &faults = {}) {
    OverlayScene scene;
    PF_EventExtra extra = scene.Event(PF_Event_DRAW);
    scene.Run(
        [&](PF_InData *in_data, PF_OutData *out_data, PF_ParamDef **) {
            zonara::ScopedDrawbotBundle drawing(in_data, out_data);
            EXPECT_EQ(drawing.AcquireResult(), PF_Err_NONE);
            zonara::HostSuites suites(in_data->pica_basicP);
            DRAWBOT_DrawRef draw_ref = nullptr;
            DRAWBOT_SupplierRef supplier = nullptr;
            EXPECT_EQ(suites.CustomUISuite()->PF_GetDrawingReference(extra.contextH, &draw_ref), PF_Err_NONE);
            EXPECT_EQ(drawing.Suites().draw->GetSupplier(draw_ref, &supplier), kSPNoError);
            body(drawing.Suites(), supplier, *scene.drawing());
            return PF_Err_NONE;
        },
        faults);
    EXPECT_TRUE(scene.SuitesBalanced());
    return scene.drawn();
}

// The numbers a call was given (a pen's colour and size).
std::vector<float> NumbersOf(const testhost::DrawCall &call) {
    std::vector<float> numbers;
    for (const testhost::DrawArg &arg : call.args) {
        if (std::holds_alternative<double>(arg.value)) {
            numbers.push_back(static_cast<float>(std::get<double>(arg.value)));
        }
    }
    return numbers;
}

TEST(DrawbotWrapperTest, PathAndPenAreGivenBackOnceWhenTheyEnd) {
    const std::vector<testhost::DrawCall> calls = WithSupplier(
        [](const DrawbotBundle &bundle, DRAWBOT_SupplierRef supplier, const testhost::DrawingSession &session) {
            zonara::DRAWBOT_PathP path(bundle.supplier, supplier);
            zonara::DRAWBOT_PenP pen(bundle.supplier, supplier, DRAWBOT_ColorRGBA{1, 0, 0, 1}, 2.0f);
            EXPECT_NE(path.Held(), nullptr);
            EXPECT_NE(pen.Held(), nullptr);
            path.Replace(path.Held());  // the same object: nothing given back
            EXPECT_EQ(testhost::CountCalls(session.calls(), DrawOp::kReleaseObject), 0);
            path.Remake(supplier);
            EXPECT_EQ(testhost::CountCalls(session.calls(), DrawOp::kReleaseObject), 1);
        });
    EXPECT_EQ(testhost::ObjectsMade(calls), 3);
    EXPECT_TRUE(testhost::EveryObjectReleasedOnce(calls));
    for (const testhost::DrawCall &call : calls) {
        if (call.op == DrawOp::kNewPen) {
            EXPECT_EQ(NumbersOf(call), (std::vector<float>{1, 0, 0, 1, 2.0f})) << "pen colour and width";
        }
    }
}

struct WrapperFaultCase {
    std::string name;
    DrawOp op;
    int nth;
};

class DrawbotWrapperFaultTest : public ::testing::TestWithParam<WrapperFaultCase> {};

// Make a path, remake it, end it: a refusal anywhere throws the suite's own
// code, and every object made is still handed back once.
TEST_P(DrawbotWrapperFaultTest, RefusalThrowsTheSuitesCodeAndLeavesNothingHeld) {
    const WrapperFaultCase &c = GetParam();
    const std::vector<testhost::DrawCall> calls = WithSupplier(
        [](const DrawbotBundle &bundle, DRAWBOT_SupplierRef supplier, const testhost::DrawingSession &) {
            try {
                zonara::DRAWBOT_PathP path(bundle.supplier, supplier);
                path.Remake(supplier);
                zonara::DRAWBOT_PenP pen(bundle.supplier, supplier, DRAWBOT_ColorRGBA{}, 1.0f);
                ADD_FAILURE() << "pen made";
            } catch (const DRAWBOT_Exception &e) {
                EXPECT_EQ(e.ErrorCode(), 0x5EED);
            }
        },
        testhost::DrawingFaults{{{c.op, 0x5EED, c.nth}}});
    EXPECT_TRUE(testhost::EveryObjectReleasedOnce(calls));
}

INSTANTIATE_TEST_SUITE_P(Faults, DrawbotWrapperFaultTest,
                         ::testing::Values(WrapperFaultCase{"new_path", DrawOp::kNewPath, 1},
                                           WrapperFaultCase{"remade_path", DrawOp::kNewPath, 2},
                                           WrapperFaultCase{"release_on_remake", DrawOp::kReleaseObject, 1},
                                           WrapperFaultCase{"new_pen", DrawOp::kNewPen, 1}),
                         [](const auto &info) { return info.param.name; });

TEST(DrawbotWrapperFaultTest, ReleaseRefusedAtANormalEndThrows) {
    bool thrown = false;
    const std::vector<testhost::DrawCall> calls = WithSupplier(
        [&](const DrawbotBundle &bundle, DRAWBOT_SupplierRef supplier, const testhost::DrawingSession &) {
            try {
                zonara::DRAWBOT_PathP path(bundle.supplier, supplier);
            } catch (const DRAWBOT_Exception &e) {
                thrown = true;
                EXPECT_EQ(e.ErrorCode(), 0x0BAD);
            }
        },
        testhost::DrawingFaults{{{DrawOp::kReleaseObject, 0x0BAD, 1}}});
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(testhost::EveryObjectReleasedOnce(calls));
}

TEST(DrawbotWrapperFaultTest, FailedCreationHoldsNothingAndReleasesNothing) {
    const std::vector<testhost::DrawCall> calls = WithSupplier(
        [](const DrawbotBundle &bundle, DRAWBOT_SupplierRef supplier, const testhost::DrawingSession &) {
            EXPECT_THROW(zonara::DRAWBOT_PathP(bundle.supplier, supplier), DRAWBOT_Exception);
        },
        testhost::DrawingFaults{{{DrawOp::kNewPath, 3, 1}}});
    EXPECT_EQ(testhost::CountCalls(calls, DrawOp::kReleaseObject), 0);
}

TEST(DrawbotWrapperFaultTest, MissingSupplierSuiteIsRefusedBeforeAnyCall) {
    EXPECT_THROW(zonara::DRAWBOT_PathP(nullptr, nullptr), DRAWBOT_Exception);
    DRAWBOT_SupplierSuite1 empty{};
    EXPECT_THROW(zonara::DRAWBOT_PenP(&empty, nullptr, DRAWBOT_ColorRGBA{}, 1.0f), DRAWBOT_Exception);
}

TEST(DrawbotExceptionTest, CarriesTheCodeThroughCopiesAndBaseHandlers) {
    EXPECT_NO_THROW(zonara::ThrowOnDrawbotError(kSPNoError));
    try {
        zonara::ThrowOnDrawbotError(-42);
    } catch (const std::exception &base) {
        const auto *drawbot = dynamic_cast<const DRAWBOT_Exception *>(&base);
        ASSERT_NE(drawbot, nullptr);
        const DRAWBOT_Exception copy = *drawbot;
        EXPECT_EQ(copy.ErrorCode(), -42);
        EXPECT_STREQ(copy.what(), std::exception().what());
    }
}

}  // namespace
