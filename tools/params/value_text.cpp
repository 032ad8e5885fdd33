#include "tools/params/value_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

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

// The text without surrounding spaces and one leading '+', which
// std::from_chars does not take.
std::string_view NumberText(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    return text;
}

}  // namespace

bool ParseNumber(std::string_view text, double &out) {
    text = NumberText(text);
    if (text.empty()) {
        return false;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

bool ParseInteger(std::string_view text, long &out) {
    text = NumberText(text);
    if (text.empty()) {
        return false;
    }
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    out = value;
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
