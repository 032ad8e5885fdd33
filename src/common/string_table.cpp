#include "common/string_table.h"

#include "common/choice_tables.h"

namespace zonara {

namespace {

enum class TrailingBar { NO, YES };

// A popup's choice list as the host reads it: its table's labels, each
// followed by a bar but the last (unless the saved text has one there too).
template <class Row, std::size_t N>
constexpr StringRecord ChoiceList(StringId number, const Row (&rows)[N], TrailingBar trailing_bar) {
    StringRecord record{number, {}};
    std::size_t length = 0;
    for (std::size_t i = 0; i < N; ++i) {
        for (const char *c = rows[i].label; *c != '\0'; ++c) record.text[length++] = *c;
        if (i + 1 < N || trailing_bar == TrailingBar::YES) record.text[length++] = '|';
    }
    return record;
}

}  // namespace

const StringTable STRING_TABLE = {{
    {STR_NONE, ""},
    {STR_NAME, "Zonara"},
    {STR_DESCRIPTION,
     "Zonara plugin for After Effects and Premiere Pro. "
     "Grades the inside and the outside of a soft-edged window separately."},
    {STR_WINDOW_GROUP_NAME, "Window controls"},
    {STR_ORIGIN_NAME, "Point of origin"},
    {STR_WIDTH_NAME, "Width"},
    {STR_HEIGHT_NAME, "Height"},
    {STR_ANGLE_NAME, "Angle"},
    {STR_FEATHER_NAME, "Feather"},
    {STR_INVERT_NAME, "Invert"},
    {STR_ALL_DEPENDENCIES, "All Dependencies requested."},
    {STR_MISSING_DEPENDENCIES, "Missing Dependencies requested."},
    {STR_ERROR_LOADING_SUITE, "Error loading suite."},
    {STR_ERROR_RELEASING_SUITE, "Error releasing suite."},
    {STR_WINDOW_TYPE_NAME, "Window type"},
    // The trailing bar is part of the saved text; the popup still declares
    // two choices.
    ChoiceList(STR_WINDOW_TYPE_CHOICES, WINDOW_TYPE_CHOICES, TrailingBar::YES),
    {STR_FALLOFF_NAME, "Alpha falloff"},
    ChoiceList(STR_FALLOFF_CHOICES, FALLOFF_CHOICES, TrailingBar::NO),
    {STR_MIX_NAME, "Mix"},
    {STR_SATURATION_NAME, "Saturation"},
    {STR_GAMMA_NAME, "Gamma"},
    {STR_OFFSET_NAME, "Offset"},
    {STR_GAIN_NAME, "Gain"},
    {STR_IN_RGB_GROUP_NAME, "Inside RGB Controls"},
    {STR_RED_GAMMA_NAME, "Red Gamma"},
    {STR_RED_OFFSET_NAME, "Red Offset"},
    {STR_RED_GAIN_NAME, "Red Gain"},
    {STR_GREEN_GAMMA_NAME, "Green Gamma"},
    {STR_GREEN_OFFSET_NAME, "Green Offset"},
    {STR_GREEN_GAIN_NAME, "Green Gain"},
    {STR_BLUE_GAMMA_NAME, "Blue Gamma"},
    {STR_BLUE_OFFSET_NAME, "Blue Offset"},
    {STR_BLUE_GAIN_NAME, "Blue Gain"},
    {STR_OUT_GROUP_NAME, "Outside controls"},
    {STR_OUT_RGB_GROUP_NAME, "Outside RGB controls"},
    {STR_CLAMP_OUT_BLACK_NAME, "Clamp output black"},
    {STR_CLAMP_OUT_WHITE_NAME, "Clamp output white"},
    {STR_CLAMP_IN_BLACK_NAME, "Clamp input black"},
    {STR_COLOR_MODEL_NAME, "Color model"},
    ChoiceList(STR_COLOR_MODEL_CHOICES, COLOR_MODEL_CHOICES, TrailingBar::NO),
}};

const char *LookupString(std::uint32_t number) {
    if (number >= STRING_TABLE.size()) {
        return STRING_TABLE[STR_NONE].text;
    }
    return STRING_TABLE[number].text;
}

}  // namespace zonara
