// Every text the effect shows, by number: the about text and every parameter
// name and choice list come from here, so translations or rewording touch
// one table.
#pragma once

#include <array>
#include <cstdint>

namespace zonara {

inline constexpr std::size_t STRING_TEXT_SIZE = 256;

struct StringRecord {
    std::uint32_t number;  // equal to the record's position
    char text[STRING_TEXT_SIZE];
};

enum StringId : std::uint32_t {
    STR_NONE = 0,
    STR_NAME = 1,
    STR_DESCRIPTION = 2,
    STR_WINDOW_GROUP_NAME = 3,
    STR_ORIGIN_NAME = 4,
    STR_WIDTH_NAME = 5,
    STR_HEIGHT_NAME = 6,
    STR_ANGLE_NAME = 7,
    STR_FEATHER_NAME = 8,
    STR_INVERT_NAME = 9,
    STR_ALL_DEPENDENCIES = 10,
    STR_MISSING_DEPENDENCIES = 11,
    STR_ERROR_LOADING_SUITE = 12,
    STR_ERROR_RELEASING_SUITE = 13,
    STR_WINDOW_TYPE_NAME = 14,
    STR_WINDOW_TYPE_CHOICES = 15,
    STR_FALLOFF_NAME = 16,
    STR_FALLOFF_CHOICES = 17,
    STR_MIX_NAME = 18,
    STR_SATURATION_NAME = 19,
    STR_GAMMA_NAME = 20,
    STR_OFFSET_NAME = 21,
    STR_GAIN_NAME = 22,
    STR_IN_RGB_GROUP_NAME = 23,
    STR_RED_GAMMA_NAME = 24,
    STR_RED_OFFSET_NAME = 25,
    STR_RED_GAIN_NAME = 26,
    STR_GREEN_GAMMA_NAME = 27,
    STR_GREEN_OFFSET_NAME = 28,
    STR_GREEN_GAIN_NAME = 29,
    STR_BLUE_GAMMA_NAME = 30,
    STR_BLUE_OFFSET_NAME = 31,
    STR_BLUE_GAIN_NAME = 32,
    STR_OUT_GROUP_NAME = 33,
    STR_OUT_RGB_GROUP_NAME = 34,
    STR_CLAMP_OUT_BLACK_NAME = 35,
    STR_CLAMP_OUT_WHITE_NAME = 36,
    STR_CLAMP_IN_BLACK_NAME = 37,
    STR_COLOR_MODEL_NAME = 38,
    STR_COLOR_MODEL_CHOICES = 39,
    STRING_COUNT
};

using StringTable = std::array<StringRecord, STRING_COUNT>;

extern const StringTable STRING_TABLE;

// The text of an entry, by position. A number outside the table yields the
// empty entry 0 rather than reading past the table's end.
const char *LookupString(std::uint32_t number);

}  // namespace zonara
