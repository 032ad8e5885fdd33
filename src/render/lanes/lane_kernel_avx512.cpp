// The vector kernel at the avx512 level, 16 pixels at a time (compiler flags
// for this file are set in CMakeLists.txt).
#define ZONARA_LANE_NAMESPACE lanes_avx512
#define ZONARA_LANES 16
#include "render/lanes/lane_kernel-inl.h"
