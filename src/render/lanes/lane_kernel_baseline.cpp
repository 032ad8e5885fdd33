// The vector kernel at the baseline level, 4 pixels at a time (compiler flags
// for this file are set in CMakeLists.txt).
#define ZONARA_LANE_NAMESPACE lanes_baseline
#define ZONARA_LANES 4
#include "render/lanes/lane_kernel-inl.h"
