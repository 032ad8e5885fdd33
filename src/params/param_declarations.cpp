#include "params/param_declarations.h"

namespace zonara {

using namespace declare;

// Disk IDs do not follow the index at the start and the end of the list;
// saved projects refer to them as they are, so they stay. 7 and 47 belong to
// no parameter and are never to be given to one.
constexpr std::array<ParamDeclaration, DECLARED_PARAM_COUNT> DECLARATIONS = {{
    Popup(PARAM_WINDOW_TYPE, 9, STR_WINDOW_TYPE_NAME, CANNOT_TIME_VARY, STR_WINDOW_TYPE_CHOICES,
          ChoiceCount(WINDOW_TYPE_CHOICES), WINDOW_TYPE_ELLIPSE),
    GroupStart(PARAM_WINDOW_GROUP_START, 2, STR_WINDOW_GROUP_NAME),
    Point(PARAM_ORIGIN, 1, STR_ORIGIN_NAME, ANIMATABLE),
    Slider(PARAM_WIDTH, 3, STR_WIDTH_NAME, ANIMATABLE, SIZE_SLIDER, 1920.0f),
    Slider(PARAM_HEIGHT, 4, STR_HEIGHT_NAME, ANIMATABLE, SIZE_SLIDER, 1080.0f),
    Angle(PARAM_ANGLE, 8, STR_ANGLE_NAME, ANIMATABLE),
    Slider(PARAM_FEATHER, 5, STR_FEATHER_NAME, ANIMATABLE, SIZE_SLIDER, 100.0f),
    Popup(PARAM_FALLOFF, 10, STR_FALLOFF_NAME, CANNOT_TIME_VARY, STR_FALLOFF_CHOICES, ChoiceCount(FALLOFF_CHOICES),
          FALLOFF_LINEAR),
    Checkbox(PARAM_INVERT, 6, STR_INVERT_NAME, CANNOT_TIME_VARY, "Invert mask", false),
    GroupEnd(PARAM_WINDOW_GROUP_END, 11),

    Slider(PARAM_IN_OFFSET, 12, STR_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_IN_GAMMA, 13, STR_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_GAIN, 14, STR_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_SATURATION, 15, STR_SATURATION_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),

    GroupStart(PARAM_IN_RGB_GROUP_START, 16, STR_IN_RGB_GROUP_NAME),
    Slider(PARAM_IN_RED_OFFSET, 17, STR_RED_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_IN_RED_GAMMA, 18, STR_RED_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_RED_GAIN, 19, STR_RED_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_GREEN_OFFSET, 20, STR_GREEN_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_IN_GREEN_GAMMA, 21, STR_GREEN_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_GREEN_GAIN, 22, STR_GREEN_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_BLUE_OFFSET, 23, STR_BLUE_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_IN_BLUE_GAMMA, 24, STR_BLUE_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_IN_BLUE_GAIN, 25, STR_BLUE_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    GroupEnd(PARAM_IN_RGB_GROUP_END, 26),

    GroupStart(PARAM_OUT_GROUP_START, 27, STR_OUT_GROUP_NAME),
    Slider(PARAM_OUT_OFFSET, 28, STR_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_OUT_GAMMA, 29, STR_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_GAIN, 30, STR_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_SATURATION, 31, STR_SATURATION_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    GroupEnd(PARAM_OUT_GROUP_END, 32),

    GroupStart(PARAM_OUT_RGB_GROUP_START, 33, STR_OUT_RGB_GROUP_NAME),
    Slider(PARAM_OUT_RED_OFFSET, 34, STR_RED_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_OUT_RED_GAMMA, 35, STR_RED_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_RED_GAIN, 36, STR_RED_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_GREEN_OFFSET, 37, STR_GREEN_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_OUT_GREEN_GAMMA, 38, STR_GREEN_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_GREEN_GAIN, 39, STR_GREEN_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_BLUE_OFFSET, 40, STR_BLUE_OFFSET_NAME, ANIMATABLE, OFFSET_SLIDER, 0.0f),
    Slider(PARAM_OUT_BLUE_GAMMA, 41, STR_BLUE_GAMMA_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    Slider(PARAM_OUT_BLUE_GAIN, 42, STR_BLUE_GAIN_NAME, ANIMATABLE, UNIT_SLIDER, 1.0f),
    GroupEnd(PARAM_OUT_RGB_GROUP_END, 43),

    Checkbox(PARAM_CLAMP_OUT_BLACK, 44, STR_CLAMP_OUT_BLACK_NAME, CANNOT_TIME_VARY, "", true),
    Checkbox(PARAM_CLAMP_OUT_WHITE, 45, STR_CLAMP_OUT_WHITE_NAME, CANNOT_TIME_VARY, "", false),
    Checkbox(PARAM_CLAMP_IN_BLACK, 48, STR_CLAMP_IN_BLACK_NAME, CANNOT_TIME_VARY, "", true),
    Slider(PARAM_MIX, 46, STR_MIX_NAME, ANIMATABLE, MIX_SLIDER, 1.0f),
    Popup(PARAM_COLOR_MODEL, 49, STR_COLOR_MODEL_NAME, CANNOT_TIME_VARY, STR_COLOR_MODEL_CHOICES,
          ChoiceCount(COLOR_MODEL_CHOICES), COLOR_MODEL_CDL),
}};

namespace {

// The host numbers parameters by the order of declaration, so a row out of
// place would shift every later ParamIndex.
constexpr bool DeclaredInIndexOrder() {
    for (std::size_t i = 0; i < DECLARATIONS.size(); ++i) {
        if (static_cast<std::size_t>(DECLARATIONS[i].index) != i + 1) {
            return false;
        }
    }
    return true;
}

constexpr bool DiskIdsUniqueAndNeverRetired() {
    for (std::size_t i = 0; i < DECLARATIONS.size(); ++i) {
        const A_long id = DECLARATIONS[i].disk_id;
        if (id == 7 || id == 47 || id <= 0) {
            return false;
        }
        for (std::size_t j = i + 1; j < DECLARATIONS.size(); ++j) {
            if (DECLARATIONS[j].disk_id == id) {
                return false;
            }
        }
    }
    return true;
}

static_assert(DeclaredInIndexOrder());
static_assert(DiskIdsUniqueAndNeverRetired());

}  // namespace

const std::array<ParamDeclaration, DECLARED_PARAM_COUNT> PARAM_DECLARATIONS = DECLARATIONS;

}  // namespace zonara
