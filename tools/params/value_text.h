// Numbers and words as the tool reads and writes them: one parser per kind
// of value, one number format and the host's own splitting of a popup's
// choices, shared by every command, preset and option.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pf_sdk.h"

namespace zonara_tool {

// One grammar for every number the tool reads, from --set, a preset, a CDL
// file or an option: decimal, an optional sign, digits with an optional
// fraction and an optional exponent ("-1.5", ".5", "2e-3"), surrounding
// spaces ignored. No hex ("0x10"), no digit separators: a number that means
// something else in another tool is refused rather than guessed at.
enum class NumberReading {
    kNumber,
    kNotANumber,  // not in the grammar: "1.5x", "0x10", "one"
    kNotFinite,   // "inf", "nan" and their spellings
    kOutOfRange,  // in the grammar, but too large or too small for a double
};
NumberReading ReadNumber(std::string_view text, double &out);
// The reason a reading failed, as a message puts it after the value:
// "not a number", "not a finite number", "out of range".
const char *NumberProblem(NumberReading reading);

// ReadNumber succeeded: "1.5x" or "nan" are refused rather than read as a
// prefix or as a value nothing can use.
bool ParseNumber(std::string_view text, double &out);
// The same for a whole number that fits in a long ("20", "2e1", "20.0").
bool ParseInteger(std::string_view text, long &out);
// "X,Y" as two numbers by ParseNumber.
bool ParseNumberPair(std::string_view text, double &x, double &y);

// The shortest text that reads back as the same value, so a number shown or
// saved reaches the effect unchanged. A float is written as the float it is
// (0.1f as "0.1"), not as the double it widens to.
std::string FormatNumber(double value);
std::string FormatNumber(float value);

// A popup's labels as the host splits them: at the bars, the first
// num_choices of them (a trailing bar adds no choice).
std::vector<std::string> SplitChoices(const PF_PopupDef &popup);

std::string_view Trim(std::string_view text);
std::string Lower(std::string_view text);

}  // namespace zonara_tool
