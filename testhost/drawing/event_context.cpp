#include "testhost/drawing/event_context.h"

namespace testhost {
namespace {

// Marks a PF_Context as made by this host ('ZnVw').
constexpr A_u_long CONTEXT_MAGIC = 0x5A6E5677u;

}  // namespace

ViewContext::ViewContext(const View &view) : view_(view) {
    context_.pf.magic = CONTEXT_MAGIC;
    context_.pf.w_type = WindowTypeOf(view.kind);
    context_.pf_pointer = &context_.pf;
    context_.owner = this;
    context_.drawing = nullptr;
}

PF_EventCallbacks ViewContext::callbacks() {
    PF_EventCallbacks cbs{};
    cbs.refcon = this;
    cbs.layer_to_comp = &LayerToCompCallback;
    cbs.comp_to_layer = &CompToLayerCallback;
    cbs.source_to_frame = &SourceToFrameCallback;
    cbs.frame_to_source = &FrameToSourceCallback;
    return cbs;
}

ViewContext *ViewContext::FromHandle(PF_ContextH handle) {
    if (handle == nullptr || *handle == nullptr || (*handle)->magic != CONTEXT_MAGIC) {
        return nullptr;
    }
    // Record is standard-layout with the PF_Context first, so the context the
    // handle points at is also the address of the record.
    Record *record = reinterpret_cast<Record *>(*handle);
    if (record->owner == nullptr || record->owner->handle() != handle) {
        return nullptr;
    }
    return record->owner;
}

ViewContext *ViewContext::Check(PF_EventRefcon refcon, PF_ContextH context, const PF_FixedPoint *point) {
    auto *self = static_cast<ViewContext *>(refcon);
    if (self == nullptr) {
        return nullptr;
    }
    if (point == nullptr || FromHandle(context) != self) {
        ++self->counts_.bad_calls;
        return nullptr;
    }
    return self;
}

PF_Err ViewContext::LayerToCompCallback(PF_EventRefcon refcon, PF_ContextH context, A_long time, A_long time_scale,
                                        PF_FixedPoint *point) {
    ViewContext *self = Check(refcon, context, point);
    if (self == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++self->counts_.layer_to_comp;
    self->counts_.last_time = time;
    self->counts_.last_time_scale = time_scale;
    *point = LayerToComp(self->view_, *point);
    return PF_Err_NONE;
}

PF_Err ViewContext::CompToLayerCallback(PF_EventRefcon refcon, PF_ContextH context, A_long time, A_long time_scale,
                                        PF_FixedPoint *point) {
    ViewContext *self = Check(refcon, context, point);
    if (self == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++self->counts_.comp_to_layer;
    self->counts_.last_time = time;
    self->counts_.last_time_scale = time_scale;
    *point = CompToLayer(self->view_, *point);
    return PF_Err_NONE;
}

PF_Err ViewContext::SourceToFrameCallback(PF_EventRefcon refcon, PF_ContextH context, PF_FixedPoint *point) {
    ViewContext *self = Check(refcon, context, point);
    if (self == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++self->counts_.source_to_frame;
    *point = SourceToFrame(self->view_, *point);
    return PF_Err_NONE;
}

PF_Err ViewContext::FrameToSourceCallback(PF_EventRefcon refcon, PF_ContextH context, PF_FixedPoint *point) {
    ViewContext *self = Check(refcon, context, point);
    if (self == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++self->counts_.frame_to_source;
    *point = FrameToSource(self->view_, *point);
    return PF_Err_NONE;
}

}  // namespace testhost
