// The vector kernel at the avx2 level, 8 pixels at a time (compiler flags
// for this file are set in CMakeLists.txt).
#define ZONARA_LANE_NAMESPACE lanes_avx2
#define ZONARA_LANES 8
#include "render/lanes/lane_kernel-inl.h"
