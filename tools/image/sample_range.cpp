#include "tools/image/sample_range.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iostream>
#include <sstream>

namespace zonara_tool {

std::string SamplesOutsideText(const std::string &output, const std::string &format_name, const Image &image,
                               const HeldRange &held) {
    if (image.kind != SampleKind::FLOAT32) {
        return {};
    }
    const float *samples = image.Samples<float>();
    const std::size_t count = image.SampleCount();
    const float highest_held = held.highest.value_or(INFINITY);
    std::size_t outside = 0;
    std::size_t not_a_number = 0;
    float lowest = INFINITY;
    float highest = -INFINITY;
    for (std::size_t i = 0; i < count; ++i) {
        const float value = samples[i];
        if (std::isnan(value)) {
            ++not_a_number;
            continue;
        }
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        outside += value < held.lowest || value > highest_held ? 1 : 0;
    }
    if (outside == 0 && not_a_number == 0) {
        return {};
    }
    std::ostringstream text;
    text << output << ": " << outside + not_a_number << " of the image's " << count << " samples lie ";
    if (held.highest) {
        text << "outside " << held.lowest << ".." << *held.highest << ", the range the " << format_name
             << " file holds";
    } else {
        text << "below " << held.lowest << ", which the " << format_name << " file cannot hold";
    }
    text << " (";
    if (lowest <= highest) {
        text << "the samples reach from " << lowest << " to " << highest << (not_a_number != 0 ? "; " : "");
    }
    if (not_a_number != 0) {
        text << not_a_number << " are not-a-number";
    }
    text << "): they are clipped to it; a float format keeps them (.exr, .tif, .pfm)";
    return text.str();
}

void WarnOfSamplesOutside(const std::string &output, const std::string &format_name, const Image &image,
                          const HeldRange &held) {
    // Once a run, like the dropped-alpha warning: a sequence's frames are
    // clipped alike, and a thousand lines would bury the progress and the
    // first one's counts.
    static std::atomic<bool> warned{false};
    if (warned.load()) {
        return;
    }
    if (const std::string text = SamplesOutsideText(output, format_name, image, held);
        !text.empty() && !warned.exchange(true)) {
        std::cerr << "zonara: warning: " << text << "\n";
    }
}

}  // namespace zonara_tool
