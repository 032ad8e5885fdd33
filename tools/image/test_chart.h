// The built-in test chart rendered when no input is given, so the effect can
// be seen on a machine without footage: colour bars, grey ramps, saturated
// and skin-tone patches and a fine grid, 1920x1080, 8-bit RGB.
#pragma once

#include "tools/image/image_file.h"

namespace zonara_tool {

constexpr int TEST_CHART_WIDTH = 1920;
constexpr int TEST_CHART_HEIGHT = 1080;

Image MakeTestChart();

}  // namespace zonara_tool
