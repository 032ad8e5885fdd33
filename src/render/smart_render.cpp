#include "render/smart_render.h"

#include <cstdint>
#include <memory>
#include <new>
#include <optional>

#include "host/host_suites.h"
#include "params/checked_out_params.h"
#include "render/drivers/reporting_suite_lease.h"
#include "render/frame/pixel_format.h"
#include "render/frame/window_render_params.h"
#include "render/render_worlds.h"

namespace zonara {
namespace {

// The host frees what pre-render hung on it with this, from whichever thread
// it likes, render or not.
void DeletePreRenderRecord(void *pre_render_data) noexcept {
    delete static_cast<WindowRenderParams *>(pre_render_data);
}

// The input's pixels, checked in again when the scope ends, however it ends:
// a host counts the layers an effect holds and may keep their memory until
// they are given back.
class CheckedOutInput {
public:
    CheckedOutInput(PF_ProgPtr effect_ref, const PF_SmartRenderCallbacks &cb) : effect_ref_(effect_ref), cb_(cb) {}
    ~CheckedOutInput() { static_cast<void>(CheckIn()); }

    CheckedOutInput(const CheckedOutInput &) = delete;
    CheckedOutInput &operator=(const CheckedOutInput &) = delete;

    PF_Err CheckOut() {
        PF_EffectWorld *world = nullptr;
        const PF_Err err = cb_.checkout_layer_pixels(effect_ref_, INPUT_CHECKOUT_ID, &world);
        if (err != PF_Err_NONE) return err;
        held_ = true;
        world_ = world;
        return world_ != nullptr ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
    }
    PF_EffectWorld *world() const { return world_; }

    // The host's answer, or PF_Err_NONE when nothing is held.
    PF_Err CheckIn() {
        if (!held_) return PF_Err_NONE;
        held_ = false;
        return cb_.checkin_layer_pixels(effect_ref_, INPUT_CHECKOUT_ID);
    }

private:
    PF_ProgPtr effect_ref_;
    const PF_SmartRenderCallbacks &cb_;
    bool held_ = false;
    PF_EffectWorld *world_ = nullptr;
};

// The format of a world handed over with the smart commands: the
// compositing host says it through its world suite, the editing host through
// the pixel-format suite it also answers PF_Cmd_RENDER with.
PF_Err FormatOfWorld(const PF_InData *in_data, PF_OutData *out_data, const PF_EffectWorld &world,
                     std::optional<PixelFormat> &format) {
    if (in_data->appl_id == PF_APPL_ID_PREMIERE) {
        ReportingSuiteLease<PF_PixelFormatSuite1> suite(in_data, out_data, kPFPixelFormatSuite,
                                                        kPFPixelFormatSuiteVersion1);
        if (suite.get() == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
        PrPixelFormat code = 0;
        // The suite's table takes a writable world, though it only reads it.
        const PF_Err err = suite.get()->GetPixelFormat(const_cast<PF_EffectWorld *>(&world), &code);
        if (err != PF_Err_NONE) return err;
        format = FormatOfPremiereCode(code);
        return suite.Release();
    }
    ReportingSuiteLease<PF_WorldSuite2> suite(in_data, out_data, kPFWorldSuite, kPFWorldSuiteVersion2);
    if (suite.get() == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    PF_PixelFormat code = 0;
    const PF_Err err = suite.get()->PF_GetPixelFormat(&world, &code);
    if (err != PF_Err_NONE) return err;
    format = FormatOfAfterEffectsCode(code);
    return suite.Release();
}

// Each pixel is graded from the same pixel of the input, so the input must
// hold every pixel of the output at the same layer position. The part of
// the input under the output, as a world of the output's size and place
// (a host may hand over more input than the output covers); none when the
// input does not hold all of it.
std::optional<PF_EffectWorld> InputUnderOutput(const PF_EffectWorld &input, const PF_EffectWorld &output,
                                               PixelFormat format) {
    const std::int64_t left = std::int64_t{output.origin_x} - input.origin_x;
    const std::int64_t top = std::int64_t{output.origin_y} - input.origin_y;
    if (left < 0 || top < 0 || left + output.width > input.width || top + output.height > input.height) {
        return std::nullopt;
    }
    PF_EffectWorld under = input;
    if (input.data != nullptr) {
        under.data = reinterpret_cast<PF_PixelPtr>(reinterpret_cast<std::uint8_t *>(input.data) + top * input.rowbytes +
                                                   left * TraitsOf(format).bytes_per_pixel());
    }
    under.width = output.width;
    under.height = output.height;
    under.extent_hint = PF_Rect{0, 0, output.width, output.height};
    under.origin_x = output.origin_x;
    under.origin_y = output.origin_y;
    return under;
}

}  // namespace

PF_Err SmartPreRender(PF_InData *in_data, PF_OutData *, PF_PreRenderExtra *extra) {
    if (extra == nullptr || extra->input == nullptr || extra->output == nullptr || extra->cb == nullptr ||
        extra->cb->checkout_layer == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::unique_ptr<WindowRenderParams> record;
    {
        CheckedOutParams params(*in_data);
        const PF_Err err = params.CheckOutAll();
        if (err != PF_Err_NONE) return err;
        // Built once here and only read by the render that follows.
        record.reset(new (std::nothrow) WindowRenderParams(MakeWindowRenderParams(*in_data, params.array())));
        if (record == nullptr) return PF_Err_OUT_OF_MEMORY;
    }

    PF_CheckoutResult checkout{};
    const PF_Err err =
        extra->cb->checkout_layer(in_data->effect_ref, PARAM_INPUT, INPUT_CHECKOUT_ID, &extra->input->output_request,
                                  in_data->current_time, in_data->time_step, in_data->time_scale, &checkout);
    if (err != PF_Err_NONE) return err;

    PF_PreRenderOutput &output = *extra->output;
    output.result_rect = checkout.result_rect;
    output.max_result_rect = checkout.max_result_rect;
    output.solid = checkout.solid;
    output.pre_render_data = record.release();
    output.delete_pre_render_data_func = DeletePreRenderRecord;
    return PF_Err_NONE;
}

PF_Err SmartRender(PF_InData *in_data, PF_OutData *out_data, PF_SmartRenderExtra *extra) {
    if (extra == nullptr || extra->input == nullptr || extra->cb == nullptr ||
        extra->cb->checkout_layer_pixels == nullptr || extra->cb->checkin_layer_pixels == nullptr ||
        extra->cb->checkout_output == nullptr || extra->input->pre_render_data == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const WindowRenderParams &record = *static_cast<const WindowRenderParams *>(extra->input->pre_render_data);
    HostSuites suites(in_data->pica_basicP);

    CheckedOutInput input(in_data->effect_ref, *extra->cb);
    PF_Err err = input.CheckOut();
    if (err != PF_Err_NONE) return err;
    PF_EffectWorld *output = nullptr;
    err = extra->cb->checkout_output(in_data->effect_ref, &output);
    if (err != PF_Err_NONE) return err;
    if (output == nullptr) return PF_Err_BAD_CALLBACK_PARAM;

    // Both worlds must be of one format: walking the input with the output's
    // pixel size would read past its rows.
    std::optional<PixelFormat> format;
    std::optional<PixelFormat> input_format;
    err = FormatOfWorld(in_data, out_data, *output, format);
    if (err == PF_Err_NONE) err = FormatOfWorld(in_data, out_data, *input.world(), input_format);
    if (err != PF_Err_NONE) return err;
    if (!format || format != input_format) return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    std::optional<PF_EffectWorld> source = InputUnderOutput(*input.world(), *output, *format);
    if (!source) return PF_Err_BAD_CALLBACK_PARAM;

    const PF_Err rendered = RenderWorlds(in_data, suites, record, *format, *source, *output, output->height,
                                         WorldOrigin{output->origin_x, output->origin_y}, IntegerWalk::OWN_ROWS);
    const PF_Err checked_in = input.CheckIn();
    return rendered != PF_Err_NONE ? rendered : checked_in;
}

}  // namespace zonara
