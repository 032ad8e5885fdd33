// Every visible text comes from the string table by number; a record out of
// place would rename a parameter or garble the about box.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/string_table.h"

namespace {

using namespace zonara;

TEST(StringTable, RecordsAreNumberedByPositionAndTerminated) {
    ASSERT_EQ(STRING_TABLE.size(), 40u);
    for (std::uint32_t i = 0; i < STRING_TABLE.size(); ++i) {
        const StringRecord &record = STRING_TABLE[i];
        EXPECT_EQ(record.number, i);
        const std::size_t length = strnlen(record.text, sizeof record.text);
        ASSERT_LT(length, sizeof record.text) << "entry " << i << " not terminated";
        for (std::size_t b = length; b < sizeof record.text; ++b) {
            ASSERT_EQ(record.text[b], 0) << "entry " << i << " not zero-filled";
        }
        EXPECT_EQ(LookupString(i), record.text);
    }
}

TEST(StringTable, SelectedTextsAsTheyStand) {
    const struct {
        std::uint32_t number;
        const char *text;
    } cases[] = {
        {0, ""},
        {1, "Zonara"},
        {15, "Ellipse|Rectangle|"},
        {17, "Linear|Quadratic|Cubic|Gamma 2.2|Gaussian|Exponential"},
        {23, "Inside RGB Controls"},
        {34, "Outside RGB controls"},
        {39, "Legacy|CDL compliant"},
    };
    for (const auto &c : cases) {
        EXPECT_STREQ(LookupString(c.number), c.text) << c.number;
    }
    EXPECT_EQ(std::string(LookupString(2)).rfind("Zonara plugin for After Effects and Premiere Pro.", 0), 0u);
}

// Parameter names go into the host's 32-byte name field.
TEST(StringTable, ParameterNamesFitTheHostNameField) {
    for (std::uint32_t i = 3; i < STRING_TABLE.size(); ++i) {
        const bool is_choice_list = i == 15 || i == 17 || i == 39;
        if (i >= 10 && i <= 13) {
            continue;  // messages, never names
        }
        if (!is_choice_list) {
            EXPECT_LT(std::strlen(LookupString(i)), 32u) << i;
        }
    }
}

TEST(StringTable, OutOfRangeNumbersYieldTheEmptyText) {
    for (std::uint32_t number : {40u, 41u, 1000u, 0xFFFFFFFFu}) {
        EXPECT_STREQ(LookupString(number), "") << number;
    }
}

}  // namespace
