#include "tools/image/test_chart.h"

#include <array>
#include <cstdint>

namespace zonara_tool {
namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// Full-intensity bars in the usual order, white to black.
constexpr std::array<Rgb, 8> BARS = {
    {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0}, {255, 0, 255}, {255, 0, 0}, {0, 0, 255}, {0, 0, 0}}};

constexpr std::array<Rgb, 6> SATURATED = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 0, 255}, {255, 255, 0}}};

// Light to dark skin tones: a grade must keep them plausible.
constexpr std::array<Rgb, 6> SKIN = {
    {{255, 224, 196}, {241, 194, 167}, {224, 172, 135}, {198, 134, 96}, {141, 85, 54}, {92, 51, 33}}};

// Layout, in rows and columns of the 1920x1080 frame.
constexpr int BARS_END = 360;
constexpr int SMOOTH_RAMP_END = 540;
constexpr int STEP_RAMP_END = 720;
constexpr int PATCH_ROW_SPLIT = 900;
constexpr int PATCH_WIDTH = 160;
constexpr int GRID_LEFT = 960;
constexpr int GRID_SPACING = 12;
constexpr int STEP_COUNT = 16;

Rgb ChartPixel(int x, int y) {
    const int width = TEST_CHART_WIDTH;
    if (y < BARS_END) {
        return BARS[static_cast<std::size_t>(x * 8 / width)];
    }
    if (y < SMOOTH_RAMP_END) {
        const auto v = static_cast<std::uint8_t>(x * 255 / (width - 1));
        return {v, v, v};
    }
    if (y < STEP_RAMP_END) {
        const int step = x * STEP_COUNT / width;
        const auto v = static_cast<std::uint8_t>(step * 255 / (STEP_COUNT - 1));
        return {v, v, v};
    }
    if (x < GRID_LEFT) {
        const auto patch = static_cast<std::size_t>(x / PATCH_WIDTH);
        return y < PATCH_ROW_SPLIT ? SATURATED[patch] : SKIN[patch];
    }
    // Fine grid: one-pixel lines on mid grey, with a one-pixel checkerboard
    // in its lower half to show what the edge of the window does to detail.
    const int gx = x - GRID_LEFT;
    const int gy = y - STEP_RAMP_END;
    if (gy >= (TEST_CHART_HEIGHT - STEP_RAMP_END) / 2 && gx >= (TEST_CHART_WIDTH - GRID_LEFT) / 2) {
        const std::uint8_t v = ((x + y) % 2 == 0) ? 230 : 25;
        return {v, v, v};
    }
    if (gx % GRID_SPACING == 0 || gy % GRID_SPACING == 0) {
        return {235, 235, 235};
    }
    return {70, 70, 70};
}

}  // namespace

Image MakeTestChart() {
    Image chart = MakeImage(TEST_CHART_WIDTH, TEST_CHART_HEIGHT, 3, SampleKind::INT8);
    chart.format_name = "chart";
    std::uint8_t *data = chart.Samples<std::uint8_t>();
    for (int y = 0; y < TEST_CHART_HEIGHT; ++y) {
        for (int x = 0; x < TEST_CHART_WIDTH; ++x) {
            const Rgb p = ChartPixel(x, y);
            std::uint8_t *out = data + (static_cast<std::size_t>(y) * TEST_CHART_WIDTH + x) * 3;
            out[0] = p.r;
            out[1] = p.g;
            out[2] = p.b;
        }
    }
    return chart;
}

}  // namespace zonara_tool
