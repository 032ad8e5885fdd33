#include "params/params_setup.h"

#include <cstring>

#include "common/string_table.h"
#include "params/param_declarations.h"

namespace zonara {
namespace {

void FillFloatSlider(const ParamDeclaration &declaration, PF_FloatSliderDef &slider) {
    const SliderProfile &profile = *declaration.slider;
    slider.valid_min = profile.valid_min;
    slider.valid_max = profile.valid_max;
    slider.slider_min = profile.slider_min;
    slider.slider_max = profile.slider_max;
    slider.dephault = declaration.slider_default;
    slider.value = static_cast<PF_FpLong>(declaration.slider_default);
    slider.precision = profile.precision;
    slider.display_flags = 0;
    slider.curve_tolerance = SLIDER_CURVE_TOLERANCE;
}

void FillTypeMember(const ParamDeclaration &declaration, PF_ParamDefUnion &u) {
    switch (declaration.type) {
    case PF_Param_POPUP:
        u.pd.value = declaration.default_choice;
        u.pd.dephault = declaration.default_choice;
        u.pd.num_choices = declaration.num_choices;
        // The host keeps this pointer; the table is constant for the
        // module's lifetime.
        u.pd.u.namesptr = LookupString(declaration.choices);
        break;
    case PF_Param_CHECKBOX:
        u.bd.value = declaration.default_choice;
        u.bd.dephault = static_cast<PF_Boolean>(declaration.default_choice);
        u.bd.u.nameptr = declaration.checkbox_label;
        break;
    case PF_Param_FLOAT_SLIDER:
        FillFloatSlider(declaration, u.fs_d);
        break;
    case PF_Param_POINT:
        u.td.x_value = ORIGIN_DEFAULT_PERCENT;
        u.td.y_value = ORIGIN_DEFAULT_PERCENT;
        u.td.x_dephault = ORIGIN_DEFAULT_PERCENT;
        u.td.y_dephault = ORIGIN_DEFAULT_PERCENT;
        u.td.restrict_bounds = 0;  // the window may be moved off the layer
        break;
    case PF_Param_ANGLE:
        u.ad.value = 0;
        u.ad.dephault = 0;
        break;
    default:
        break;  // groups carry no value
    }
}

void FillDefinition(const PF_InData *in_data, const ParamDeclaration &declaration, PF_ParamDef &def) {
    // Cleared byte for byte so nothing of the previous parameter, padding
    // included, reaches the host's copy.
    std::memset(&def, 0, sizeof def);
    def.param_type = declaration.type;
    if (declaration.type != PF_Param_GROUP_END) {
        in_data->utils->ansi.strcpy(def.name, LookupString(declaration.name));
    }
    def.flags = declaration.flags;
    FillTypeMember(declaration, def.u);
    def.uu.id = declaration.disk_id;
}

constexpr PF_ParamIndex APPEND_PARAM = -1;

}  // namespace

PF_Err ParamsSetup(const PF_InData *in_data, PF_OutData *out_data) {
    PF_ParamDef def;
    for (const ParamDeclaration &declaration : PARAM_DECLARATIONS) {
        FillDefinition(in_data, declaration, def);
        // A failed declaration leaves the list short, so ParamIndex would no
        // longer fit it: stop at once and leave num_params alone.
        if (const PF_Err err = in_data->inter.add_param(in_data->effect_ref, APPEND_PARAM, &def); err != PF_Err_NONE) {
            return err;
        }
    }

    PF_CustomUIInfo ui;
    std::memset(&ui, 0, sizeof ui);
    ui.events = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER;
    const PF_Err err = in_data->inter.register_ui(in_data->effect_ref, &ui);

    // Every parameter is declared, so the count holds even if the overlay
    // could not be registered.
    out_data->num_params = PARAM_COUNT;
    return err;
}

}  // namespace zonara
