// Numbers given as command-line options read by the same grammar as --set
// and presets (value_text.h), rather than by the option parser's own, which
// takes hex, octal and binary for some types and "inf" for others.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace zonara_tool {

// For an option held in a double: refuses what ReadNumber refuses, naming
// why (not a number, not a finite number, out of `range`, the option's own
// range as its message names it), and hands the parser the number's
// shortest exact text.
CLI::Validator DecimalNumber(const std::string &range);

// The same for an option held in an int: the number must also be whole
// ("20", "2e1") and within an int.
CLI::Validator WholeNumber(const std::string &range);

}  // namespace zonara_tool
