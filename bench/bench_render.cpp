// Frames of 3840 x 2160 through the module and the simulated host in each of
// the four formats, at the default parameters, with a full grade and (on
// grain, 8-bit and float) with the soft window's wide feather, against
// a single-threaded copy of the same buffer and (for the full grade at 8 and
// 16 bits) the plain one-pixel-at-a-time reference.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "tests/reference/reference_render.h"
#include "tools/scene/bench_looks.h"

namespace {

constexpr int WIDTH = 3840;
constexpr int HEIGHT = 2160;

struct Scene {
    std::unique_ptr<testhost::Host> host;
    testhost::Layer src;
    testhost::Layer dst;

    Scene(const bench_looks::FormatChoice &choice, bench_looks::Grade grade)
        : src(choice.format, WIDTH, HEIGHT), dst(choice.format, WIDTH, HEIGHT) {
        host = std::make_unique<testhost::Host>(testhost::Module::Load(testhost::DefaultModulePath()), choice.app);
        host->frame().layer_width = WIDTH;
        host->frame().layer_height = HEIGHT;
        host->GlobalSetup();
        host->ParamsSetup();
        bench_looks::ApplyGrade(host->params().array(), grade, WIDTH, HEIGHT);
        bench_looks::FillFrame(src);
    }
};

void SetPixelCounters(benchmark::State &state) {
    state.counters["Mpix/s"] =
        benchmark::Counter(static_cast<double>(WIDTH) * HEIGHT / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// Renders the scene's frame once per iteration through the host.
void TimeRenders(benchmark::State &state, Scene &scene) {
    for (auto _ : state) {
        if (scene.host->Render(scene.src, scene.dst) != PF_Err_NONE) {
            state.SkipWithError("render failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state);
}

void Render(benchmark::State &state, bench_looks::FormatChoice choice, bench_looks::Grade grade) {
    Scene scene(choice, grade);
    TimeRenders(state, scene);
}

// A grade on a frame of random colours (grain), which neither the 8-bit memo
// of finished pixels nor neighbouring pixels' likeness helps.
void RenderNoise(benchmark::State &state, bench_looks::FormatChoice choice, bench_looks::Grade grade) {
    Scene scene(choice, grade);
    bench_looks::FillNoise(scene.src);
    TimeRenders(state, scene);
}

void Copy(benchmark::State &state, bench_looks::FormatChoice choice) {
    testhost::Layer src(choice.format, WIDTH, HEIGHT), dst(choice.format, WIDTH, HEIGHT);
    bench_looks::FillFrame(src);
    const std::size_t bytes = bench_looks::FrameBytes(src);
    for (auto _ : state) {
        std::memcpy(dst.def().data, src.def().data, bytes);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state);
}

void Reference(benchmark::State &state, bench_looks::FormatChoice choice) {
    Scene scene(choice, bench_looks::Grade::kFull);
    PF_UtilCallbacks utils{};
    utils.ansi.pow = [](double x, double y) { return std::pow(x, y); };
    PF_InData in_data{};
    in_data.utils = &utils;
    in_data.pixel_aspect_ratio = {1, 1};
    in_data.downsample_x = {1, 1};
    in_data.downsample_y = {1, 1};
    scene.host->params().at(0).u.ld = scene.src.def();
    for (auto _ : state) {
        reference::RenderFrame(in_data, scene.host->params().array(), choice.format, scene.src.def(), scene.dst.def(),
                               HEIGHT);
        benchmark::ClobberMemory();
    }
    SetPixelCounters(state);
}

using bench_looks::ARGB16;
using bench_looks::ARGB8;
using bench_looks::BGRA32F;
using bench_looks::BGRA8;
using bench_looks::Grade;

BENCHMARK_CAPTURE(Render, ARGB8_default, ARGB8, Grade::kDefault)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, ARGB16_default, ARGB16, Grade::kDefault)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, BGRA8_default, BGRA8, Grade::kDefault)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, BGRA32f_default, BGRA32F, Grade::kDefault)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, ARGB8_full, ARGB8, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, ARGB16_full, ARGB16, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, BGRA8_full, BGRA8, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Render, BGRA32f_full, BGRA32F, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, ARGB8_full_noise, ARGB8, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, ARGB16_full_noise, ARGB16, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, BGRA8_full_noise, BGRA8, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, BGRA32f_full_noise, BGRA32F, Grade::kFull)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, ARGB8_soft_noise, ARGB8, Grade::kSoftGaussian)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, ARGB8_soft_exponential_noise, ARGB8, Grade::kSoftExponential)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, BGRA32f_soft_noise, BGRA32F, Grade::kSoftGaussian)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(RenderNoise, BGRA32f_soft_exponential_noise, BGRA32F, Grade::kSoftExponential)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Copy, ARGB8, ARGB8)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Copy, ARGB16, ARGB16)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Copy, BGRA32f, BGRA32F)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(Reference, ARGB8_full, ARGB8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(Reference, ARGB16_full, ARGB16)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
