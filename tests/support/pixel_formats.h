// The pixel formats as the tests walk them: every row of the effect's list,
// with a short name for traces and a frame size that builds the format's
// tables. A format added to the list fails the assertion below until the
// tests know it.
#pragma once

#include <iterator>

#include "render/frame/pixel_format.h"
#include "testhost/core/host.h"

namespace zonara_test {

struct FormatCase {
    const char *name;
    zonara::PixelFormat format;
    // Large enough for the integer formats' tables and look-ahead runs,
    // which pay only past a pixel count that grows with the codes.
    int width;
    int height;

    // Whether the host's plain render command hands frames of the format:
    // the compositing host's float frames come only with its smart
    // commands.
    constexpr bool render_command() const {
        return zonara::TraitsOf(format).integer() || zonara::TraitsOf(format).premiere_code != 0;
    }
    // Whether a host that sends `commands` hands frames of the format.
    constexpr bool CarriedBy(testhost::RenderCommands commands) const {
        return commands == testhost::RenderCommands::SMART || render_command();
    }

    // The host whose layers come in the format.
    constexpr testhost::HostApp app() const {
        return zonara::TraitsOf(format).order == testhost::LayerChannelOrder(testhost::HostApp::kPremiere)
                   ? testhost::HostApp::kPremiere
                   : testhost::HostApp::kAfterEffects;
    }
};

inline constexpr FormatCase FORMAT_CASES[] = {
    {"ARGB8", zonara::PixelFormat::ARGB8, 97, 61},     {"ARGB16", zonara::PixelFormat::ARGB16, 521, 509},
    {"BGRA8", zonara::PixelFormat::BGRA8, 97, 61},     {"BGRA32f", zonara::PixelFormat::BGRA32F, 97, 61},
    {"ARGB32f", zonara::PixelFormat::ARGB32F, 97, 61},
};

constexpr bool CasesFollowTheFormats() {
    if (std::size(FORMAT_CASES) != std::size(zonara::PIXEL_FORMATS)) return false;
    for (std::size_t i = 0; i < std::size(FORMAT_CASES); ++i) {
        if (FORMAT_CASES[i].format != zonara::PIXEL_FORMATS[i].format) return false;
    }
    return true;
}
static_assert(CasesFollowTheFormats(), "one case for each format, in the list's order");

constexpr const FormatCase &CaseOf(zonara::PixelFormat format) { return FORMAT_CASES[static_cast<int>(format)]; }

}  // namespace zonara_test
