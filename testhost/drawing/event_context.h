// The view context a host hands an overlay with each event: the PF_Context
// the effect sees (contextH), and behind it what the host needs to answer the
// effect's callbacks for that view: the view's conversions and the drawing
// session of a draw event. The effect only ever sees the PF_Context part.
#pragma once

#include <map>
#include <string>

#include "pf_sdk.h"
#include "testhost/drawing/views.h"

namespace testhost {

class DrawingSession;

// How often the effect used each conversion, and with which time, so that
// tests can tell that the layer view makes no composition conversion and that
// the event's time was passed on.
struct ConversionCounts {
    int layer_to_comp = 0;
    int comp_to_layer = 0;
    int source_to_frame = 0;
    int frame_to_source = 0;
    A_long last_time = 0;
    A_long last_time_scale = 0;
    // A conversion asked with a null point or another view's context.
    int bad_calls = 0;
};

class ViewContext {
public:
    explicit ViewContext(const View &view);
    ViewContext(const ViewContext &) = delete;
    ViewContext &operator=(const ViewContext &) = delete;

    const View &view() const { return view_; }

    // The contextH of an event in this view: a handle, that is a pointer to
    // the host's pointer to the context.
    PF_ContextH handle() { return &context_.pf_pointer; }
    // The callbacks of an event in this view, with this context as refcon.
    PF_EventCallbacks callbacks();

    const ConversionCounts &counts() const { return counts_; }
    void ResetCounts() { counts_ = {}; }

    // The drawing session of the draw event in progress (null outside one):
    // what PF_GetDrawingReference answers for this context.
    void set_drawing(DrawingSession *session) { context_.drawing = session; }
    DrawingSession *drawing() const { return context_.drawing; }

    // The context behind a contextH this host handed out; null for any other
    // pointer value whose first field is not the host's mark.
    static ViewContext *FromHandle(PF_ContextH handle);

private:
    // PF_Context first, so that the handle given to the effect points at the
    // start of this record and can be turned back into it.
    struct Record {
        PF_Context pf;
        // What the handle points at; always &pf.
        PF_Context *pf_pointer;
        ViewContext *owner;
        DrawingSession *drawing;
    };

    static PF_Err LayerToCompCallback(PF_EventRefcon refcon, PF_ContextH context, A_long time, A_long time_scale,
                                      PF_FixedPoint *point);
    static PF_Err CompToLayerCallback(PF_EventRefcon refcon, PF_ContextH context, A_long time, A_long time_scale,
                                      PF_FixedPoint *point);
    static PF_Err SourceToFrameCallback(PF_EventRefcon refcon, PF_ContextH context, PF_FixedPoint *point);
    static PF_Err FrameToSourceCallback(PF_EventRefcon refcon, PF_ContextH context, PF_FixedPoint *point);
    // The context a callback is about, or null (counted) when the refcon,
    // context or point are not the ones this host handed out.
    static ViewContext *Check(PF_EventRefcon refcon, PF_ContextH context, const PF_FixedPoint *point);

    View view_;
    Record context_{};
    ConversionCounts counts_;
};

}  // namespace testhost
