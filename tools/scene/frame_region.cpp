#include "tools/scene/frame_region.h"

#include <cstdint>
#include <string_view>

#include "tools/base/message_text.h"
#include "tools/base/tool_error.h"
#include "tools/params/value_text.h"

namespace zonara_tool {
namespace {

std::string Shown(const PixelWindow &region) {
    return std::to_string(region.width) + "x" + std::to_string(region.height) + "+" + std::to_string(region.x) + "+" +
           std::to_string(region.y);
}

}  // namespace

PixelWindow ParseRegion(const std::string &text, const std::string &option) {
    const std::string expected =
        option + " " + QuotedForMessage(text) + ": expected WxH+X+Y, such as 960x540+480+270 (a part of the frame)";
    const std::size_t times = text.find('x');
    const std::size_t plus = text.find('+');
    const std::size_t second_plus = plus == std::string::npos ? plus : text.find('+', plus + 1);
    if (times == std::string::npos || plus == std::string::npos || second_plus == std::string::npos || times > plus) {
        throw UsageError(expected);
    }
    const std::string_view all(text);
    long width = 0, height = 0, x = 0, y = 0;
    if (!ParseInteger(all.substr(0, times), width) || !ParseInteger(all.substr(times + 1, plus - times - 1), height) ||
        !ParseInteger(all.substr(plus + 1, second_plus - plus - 1), x) ||
        !ParseInteger(all.substr(second_plus + 1), y)) {
        throw UsageError(expected);
    }
    if (width < 1 || height < 1) {
        throw UsageError(option + " " + QuotedForMessage(text) + ": the part must be at least 1x1 pixels");
    }
    if (x < 0 || y < 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE || x > MAX_IMAGE_SIDE ||
        y > MAX_IMAGE_SIDE) {
        throw UsageError(option + " " + QuotedForMessage(text) + ": the part must lie within the frame");
    }
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)};
}

PixelWindow RegionAtDraft(const PixelWindow &region, int full_width, int full_height, int downsample) {
    if (!PixelWindow{0, 0, full_width, full_height}.Contains(region)) {
        throw UsageError("--region " + Shown(region) + " reaches outside the " + std::to_string(full_width) + "x" +
                         std::to_string(full_height) + " frame");
    }
    const int left = region.x / downsample;
    const int top = region.y / downsample;
    const int right = (region.x + region.width + downsample - 1) / downsample;
    const int bottom = (region.y + region.height + downsample - 1) / downsample;
    return {left, top, right - left, bottom - top};
}

void RequireRegionCommands(const testhost::Host &host) {
    if (host.render_commands() == testhost::RenderCommands::LEGACY) {
        throw UsageError(
            "--region asks for a part of the frame, which only the smart commands carry; this host sends "
            "PF_Cmd_RENDER (ZONARA_RENDER_COMMANDS=legacy)");
    }
}

PF_LRect RequestOf(const PixelWindow &region) {
    return {region.x, region.y, region.x + region.width, region.y + region.height};
}

}  // namespace zonara_tool
