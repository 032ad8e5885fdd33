#include "tools/image/row_bands.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace zonara_tool {
namespace {

// Below this many samples in all a conversion takes well under a
// millisecond: one thread does it.
constexpr long long MIN_SAMPLES_TO_SPLIT = 1 << 18;

}  // namespace

void ForEachRowBand(int rows, long long samples_per_row, const std::function<void(int, int)> &band) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = rows * samples_per_row < MIN_SAMPLES_TO_SPLIT ? 1 : std::min(cores, rows);
    if (bands <= 1) {
        band(0, rows);
        return;
    }
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(bands));
    auto run = [&](int index) {
        try {
            band(rows * index / bands, rows * (index + 1) / bands);
        } catch (...) {
            failures[static_cast<std::size_t>(index)] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    for (int index = 1; index < bands; ++index) {
        helpers.emplace_back(run, index);
    }
    run(0);
    for (std::thread &helper : helpers) {
        helper.join();
    }
    for (const std::exception_ptr &failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

}  // namespace zonara_tool
