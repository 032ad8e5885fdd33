// What an output loses of a float image whose format holds a narrower range
// (any integer format: PNG, JPEG, Targa, PAM, ...): every sample outside it
// becomes its nearest end. Never silently: one warning, naming the first file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "tools/image/image.h"

namespace zonara_tool {

// The values a stored sample type holds of a float image: 0..1 for
// unsigned integers, -1..1 for signed ones, 0 and above for Radiance HDR's
// shared exponent; unset for floating point, which holds them all.
struct HeldRange {
    float lowest = 0.0f;
    std::optional<float> highest = 1.0f;  // unset: no upper end
};

// Writes "zonara: warning: OUTPUT: ..." to standard error, for the first
// output of the run that needs it, when `image` holds float samples outside `held`, saying how many
// of how many and the range they reach (not-a-number counted apart).
// Integer images are within any range: nothing is said.
void WarnOfSamplesOutside(const std::string &output, const std::string &format_name, const Image &image,
                          const HeldRange &held);

// The text of that warning, without the prefix; empty when no sample lies
// outside.
std::string SamplesOutsideText(const std::string &output, const std::string &format_name, const Image &image,
                               const HeldRange &held);

}  // namespace zonara_tool
