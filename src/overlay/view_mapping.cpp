#include "overlay/view_mapping.h"

#include "common/fixed_point.h"
#include "overlay/overlay_inputs.h"

namespace zonara {
namespace {

// The host's callbacks, each skipped when the host left it out: the point
// then stays as it was, as after any conversion the host failed.
PF_Err LayerToComp(const PF_InData *in_data, const PF_EventExtra *extra, PF_FixedPoint *point) {
    if (extra->cbs.layer_to_comp == nullptr) {
        return PF_Err_INVALID_CALLBACK;
    }
    return extra->cbs.layer_to_comp(extra->cbs.refcon, extra->contextH, in_data->current_time,
                                    static_cast<A_long>(in_data->time_scale), point);
}

PF_Err CompToLayer(const PF_InData *in_data, const PF_EventExtra *extra, PF_FixedPoint *point) {
    if (extra->cbs.comp_to_layer == nullptr) {
        return PF_Err_INVALID_CALLBACK;
    }
    return extra->cbs.comp_to_layer(extra->cbs.refcon, extra->contextH, in_data->current_time,
                                    static_cast<A_long>(in_data->time_scale), point);
}

PF_Err SourceToFrame(const PF_EventExtra *extra, PF_FixedPoint *point) {
    if (extra->cbs.source_to_frame == nullptr) {
        return PF_Err_INVALID_CALLBACK;
    }
    return extra->cbs.source_to_frame(extra->cbs.refcon, extra->contextH, point);
}

PF_Err FrameToSource(const PF_EventExtra *extra, PF_FixedPoint *point) {
    if (extra->cbs.frame_to_source == nullptr) {
        return PF_Err_INVALID_CALLBACK;
    }
    return extra->cbs.frame_to_source(extra->cbs.refcon, extra->contextH, point);
}

}  // namespace

PF_Err LayerPointToFrame(const PF_InData *in_data, const PF_EventExtra *extra, PF_FixedPoint *point) {
    if (ViewType(extra) == PF_Window_COMP) {
        LayerToComp(in_data, extra, point);
    }
    return SourceToFrame(extra, point);
}

CornerQuad RectToFrameCorners(const PF_InData *in_data, const PF_EventExtra *extra, const FixedRect &rect) {
    // Converted in the order of a walk round the rectangle, all four through
    // one callback before the next.
    PF_FixedPoint walk[4] = {
        {rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left, rect.bottom}};
    if (ViewType(extra) == PF_Window_COMP) {
        for (PF_FixedPoint &corner : walk) {
            LayerToComp(in_data, extra, &corner);
        }
    }
    for (PF_FixedPoint &corner : walk) {
        SourceToFrame(extra, &corner);
    }
    return CornerQuad{walk[0], walk[1], walk[3], walk[2]};
}

PF_FixedPoint FrameToLayerCompView(const PF_InData *in_data, const PF_EventExtra *extra, PF_Point frame_point) {
    PF_FixedPoint point{WholeToFixed(frame_point.h), WholeToFixed(frame_point.v)};
    FrameToSource(extra, &point);
    CompToLayer(in_data, extra, &point);
    return point;
}

PF_FixedPoint FrameToLayerLayerView(const PF_InData *, const PF_EventExtra *extra, PF_Point frame_point) {
    PF_FixedPoint point{WholeToFixed(frame_point.h), WholeToFixed(frame_point.v)};
    FrameToSource(extra, &point);
    return point;
}

}  // namespace zonara
