#include "tools/params/number_option.h"

#include <cmath>
#include <limits>
#include <string>

#include "tools/base/message_text.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

// The reading's reason, or empty with `value` set.
std::string ReadOptionNumber(const std::string &text, const std::string &range, double &value) {
    const NumberReading reading = ReadNumber(text, value);
    if (reading == NumberReading::kNumber) {
        return "";
    }
    const std::string problem = QuotedForMessage(text) + " is " + NumberProblem(reading);
    if (reading == NumberReading::kNotANumber) {
        return problem + " (decimal, such as 2, 0.5 or 1e-3)";
    }
    return problem + " (valid: " + range + ")";
}

}  // namespace

CLI::Validator DecimalNumber(const std::string &range) {
    return CLI::Validator(
        [range](std::string &text) {
            double value = 0.0;
            std::string problem = ReadOptionNumber(text, range, value);
            if (problem.empty()) {
                text = FormatNumber(value);
            }
            return problem;
        },
        "NUMBER", "DECIMAL_NUMBER");
}

CLI::Validator WholeNumber(const std::string &range) {
    return CLI::Validator(
        [range](std::string &text) {
            double value = 0.0;
            std::string problem = ReadOptionNumber(text, range, value);
            if (!problem.empty()) {
                return problem;
            }
            if (value != std::floor(value)) {
                return QuotedForMessage(text) + " is not a whole number";
            }
            constexpr double LOW = std::numeric_limits<int>::min();
            constexpr double HIGH = std::numeric_limits<int>::max();
            if (value < LOW || value > HIGH) {
                return QuotedForMessage(text) + " is out of range (valid: " + range + ")";
            }
            text = std::to_string(static_cast<int>(value));
            return std::string();
        },
        "INT", "WHOLE_NUMBER");
}

}  // namespace zonara_tool
