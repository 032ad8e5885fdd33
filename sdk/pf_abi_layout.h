/* The hosts' published binary layout of every record and function table the
 * effect or the simulated host touches, 64-bit: offsets and sizes as the
 * hosts lay them out, copied once from their published figures. Each line is
 * checked at compile time against our declarations (below), in every build
 * that includes this header, native and Windows alike; the same lists feed
 * `zonara abi`, which prints the layout as compiled.
 *
 *   ZONARA_ABI_RECORD(type, size, alignment)
 *   ZONARA_ABI_MEMBER(type, member, offset, size)
 *   ZONARA_ABI_TABLE(type, size)
 *   ZONARA_ABI_SLOT(type, slot number, entry, offset, size)
 *   ZONARA_ABI_CONSTANT(name, value) */
#ifndef ZONARA_SDK_PF_ABI_LAYOUT_H
#define ZONARA_SDK_PF_ABI_LAYOUT_H

#include "drawbot.h"
#include "pf_basic_types.h"
#include "pf_callbacks.h"
#include "pf_effect.h"
#include "pf_events.h"
#include "pf_layer.h"
#include "pf_params.h"
#include "pf_pixels.h"
#include "pf_smart_render.h"
#include "pf_suites.h"
#include "sp_basic.h"

#define ZONARA_ABI_RECORDS(ZONARA_ABI_RECORD, ZONARA_ABI_MEMBER) \
    ZONARA_ABI_RECORD(PF_InData, 408, 8) \
    ZONARA_ABI_MEMBER(PF_InData, inter, 0, 176) \
    ZONARA_ABI_MEMBER(PF_InData, utils, 176, 8) \
    ZONARA_ABI_MEMBER(PF_InData, effect_ref, 184, 8) \
    ZONARA_ABI_MEMBER(PF_InData, quality, 192, 4) \
    ZONARA_ABI_MEMBER(PF_InData, version, 196, 4) \
    ZONARA_ABI_MEMBER(PF_InData, serial_num, 200, 4) \
    ZONARA_ABI_MEMBER(PF_InData, appl_id, 204, 4) \
    ZONARA_ABI_MEMBER(PF_InData, num_params, 208, 4) \
    ZONARA_ABI_MEMBER(PF_InData, reserved, 212, 4) \
    ZONARA_ABI_MEMBER(PF_InData, what_cpu, 216, 4) \
    ZONARA_ABI_MEMBER(PF_InData, what_fpu, 220, 4) \
    ZONARA_ABI_MEMBER(PF_InData, current_time, 224, 4) \
    ZONARA_ABI_MEMBER(PF_InData, time_step, 228, 4) \
    ZONARA_ABI_MEMBER(PF_InData, total_time, 232, 4) \
    ZONARA_ABI_MEMBER(PF_InData, local_time_step, 236, 4) \
    ZONARA_ABI_MEMBER(PF_InData, time_scale, 240, 4) \
    ZONARA_ABI_MEMBER(PF_InData, field, 244, 4) \
    ZONARA_ABI_MEMBER(PF_InData, shutter_angle, 248, 4) \
    ZONARA_ABI_MEMBER(PF_InData, width, 252, 4) \
    ZONARA_ABI_MEMBER(PF_InData, height, 256, 4) \
    ZONARA_ABI_MEMBER(PF_InData, extent_hint, 260, 16) \
    ZONARA_ABI_MEMBER(PF_InData, output_origin_x, 276, 4) \
    ZONARA_ABI_MEMBER(PF_InData, output_origin_y, 280, 4) \
    ZONARA_ABI_MEMBER(PF_InData, downsample_x, 284, 8) \
    ZONARA_ABI_MEMBER(PF_InData, downsample_y, 292, 8) \
    ZONARA_ABI_MEMBER(PF_InData, pixel_aspect_ratio, 300, 8) \
    ZONARA_ABI_MEMBER(PF_InData, in_flags, 308, 4) \
    ZONARA_ABI_MEMBER(PF_InData, global_data, 312, 8) \
    ZONARA_ABI_MEMBER(PF_InData, sequence_data, 320, 8) \
    ZONARA_ABI_MEMBER(PF_InData, frame_data, 328, 8) \
    ZONARA_ABI_MEMBER(PF_InData, start_sampL, 336, 4) \
    ZONARA_ABI_MEMBER(PF_InData, dur_sampL, 340, 4) \
    ZONARA_ABI_MEMBER(PF_InData, total_sampL, 344, 4) \
    ZONARA_ABI_MEMBER(PF_InData, src_snd, 352, 32) \
    ZONARA_ABI_MEMBER(PF_InData, pica_basicP, 384, 8) \
    ZONARA_ABI_MEMBER(PF_InData, pre_effect_source_origin_x, 392, 4) \
    ZONARA_ABI_MEMBER(PF_InData, pre_effect_source_origin_y, 396, 4) \
    ZONARA_ABI_MEMBER(PF_InData, shutter_phase, 400, 4) \
    ZONARA_ABI_RECORD(PF_OutData, 408, 8) \
    ZONARA_ABI_MEMBER(PF_OutData, my_version, 0, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, name, 4, 32) \
    ZONARA_ABI_MEMBER(PF_OutData, global_data, 40, 8) \
    ZONARA_ABI_MEMBER(PF_OutData, num_params, 48, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, sequence_data, 56, 8) \
    ZONARA_ABI_MEMBER(PF_OutData, flat_sdata_size, 64, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, frame_data, 72, 8) \
    ZONARA_ABI_MEMBER(PF_OutData, width, 80, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, height, 84, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, origin, 88, 8) \
    ZONARA_ABI_MEMBER(PF_OutData, out_flags, 96, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, return_msg, 100, 256) \
    ZONARA_ABI_MEMBER(PF_OutData, start_sampL, 356, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, dur_sampL, 360, 4) \
    ZONARA_ABI_MEMBER(PF_OutData, dest_snd, 368, 32) \
    ZONARA_ABI_MEMBER(PF_OutData, out_flags2, 400, 4) \
    ZONARA_ABI_RECORD(PF_ParamDef, 176, 8) \
    ZONARA_ABI_MEMBER(PF_ParamDef, uu, 0, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef, ui_flags, 4, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef, ui_width, 8, 2) \
    ZONARA_ABI_MEMBER(PF_ParamDef, ui_height, 10, 2) \
    ZONARA_ABI_MEMBER(PF_ParamDef, param_type, 12, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef, name, 16, 32) \
    ZONARA_ABI_MEMBER(PF_ParamDef, flags, 48, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef, unused, 52, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef, u, 56, 120) \
    ZONARA_ABI_RECORD(PF_ParamDefUnion, 120, 8) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, ld, 0, 120) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, sd, 0, 88) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, fd, 0, 92) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, ad, 0, 16) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, bd, 0, 16) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, cd, 0, 8) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, td, 0, 20) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, pd, 0, 16) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, fs_d, 0, 88) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, arb_d, 0, 32) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, path_d, 0, 12) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, button_d, 0, 16) \
    ZONARA_ABI_MEMBER(PF_ParamDefUnion, point3d_d, 0, 64) \
    ZONARA_ABI_RECORD(PF_LayerDef, 120, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, reserved0, 0, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, reserved1, 8, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, world_flags, 16, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, data, 24, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, rowbytes, 32, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, width, 36, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, height, 40, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, extent_hint, 44, 16) \
    ZONARA_ABI_MEMBER(PF_LayerDef, platform_ref, 64, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, reserved_long1, 72, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, reserved_long4, 80, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, pix_aspect_ratio, 88, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, reserved_long2, 96, 8) \
    ZONARA_ABI_MEMBER(PF_LayerDef, origin_x, 104, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, origin_y, 108, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, reserved_long3, 112, 4) \
    ZONARA_ABI_MEMBER(PF_LayerDef, dephault, 116, 4) \
    ZONARA_ABI_RECORD(PF_FloatSliderDef, 88, 8) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, value, 0, 8) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, phase, 8, 8) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, value_desc, 16, 32) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, valid_min, 48, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, valid_max, 52, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, slider_min, 56, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, slider_max, 60, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, dephault, 64, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, precision, 68, 2) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, display_flags, 70, 2) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, fs_flags, 72, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, curve_tolerance, 76, 4) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, useExponent, 80, 1) \
    ZONARA_ABI_MEMBER(PF_FloatSliderDef, exponent, 84, 4) \
    ZONARA_ABI_RECORD(PF_PointDef, 20, 4) \
    ZONARA_ABI_MEMBER(PF_PointDef, x_value, 0, 4) \
    ZONARA_ABI_MEMBER(PF_PointDef, y_value, 4, 4) \
    ZONARA_ABI_MEMBER(PF_PointDef, reserved, 8, 3) \
    ZONARA_ABI_MEMBER(PF_PointDef, restrict_bounds, 11, 1) \
    ZONARA_ABI_MEMBER(PF_PointDef, x_dephault, 12, 4) \
    ZONARA_ABI_MEMBER(PF_PointDef, y_dephault, 16, 4) \
    ZONARA_ABI_RECORD(PF_AngleDef, 16, 4) \
    ZONARA_ABI_MEMBER(PF_AngleDef, value, 0, 4) \
    ZONARA_ABI_MEMBER(PF_AngleDef, dephault, 4, 4) \
    ZONARA_ABI_MEMBER(PF_AngleDef, valid_min, 8, 4) \
    ZONARA_ABI_MEMBER(PF_AngleDef, valid_max, 12, 4) \
    ZONARA_ABI_RECORD(PF_CheckBoxDef, 16, 8) \
    ZONARA_ABI_MEMBER(PF_CheckBoxDef, value, 0, 4) \
    ZONARA_ABI_MEMBER(PF_CheckBoxDef, dephault, 4, 1) \
    ZONARA_ABI_MEMBER(PF_CheckBoxDef, reserved, 5, 1) \
    ZONARA_ABI_MEMBER(PF_CheckBoxDef, reserved1, 6, 2) \
    ZONARA_ABI_MEMBER(PF_CheckBoxDef, u, 8, 8) \
    ZONARA_ABI_RECORD(PF_PopupDef, 16, 8) \
    ZONARA_ABI_MEMBER(PF_PopupDef, value, 0, 4) \
    ZONARA_ABI_MEMBER(PF_PopupDef, num_choices, 4, 2) \
    ZONARA_ABI_MEMBER(PF_PopupDef, dephault, 6, 2) \
    ZONARA_ABI_MEMBER(PF_PopupDef, u, 8, 8) \
    ZONARA_ABI_RECORD(PF_EventExtra, 208, 8) \
    ZONARA_ABI_MEMBER(PF_EventExtra, contextH, 0, 8) \
    ZONARA_ABI_MEMBER(PF_EventExtra, e_type, 8, 4) \
    ZONARA_ABI_MEMBER(PF_EventExtra, u, 16, 64) \
    ZONARA_ABI_MEMBER(PF_EventExtra, effect_win, 80, 44) \
    ZONARA_ABI_MEMBER(PF_EventExtra, cbs, 128, 72) \
    ZONARA_ABI_MEMBER(PF_EventExtra, evt_in_flags, 200, 4) \
    ZONARA_ABI_MEMBER(PF_EventExtra, evt_out_flags, 204, 4) \
    ZONARA_ABI_RECORD(PF_EventUnion, 64, 8) \
    ZONARA_ABI_MEMBER(PF_EventUnion, do_click, 0, 64) \
    ZONARA_ABI_MEMBER(PF_EventUnion, draw, 0, 20) \
    ZONARA_ABI_MEMBER(PF_EventUnion, key_down, 0, 20) \
    ZONARA_ABI_MEMBER(PF_EventUnion, adjust_cursor, 0, 16) \
    ZONARA_ABI_RECORD(PF_DoClickEventInfo, 64, 8) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, when, 0, 4) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, screen_point, 4, 8) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, num_clicks, 12, 4) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, modifiers, 16, 4) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, continue_refcon, 24, 32) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, send_drag, 56, 1) \
    ZONARA_ABI_MEMBER(PF_DoClickEventInfo, last_time, 57, 1) \
    ZONARA_ABI_RECORD(PF_DrawEventInfo, 20, 4) \
    ZONARA_ABI_MEMBER(PF_DrawEventInfo, update_rect, 0, 16) \
    ZONARA_ABI_MEMBER(PF_DrawEventInfo, depth, 16, 4) \
    ZONARA_ABI_RECORD(PF_EffectWindowInfo, 44, 4) \
    ZONARA_ABI_MEMBER(PF_EffectWindowInfo, index, 0, 4) \
    ZONARA_ABI_MEMBER(PF_EffectWindowInfo, area, 4, 4) \
    ZONARA_ABI_MEMBER(PF_EffectWindowInfo, current_frame, 8, 16) \
    ZONARA_ABI_MEMBER(PF_EffectWindowInfo, param_title_frame, 24, 16) \
    ZONARA_ABI_MEMBER(PF_EffectWindowInfo, horiz_offset, 40, 4) \
    ZONARA_ABI_RECORD(PF_Context, 72, 8) \
    ZONARA_ABI_MEMBER(PF_Context, magic, 0, 4) \
    ZONARA_ABI_MEMBER(PF_Context, w_type, 4, 4) \
    ZONARA_ABI_MEMBER(PF_Context, reserved_flt, 8, 8) \
    ZONARA_ABI_MEMBER(PF_Context, plugin_state, 16, 32) \
    ZONARA_ABI_MEMBER(PF_Context, reserved_drawref, 48, 8) \
    ZONARA_ABI_MEMBER(PF_Context, reserved_paneP, 56, 8) \
    ZONARA_ABI_MEMBER(PF_Context, reserved_job_manageP, 64, 8) \
    ZONARA_ABI_RECORD(PF_CustomUIInfo, 44, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, reserved, 0, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, events, 4, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, comp_ui_width, 8, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, comp_ui_height, 12, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, comp_ui_alignment, 16, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, layer_ui_width, 20, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, layer_ui_height, 24, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, layer_ui_alignment, 28, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, preview_ui_width, 32, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, preview_ui_height, 36, 4) \
    ZONARA_ABI_MEMBER(PF_CustomUIInfo, preview_ui_alignment, 40, 4) \
    ZONARA_ABI_RECORD(PF_Pixel, 4, 1) \
    ZONARA_ABI_MEMBER(PF_Pixel, alpha, 0, 1) \
    ZONARA_ABI_MEMBER(PF_Pixel, red, 1, 1) \
    ZONARA_ABI_MEMBER(PF_Pixel, green, 2, 1) \
    ZONARA_ABI_MEMBER(PF_Pixel, blue, 3, 1) \
    ZONARA_ABI_RECORD(PF_Pixel16, 8, 2) \
    ZONARA_ABI_MEMBER(PF_Pixel16, alpha, 0, 2) \
    ZONARA_ABI_MEMBER(PF_Pixel16, red, 2, 2) \
    ZONARA_ABI_MEMBER(PF_Pixel16, green, 4, 2) \
    ZONARA_ABI_MEMBER(PF_Pixel16, blue, 6, 2) \
    ZONARA_ABI_RECORD(PF_PixelFloat, 16, 4) \
    ZONARA_ABI_MEMBER(PF_PixelFloat, alpha, 0, 4) \
    ZONARA_ABI_MEMBER(PF_PixelFloat, red, 4, 4) \
    ZONARA_ABI_MEMBER(PF_PixelFloat, green, 8, 4) \
    ZONARA_ABI_MEMBER(PF_PixelFloat, blue, 12, 4) \
    ZONARA_ABI_RECORD(PF_FixedPoint, 8, 4) \
    ZONARA_ABI_MEMBER(PF_FixedPoint, x, 0, 4) \
    ZONARA_ABI_MEMBER(PF_FixedPoint, y, 4, 4) \
    ZONARA_ABI_RECORD(PF_RationalScale, 8, 4) \
    ZONARA_ABI_MEMBER(PF_RationalScale, num, 0, 4) \
    ZONARA_ABI_MEMBER(PF_RationalScale, den, 4, 4) \
    ZONARA_ABI_RECORD(PF_Point, 8, 4) \
    ZONARA_ABI_MEMBER(PF_Point, h, 0, 4) \
    ZONARA_ABI_MEMBER(PF_Point, v, 4, 4) \
    ZONARA_ABI_RECORD(PF_Rect, 16, 4) \
    ZONARA_ABI_MEMBER(PF_Rect, left, 0, 4) \
    ZONARA_ABI_MEMBER(PF_Rect, top, 4, 4) \
    ZONARA_ABI_MEMBER(PF_Rect, right, 8, 4) \
    ZONARA_ABI_MEMBER(PF_Rect, bottom, 12, 4) \
    ZONARA_ABI_RECORD(PF_LRect, 16, 4) \
    ZONARA_ABI_MEMBER(PF_LRect, left, 0, 4) \
    ZONARA_ABI_MEMBER(PF_LRect, top, 4, 4) \
    ZONARA_ABI_MEMBER(PF_LRect, right, 8, 4) \
    ZONARA_ABI_MEMBER(PF_LRect, bottom, 12, 4) \
    ZONARA_ABI_RECORD(PF_RenderRequest, 44, 4) \
    ZONARA_ABI_MEMBER(PF_RenderRequest, rect, 0, 16) \
    ZONARA_ABI_MEMBER(PF_RenderRequest, field, 16, 4) \
    ZONARA_ABI_MEMBER(PF_RenderRequest, channel_mask, 20, 4) \
    ZONARA_ABI_MEMBER(PF_RenderRequest, preserve_rgb_of_zero_alpha, 24, 1) \
    ZONARA_ABI_MEMBER(PF_RenderRequest, unused, 25, 3) \
    ZONARA_ABI_MEMBER(PF_RenderRequest, reserved, 28, 16) \
    ZONARA_ABI_RECORD(PF_PreRenderInput, 64, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderInput, output_request, 0, 44) \
    ZONARA_ABI_MEMBER(PF_PreRenderInput, bitdepth, 44, 2) \
    ZONARA_ABI_MEMBER(PF_PreRenderInput, gpu_data, 48, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderInput, what_gpu, 56, 4) \
    ZONARA_ABI_MEMBER(PF_PreRenderInput, device_index, 60, 4) \
    ZONARA_ABI_RECORD(PF_PreRenderOutput, 56, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, result_rect, 0, 16) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, max_result_rect, 16, 16) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, solid, 32, 1) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, reserved, 33, 1) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, flags, 34, 2) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, pre_render_data, 40, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderOutput, delete_pre_render_data_func, 48, 8) \
    ZONARA_ABI_RECORD(PF_CheckoutResult, 76, 4) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, result_rect, 0, 16) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, max_result_rect, 16, 16) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, par, 32, 8) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, solid, 40, 1) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, reservedB, 41, 3) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, ref_width, 44, 4) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, ref_height, 48, 4) \
    ZONARA_ABI_MEMBER(PF_CheckoutResult, reserved, 52, 24) \
    ZONARA_ABI_RECORD(PF_PreRenderExtra, 24, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderExtra, input, 0, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderExtra, output, 8, 8) \
    ZONARA_ABI_MEMBER(PF_PreRenderExtra, cb, 16, 8) \
    ZONARA_ABI_RECORD(PF_SmartRenderInput, 72, 8) \
    ZONARA_ABI_MEMBER(PF_SmartRenderInput, output_request, 0, 44) \
    ZONARA_ABI_MEMBER(PF_SmartRenderInput, bitdepth, 44, 2) \
    ZONARA_ABI_MEMBER(PF_SmartRenderInput, pre_render_data, 48, 8) \
    ZONARA_ABI_MEMBER(PF_SmartRenderInput, gpu_data, 56, 8) \
    ZONARA_ABI_MEMBER(PF_SmartRenderInput, what_gpu, 64, 4) \
    ZONARA_ABI_MEMBER(PF_SmartRenderInput, device_index, 68, 4) \
    ZONARA_ABI_RECORD(PF_SmartRenderExtra, 16, 8) \
    ZONARA_ABI_MEMBER(PF_SmartRenderExtra, input, 0, 8) \
    ZONARA_ABI_MEMBER(PF_SmartRenderExtra, cb, 8, 8) \
    ZONARA_ABI_RECORD(PF_SoundWorld, 32, 8) \
    ZONARA_ABI_MEMBER(PF_SoundWorld, fi, 0, 16) \
    ZONARA_ABI_MEMBER(PF_SoundWorld, num_samples, 16, 4) \
    ZONARA_ABI_MEMBER(PF_SoundWorld, dataP, 24, 8) \
    ZONARA_ABI_RECORD(PF_SoundFormatInfo, 16, 8) \
    ZONARA_ABI_MEMBER(PF_SoundFormatInfo, rateF, 0, 8) \
    ZONARA_ABI_MEMBER(PF_SoundFormatInfo, num_channels, 8, 2) \
    ZONARA_ABI_MEMBER(PF_SoundFormatInfo, format, 10, 2) \
    ZONARA_ABI_MEMBER(PF_SoundFormatInfo, sample_size, 12, 2) \
    ZONARA_ABI_RECORD(PF_SpecVersion, 4, 2) \
    ZONARA_ABI_MEMBER(PF_SpecVersion, major, 0, 2) \
    ZONARA_ABI_MEMBER(PF_SpecVersion, minor, 2, 2) \
    ZONARA_ABI_RECORD(DRAWBOT_ColorRGBA, 16, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_ColorRGBA, red, 0, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_ColorRGBA, green, 4, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_ColorRGBA, blue, 8, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_ColorRGBA, alpha, 12, 4) \
    ZONARA_ABI_RECORD(DRAWBOT_PointF32, 8, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_PointF32, x, 0, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_PointF32, y, 4, 4) \
    ZONARA_ABI_RECORD(DRAWBOT_RectF32, 16, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_RectF32, left, 0, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_RectF32, top, 4, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_RectF32, width, 8, 4) \
    ZONARA_ABI_MEMBER(DRAWBOT_RectF32, height, 12, 4) \
    ZONARA_ABI_RECORD(PF_ParamDef_uu, 4, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef_uu, id, 0, 4) \
    ZONARA_ABI_MEMBER(PF_ParamDef_uu, change_flags, 0, 4) \
    ZONARA_ABI_RECORD(PF_CheckBoxDef_u, 8, 8) \
    ZONARA_ABI_MEMBER(PF_CheckBoxDef_u, nameptr, 0, 8) \
    ZONARA_ABI_RECORD(PF_PopupDef_u, 8, 8) \
    ZONARA_ABI_MEMBER(PF_PopupDef_u, namesptr, 0, 8)

#define ZONARA_ABI_TABLES(ZONARA_ABI_TABLE, ZONARA_ABI_SLOT) \
    ZONARA_ABI_TABLE(PF_InteractCallbacks, 176) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 0, checkout_param, 0, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 1, checkin_param, 8, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 2, add_param, 16, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 3, abort, 24, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 4, progress, 32, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 5, register_ui, 40, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 6, checkout_layer_audio, 48, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 7, checkin_layer_audio, 56, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 8, get_audio_data, 64, 8) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 9, reserved_str, 72, 24) \
    ZONARA_ABI_SLOT(PF_InteractCallbacks, 10, reserved, 96, 80) \
    ZONARA_ABI_TABLE(PF_UtilCallbacks, 552) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 0, begin_sampling, 0, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 1, subpixel_sample, 8, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 2, area_sample, 16, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 3, get_batch_func_is_deprecated, 24, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 4, end_sampling, 32, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 5, composite_rect, 40, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 6, blend, 48, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 7, convolve, 56, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 8, copy, 64, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 9, fill, 72, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 10, gaussian_kernel, 80, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 11, iterate, 88, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 12, premultiply, 96, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 13, premultiply_color, 104, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 14, new_world, 112, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 15, dispose_world, 120, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 16, iterate_origin, 128, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 17, iterate_lut, 136, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 18, transfer_rect, 144, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 19, transform_world, 152, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 20, host_new_handle, 160, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 21, host_lock_handle, 168, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 22, host_unlock_handle, 176, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 23, host_dispose_handle, 184, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 24, get_callback_addr, 192, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 25, app, 200, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 26, ansi, 208, 160) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 27, colorCB, 368, 64) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 28, get_platform_data, 432, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 29, host_get_handle_size, 440, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 30, iterate_origin_non_clip_src, 448, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 31, iterate_generic, 456, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 32, host_resize_handle, 464, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 33, subpixel_sample16, 472, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 34, area_sample16, 480, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 35, fill16, 488, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 36, premultiply_color16, 496, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 37, iterate16, 504, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 38, iterate_origin16, 512, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 39, iterate_origin_non_clip_src16, 520, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 40, get_pixel_data8, 528, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 41, get_pixel_data16, 536, 8) \
    ZONARA_ABI_SLOT(PF_UtilCallbacks, 42, reserved, 544, 4) \
    ZONARA_ABI_TABLE(PF_ANSICallbacksBlock, 160) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 0, atan, 0, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 1, atan2, 8, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 2, ceil, 16, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 3, cos, 24, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 4, exp, 32, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 5, fabs, 40, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 6, floor, 48, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 7, fmod, 56, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 8, hypot, 64, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 9, log, 72, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 10, log10, 80, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 11, pow, 88, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 12, sin, 96, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 13, sqrt, 104, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 14, tan, 112, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 15, sprintf, 120, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 16, strcpy, 128, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 17, asin, 136, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 18, acos, 144, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksBlock, 19, unused_longA, 152, 4) \
    ZONARA_ABI_TABLE(PF_EventCallbacks, 72) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 0, refcon, 0, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 1, layer_to_comp, 8, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 2, comp_to_layer, 16, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 3, get_comp2layer_xform, 24, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 4, get_layer2comp_xform, 32, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 5, source_to_frame, 40, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 6, frame_to_source, 48, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 7, info_draw_color, 56, 8) \
    ZONARA_ABI_SLOT(PF_EventCallbacks, 8, info_draw_text, 64, 8) \
    ZONARA_ABI_TABLE(SPBasicSuite, 56) \
    ZONARA_ABI_SLOT(SPBasicSuite, 0, AcquireSuite, 0, 8) \
    ZONARA_ABI_SLOT(SPBasicSuite, 1, ReleaseSuite, 8, 8) \
    ZONARA_ABI_SLOT(SPBasicSuite, 2, IsEqual, 16, 8) \
    ZONARA_ABI_SLOT(SPBasicSuite, 3, AllocateBlock, 24, 8) \
    ZONARA_ABI_SLOT(SPBasicSuite, 4, FreeBlock, 32, 8) \
    ZONARA_ABI_SLOT(SPBasicSuite, 5, ReallocateBlock, 40, 8) \
    ZONARA_ABI_SLOT(SPBasicSuite, 6, Undefined, 48, 8) \
    ZONARA_ABI_TABLE(PF_Iterate8Suite1, 40) \
    ZONARA_ABI_SLOT(PF_Iterate8Suite1, 0, iterate, 0, 8) \
    ZONARA_ABI_SLOT(PF_Iterate8Suite1, 1, iterate_origin, 8, 8) \
    ZONARA_ABI_SLOT(PF_Iterate8Suite1, 2, iterate_lut, 16, 8) \
    ZONARA_ABI_SLOT(PF_Iterate8Suite1, 3, iterate_origin_non_clip_src, 24, 8) \
    ZONARA_ABI_SLOT(PF_Iterate8Suite1, 4, iterate_generic, 32, 8) \
    ZONARA_ABI_TABLE(PF_iterate16Suite1, 24) \
    ZONARA_ABI_SLOT(PF_iterate16Suite1, 0, iterate, 0, 8) \
    ZONARA_ABI_SLOT(PF_iterate16Suite1, 1, iterate_origin, 8, 8) \
    ZONARA_ABI_SLOT(PF_iterate16Suite1, 2, iterate_origin_non_clip_src, 16, 8) \
    ZONARA_ABI_TABLE(PF_PreRenderCallbacks, 16) \
    ZONARA_ABI_SLOT(PF_PreRenderCallbacks, 0, checkout_layer, 0, 8) \
    ZONARA_ABI_SLOT(PF_PreRenderCallbacks, 1, GuidMixInPtr, 8, 8) \
    ZONARA_ABI_TABLE(PF_SmartRenderCallbacks, 24) \
    ZONARA_ABI_SLOT(PF_SmartRenderCallbacks, 0, checkout_layer_pixels, 0, 8) \
    ZONARA_ABI_SLOT(PF_SmartRenderCallbacks, 1, checkin_layer_pixels, 8, 8) \
    ZONARA_ABI_SLOT(PF_SmartRenderCallbacks, 2, checkout_output, 16, 8) \
    ZONARA_ABI_TABLE(PF_WorldSuite2, 24) \
    ZONARA_ABI_SLOT(PF_WorldSuite2, 0, PF_NewWorld, 0, 8) \
    ZONARA_ABI_SLOT(PF_WorldSuite2, 1, PF_DisposeWorld, 8, 8) \
    ZONARA_ABI_SLOT(PF_WorldSuite2, 2, PF_GetPixelFormat, 16, 8) \
    ZONARA_ABI_TABLE(PF_PixelFormatSuite1, 64) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 0, AddSupportedPixelFormat, 0, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 1, ClearSupportedPixelFormats, 8, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 2, NewWorldOfPixelFormat, 16, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 3, DisposeWorld, 24, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 4, GetPixelFormat, 32, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 5, GetBlackForPixelFormat, 40, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 6, GetWhiteForPixelFormat, 48, 8) \
    ZONARA_ABI_SLOT(PF_PixelFormatSuite1, 7, ConvertColorToPixelFormattedData, 56, 8) \
    ZONARA_ABI_TABLE(PF_EffectCustomUISuite1, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUISuite1, 0, PF_GetDrawingReference, 0, 8) \
    ZONARA_ABI_TABLE(PF_EffectCustomUIOverlayThemeSuite1, 64) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 0, PF_GetPreferredForegroundColor, 0, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 1, PF_GetPreferredShadowColor, 8, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 2, PF_GetPreferredStrokeWidth, 16, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 3, PF_GetPreferredVertexSize, 24, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 4, PF_GetPreferredShadowOffset, 32, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 5, PF_StrokePath, 40, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 6, PF_FillPath, 48, 8) \
    ZONARA_ABI_SLOT(PF_EffectCustomUIOverlayThemeSuite1, 7, PF_FillVertex, 56, 8) \
    ZONARA_ABI_TABLE(DRAWBOT_DrawbotSuite1, 16) \
    ZONARA_ABI_SLOT(DRAWBOT_DrawbotSuite1, 0, GetSupplier, 0, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_DrawbotSuite1, 1, GetSurface, 8, 8) \
    ZONARA_ABI_TABLE(DRAWBOT_SupplierSuite1, 104) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 0, NewPen, 0, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 1, NewBrush, 8, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 2, SupportsText, 16, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 3, GetDefaultFontSize, 24, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 4, NewDefaultFont, 32, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 5, NewImageFromBuffer, 40, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 6, NewPath, 48, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 7, SupportsPixelLayoutBGRA, 56, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 8, PrefersPixelLayoutBGRA, 64, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 9, SupportsPixelLayoutARGB, 72, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 10, PrefersPixelLayoutARGB, 80, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 11, RetainObject, 88, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SupplierSuite1, 12, ReleaseObject, 96, 8) \
    ZONARA_ABI_TABLE(DRAWBOT_SurfaceSuite1, 136) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 0, PushStateStack, 0, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 1, PopStateStack, 8, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 2, PaintRect, 16, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 3, FillPath, 24, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 4, StrokePath, 32, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 5, Clip, 40, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 6, GetClipBounds, 48, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 7, IsWithinClipBounds, 56, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 8, Transform, 64, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 9, DrawString, 72, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 10, DrawImage, 80, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 11, SetInterpolationPolicy, 88, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 12, GetInterpolationPolicy, 96, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 13, SetAntiAliasPolicy, 104, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 14, GetAntiAliasPolicy, 112, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 15, Flush, 120, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_SurfaceSuite1, 16, GetTransformToScreenScale, 128, 8) \
    ZONARA_ABI_TABLE(DRAWBOT_PathSuite1, 48) \
    ZONARA_ABI_SLOT(DRAWBOT_PathSuite1, 0, MoveTo, 0, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_PathSuite1, 1, LineTo, 8, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_PathSuite1, 2, BezierTo, 16, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_PathSuite1, 3, AddRect, 24, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_PathSuite1, 4, AddArc, 32, 8) \
    ZONARA_ABI_SLOT(DRAWBOT_PathSuite1, 5, Close, 40, 8) \
    ZONARA_ABI_TABLE(PF_ANSICallbacksSuite1, 152) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 0, atan, 0, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 1, atan2, 8, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 2, ceil, 16, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 3, cos, 24, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 4, exp, 32, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 5, fabs, 40, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 6, floor, 48, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 7, fmod, 56, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 8, hypot, 64, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 9, log, 72, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 10, log10, 80, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 11, pow, 88, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 12, sin, 96, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 13, sqrt, 104, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 14, tan, 112, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 15, sprintf, 120, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 16, strcpy, 128, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 17, asin, 136, 8) \
    ZONARA_ABI_SLOT(PF_ANSICallbacksSuite1, 18, acos, 144, 8)

#define ZONARA_ABI_CONSTANTS(ZONARA_ABI_CONSTANT) \
    ZONARA_ABI_CONSTANT(PF_ChangeFlag_CHANGED_VALUE, 1) \
    ZONARA_ABI_CONSTANT(PF_ChangeFlag_NONE, 0) \
    ZONARA_ABI_CONSTANT(PF_Cmd_ABOUT, 0) \
    ZONARA_ABI_CONSTANT(PF_Cmd_ARBITRARY_CALLBACK, 22) \
    ZONARA_ABI_CONSTANT(PF_Cmd_AUDIO_RENDER, 19) \
    ZONARA_ABI_CONSTANT(PF_Cmd_AUDIO_SETDOWN, 21) \
    ZONARA_ABI_CONSTANT(PF_Cmd_AUDIO_SETUP, 20) \
    ZONARA_ABI_CONSTANT(PF_Cmd_COMPLETELY_GENERAL, 17) \
    ZONARA_ABI_CONSTANT(PF_Cmd_DO_DIALOG, 9) \
    ZONARA_ABI_CONSTANT(PF_Cmd_EVENT, 15) \
    ZONARA_ABI_CONSTANT(PF_Cmd_FRAME_SETDOWN, 12) \
    ZONARA_ABI_CONSTANT(PF_Cmd_FRAME_SETUP, 10) \
    ZONARA_ABI_CONSTANT(PF_Cmd_GET_EXTERNAL_DEPENDENCIES, 16) \
    ZONARA_ABI_CONSTANT(PF_Cmd_GLOBAL_SETDOWN, 3) \
    ZONARA_ABI_CONSTANT(PF_Cmd_GLOBAL_SETUP, 1) \
    ZONARA_ABI_CONSTANT(PF_Cmd_PARAMS_SETUP, 4) \
    ZONARA_ABI_CONSTANT(PF_Cmd_QUERY_DYNAMIC_FLAGS, 18) \
    ZONARA_ABI_CONSTANT(PF_Cmd_RENDER, 11) \
    ZONARA_ABI_CONSTANT(PF_Cmd_RESERVED1, 25) \
    ZONARA_ABI_CONSTANT(PF_Cmd_RESERVED2, 26) \
    ZONARA_ABI_CONSTANT(PF_Cmd_SEQUENCE_FLATTEN, 7) \
    ZONARA_ABI_CONSTANT(PF_Cmd_SEQUENCE_RESETUP, 6) \
    ZONARA_ABI_CONSTANT(PF_Cmd_SEQUENCE_SETDOWN, 8) \
    ZONARA_ABI_CONSTANT(PF_Cmd_SEQUENCE_SETUP, 5) \
    ZONARA_ABI_CONSTANT(PF_Cmd_SMART_PRE_RENDER, 23) \
    ZONARA_ABI_CONSTANT(PF_Cmd_SMART_RENDER, 24) \
    ZONARA_ABI_CONSTANT(PF_Cmd_UNUSED_0, 2) \
    ZONARA_ABI_CONSTANT(PF_Cmd_UPDATE_PARAMS_UI, 14) \
    ZONARA_ABI_CONSTANT(PF_Cmd_USER_CHANGED_PARAM, 13) \
    ZONARA_ABI_CONSTANT(PF_CustomEFlag_COMP, 1) \
    ZONARA_ABI_CONSTANT(PF_CustomEFlag_EFFECT, 4) \
    ZONARA_ABI_CONSTANT(PF_CustomEFlag_LAYER, 2) \
    ZONARA_ABI_CONSTANT(PF_CustomEFlag_NONE, 0) \
    ZONARA_ABI_CONSTANT(PF_EO_ALWAYS_UPDATE, 2) \
    ZONARA_ABI_CONSTANT(PF_EO_HANDLED_EVENT, 1) \
    ZONARA_ABI_CONSTANT(PF_EO_NEVER_UPDATE, 4) \
    ZONARA_ABI_CONSTANT(PF_EO_NONE, 0) \
    ZONARA_ABI_CONSTANT(PF_EO_UPDATE_NOW, 8) \
    ZONARA_ABI_CONSTANT(PF_Err_BAD_CALLBACK_PARAM, 516) \
    ZONARA_ABI_CONSTANT(PF_Err_INTERNAL_STRUCT_DAMAGED, 512) \
    ZONARA_ABI_CONSTANT(PF_Err_INVALID_CALLBACK, 515) \
    ZONARA_ABI_CONSTANT(PF_Err_INVALID_INDEX, 513) \
    ZONARA_ABI_CONSTANT(PF_Err_NONE, 0) \
    ZONARA_ABI_CONSTANT(PF_Err_OUT_OF_MEMORY, 4) \
    ZONARA_ABI_CONSTANT(PF_Err_UNRECOGNIZED_PARAM_TYPE, 514) \
    ZONARA_ABI_CONSTANT(PF_Event_ACTIVATE, 1) \
    ZONARA_ABI_CONSTANT(PF_Event_ADJUST_CURSOR, 9) \
    ZONARA_ABI_CONSTANT(PF_Event_CLOSE_CONTEXT, 6) \
    ZONARA_ABI_CONSTANT(PF_Event_DEACTIVATE, 5) \
    ZONARA_ABI_CONSTANT(PF_Event_DO_CLICK, 2) \
    ZONARA_ABI_CONSTANT(PF_Event_DRAG, 3) \
    ZONARA_ABI_CONSTANT(PF_Event_DRAW, 4) \
    ZONARA_ABI_CONSTANT(PF_Event_IDLE, 7) \
    ZONARA_ABI_CONSTANT(PF_Event_KEYDOWN, 10) \
    ZONARA_ABI_CONSTANT(PF_Event_MOUSE_EXITED, 11) \
    ZONARA_ABI_CONSTANT(PF_Event_NEW_CONTEXT, 0) \
    ZONARA_ABI_CONSTANT(PF_OutFlag_CUSTOM_UI, 32768) \
    ZONARA_ABI_CONSTANT(PF_OutFlag_DEEP_COLOR_AWARE, 33554432) \
    ZONARA_ABI_CONSTANT(PF_OutFlag_DISPLAY_ERROR_MESSAGE, 256) \
    ZONARA_ABI_CONSTANT(PF_OutFlag_NONE, 0) \
    ZONARA_ABI_CONSTANT(PF_OutFlag_PIX_INDEPENDENT, 1024) \
    ZONARA_ABI_CONSTANT(PF_OutFlag_SEND_UPDATE_PARAMS_UI, 67108864) \
    ZONARA_ABI_CONSTANT(PF_ParamFlag_CANNOT_INTERP, 4) \
    ZONARA_ABI_CONSTANT(PF_ParamFlag_CANNOT_TIME_VARY, 2) \
    ZONARA_ABI_CONSTANT(PF_ParamFlag_COLLAPSE_TWIRLY, 32) \
    ZONARA_ABI_CONSTANT(PF_ParamFlag_RESERVED1, 1) \
    ZONARA_ABI_CONSTANT(PF_ParamFlag_SUPERVISE, 64) \
    ZONARA_ABI_CONSTANT(PF_Param_ANGLE, 3) \
    ZONARA_ABI_CONSTANT(PF_Param_ARBITRARY_DATA, 11) \
    ZONARA_ABI_CONSTANT(PF_Param_BUTTON, 15) \
    ZONARA_ABI_CONSTANT(PF_Param_CHECKBOX, 4) \
    ZONARA_ABI_CONSTANT(PF_Param_COLOR, 5) \
    ZONARA_ABI_CONSTANT(PF_Param_CUSTOM, 8) \
    ZONARA_ABI_CONSTANT(PF_Param_FIX_SLIDER, 2) \
    ZONARA_ABI_CONSTANT(PF_Param_FLOAT_SLIDER, 10) \
    ZONARA_ABI_CONSTANT(PF_Param_GROUP_END, 14) \
    ZONARA_ABI_CONSTANT(PF_Param_GROUP_START, 13) \
    ZONARA_ABI_CONSTANT(PF_Param_LAYER, 0) \
    ZONARA_ABI_CONSTANT(PF_Param_NO_DATA, 9) \
    ZONARA_ABI_CONSTANT(PF_Param_PATH, 12) \
    ZONARA_ABI_CONSTANT(PF_Param_POINT, 6) \
    ZONARA_ABI_CONSTANT(PF_Param_POPUP, 7) \
    ZONARA_ABI_CONSTANT(PF_Param_SLIDER, 1) \
    ZONARA_ABI_CONSTANT(PF_Window_COMP, 0) \
    ZONARA_ABI_CONSTANT(PF_Window_EFFECT, 2) \
    ZONARA_ABI_CONSTANT(PF_Window_LAYER, 1) \
    ZONARA_ABI_CONSTANT(PF_WorldFlag_DEEP, 1) \
    ZONARA_ABI_CONSTANT(PF_WorldFlag_WRITEABLE, 2) \
    ZONARA_ABI_CONSTANT(kDRAWBOT_DrawSuite_Version1, 1) \
    ZONARA_ABI_CONSTANT(kPFANSISuiteVersion1, 1) \
    ZONARA_ABI_CONSTANT(kPFEffectCustomUIOverlayThemeSuiteVersion1, 1) \
    ZONARA_ABI_CONSTANT(kPFEffectCustomUISuiteVersion1, 1) \
    ZONARA_ABI_CONSTANT(kPFIterate16SuiteVersion1, 1) \
    ZONARA_ABI_CONSTANT(kPFIterate8SuiteVersion1, 1) \
    ZONARA_ABI_CONSTANT(PF_OutFlag2_FLOAT_COLOR_AWARE, 0x00001000) \
    ZONARA_ABI_CONSTANT(PF_OutFlag2_SUPPORTS_SMART_RENDER, 0x00000400) \
    ZONARA_ABI_CONSTANT(PF_PixelFormat_ARGB32, 1650946657) \
    ZONARA_ABI_CONSTANT(PF_PixelFormat_ARGB64, 909206881) \
    ZONARA_ABI_CONSTANT(PF_PixelFormat_ARGB128, 842229089) \
    ZONARA_ABI_CONSTANT(PF_Field_FRAME, 0) \
    ZONARA_ABI_CONSTANT(PF_ChannelMask_ARGB, 15) \
    ZONARA_ABI_CONSTANT(PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS, 1) \
    ZONARA_ABI_CONSTANT(PF_GPU_Framework_NONE, 0) \
    ZONARA_ABI_CONSTANT(kPFWorldSuiteVersion2, 2) \
    ZONARA_ABI_CONSTANT(kPFPixelFormatSuiteVersion1, 1) \
    ZONARA_ABI_CONSTANT(kSPNoError, 0)

#define ZONARA_ABI_SUITE_NAMES(ZONARA_ABI_CONSTANT) \
    ZONARA_ABI_CONSTANT(kDRAWBOT_DrawSuite, "DRAWBOT Draw Suite") \
    ZONARA_ABI_CONSTANT(kDRAWBOT_PathSuite, "DRAWBOT Path Suite") \
    ZONARA_ABI_CONSTANT(kDRAWBOT_SupplierSuite, "DRAWBOT Supplier Suite") \
    ZONARA_ABI_CONSTANT(kDRAWBOT_SurfaceSuite, "DRAWBOT Surface Suite") \
    ZONARA_ABI_CONSTANT(kPFANSISuite, "PF ANSI Suite") \
    ZONARA_ABI_CONSTANT(kPFEffectCustomUISuite, "PF Effect Custom UI Suite") \
    ZONARA_ABI_CONSTANT(kPFIterate16Suite, "PF iterate16 Suite") \
    ZONARA_ABI_CONSTANT(kPFIterate8Suite, "PF Iterate8 Suite") \
    ZONARA_ABI_CONSTANT(kPFPixelFormatSuite, "PF Pixel Format Suite") \
    ZONARA_ABI_CONSTANT(kPFWorldSuite, "PF World Suite")

/* The checks: a declaration that drifts from the published layout does not
 * compile. */
#ifdef __cplusplus
#define ZONARA_ABI_ASSERT(condition, what) static_assert(condition, what)
#define ZONARA_ABI_ALIGNOF(type) alignof(type)
#else
#define ZONARA_ABI_ASSERT(condition, what) _Static_assert(condition, what)
#define ZONARA_ABI_ALIGNOF(type) _Alignof(type)
#endif
#define ZONARA_ABI_CHECK_RECORD(type, size, alignment) \
    ZONARA_ABI_ASSERT(sizeof(type) == (size), #type " has the published size"); \
    ZONARA_ABI_ASSERT(ZONARA_ABI_ALIGNOF(type) == (alignment), #type " has the published alignment");
#define ZONARA_ABI_CHECK_MEMBER(type, member, offset, size) \
    ZONARA_ABI_ASSERT(offsetof(type, member) == (offset), #type "." #member " sits at its published offset"); \
    ZONARA_ABI_ASSERT(sizeof(((type *)0)->member) == (size), #type "." #member " has its published size");
#define ZONARA_ABI_CHECK_TABLE(type, size) \
    ZONARA_ABI_ASSERT(sizeof(type) == (size), #type " has the published number of slots");
#define ZONARA_ABI_CHECK_SLOT(type, slot, entry, offset, size) ZONARA_ABI_CHECK_MEMBER(type, entry, offset, size)
#define ZONARA_ABI_CHECK_CONSTANT(name, value) ZONARA_ABI_ASSERT((name) == (value), #name " has its published value");

ZONARA_ABI_RECORDS(ZONARA_ABI_CHECK_RECORD, ZONARA_ABI_CHECK_MEMBER)
ZONARA_ABI_TABLES(ZONARA_ABI_CHECK_TABLE, ZONARA_ABI_CHECK_SLOT)
ZONARA_ABI_CONSTANTS(ZONARA_ABI_CHECK_CONSTANT)

/* Suite names are compared by the host letter for letter. */
#ifdef __cplusplus
#define ZONARA_ABI_CHECK_SUITE_NAME(name, value) \
    static_assert(__builtin_strcmp(name, value) == 0, #name " is the published suite name");
ZONARA_ABI_SUITE_NAMES(ZONARA_ABI_CHECK_SUITE_NAME)
#endif

#endif
