#include "tools/params/value_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace zonara_tool {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char &c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

namespace {

std::size_t DigitsAt(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    return end - at;
}

// Whether `text` (trimmed, sign included) is [+-]digits[.digits][e[+-]digits]
// with at least one digit before the exponent.
bool InNumberGrammar(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    std::size_t mantissa_digits = DigitsAt(text, at);
    at += mantissa_digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        const std::size_t fraction = DigitsAt(text, at);
        mantissa_digits += fraction;
        at += fraction;
    }
    if (mantissa_digits == 0) {
        return false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        const std::size_t exponent = DigitsAt(text, at);
        if (exponent == 0) {
            return false;
        }
        at += exponent;
    }
    return at == text.size();
}

bool IsNonFiniteWord(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    const std::string word = Lower(text);
    return word == "inf" || word == "infinity" || word == "nan";
}

}  // namespace

NumberReading ReadNumber(std::string_view text, double &out) {
    text = Trim(text);
    if (!InNumberGrammar(text)) {
        return IsNonFiniteWord(text) ? NumberReading::kNotFinite : NumberReading::kNotANumber;
    }
    // std::from_chars takes no leading '+'.
    if (text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return NumberReading::kOutOfRange;  // 1e400, and 1e-400, which no double holds either
    }
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return NumberReading::kNotANumber;
    }
    out = value;
    return NumberReading::kNumber;
}

const char *NumberProblem(NumberReading reading) {
    switch (reading) {
    case NumberReading::kNumber:
        return "a number";
    case NumberReading::kNotFinite:
        return "not a finite number";
    case NumberReading::kOutOfRange:
        return "out of range";
    case NumberReading::kNotANumber:
        break;
    }
    return "not a number";
}

bool ParseNumber(std::string_view text, double &out) { return ReadNumber(text, out) == NumberReading::kNumber; }

bool ParseInteger(std::string_view text, long &out) {
    double value = 0.0;
    // Within the doubles that hold every whole number exactly, far beyond
    // any count or size the tool takes.
    constexpr double WHOLE_LIMIT = 9007199254740992.0;  // 2^53
    if (!ParseNumber(text, value) || value != std::floor(value) || std::fabs(value) > WHOLE_LIMIT ||
        value > static_cast<double>(std::numeric_limits<long>::max()) ||
        value < static_cast<double>(std::numeric_limits<long>::min())) {
        return false;  // a long is 32 bits on Windows
    }
    out = static_cast<long>(value);
    return true;
}

bool ParseNumberPair(std::string_view text, double &x, double &y) {
    const std::size_t comma = text.find(',');
    return comma != std::string_view::npos && ParseNumber(text.substr(0, comma), x) &&
           ParseNumber(text.substr(comma + 1), y);
}

std::string FormatNumber(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string FormatNumber(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::vector<std::string> SplitChoices(const PF_PopupDef &popup) {
    std::vector<std::string> choices;
    std::string_view rest = popup.u.namesptr != nullptr ? popup.u.namesptr : "";
    while (static_cast<int>(choices.size()) < popup.num_choices && !rest.empty()) {
        const std::size_t bar = rest.find('|');
        choices.emplace_back(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    }
    return choices;
}

}  // namespace zonara_tool
