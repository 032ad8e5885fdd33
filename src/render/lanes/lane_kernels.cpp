#include "render/lanes/lane_kernels.h"

namespace zonara {

LaneKernels LaneKernelsAt(SimdLevel level) {
    switch (level) {
    case SimdLevel::SCALAR:
        return {nullptr, nullptr};
    case SimdLevel::BASELINE:
        return {&lanes_baseline::RenderFloatRows, &lanes_baseline::RenderPixelRun};
    case SimdLevel::AVX2:
        return {&lanes_avx2::RenderFloatRows, &lanes_avx2::RenderPixelRun};
    case SimdLevel::AVX512:
        return {&lanes_avx512::RenderFloatRows, &lanes_avx512::RenderPixelRun};
    }
    return {nullptr, nullptr};
}

}  // namespace zonara
