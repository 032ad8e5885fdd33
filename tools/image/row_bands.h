// Running a loop over an image's rows on all cores: the rows are cut into one
// contiguous band per core, each band on its own thread. Small images stay on
// the calling thread, where starting threads would cost more than it saves.
#pragma once

#include <functional>

namespace zonara_tool {

// Calls `band(first_row, end_row)` for bands covering 0..rows once each,
// possibly at the same time; returns when all are done. An exception from a
// band is rethrown here after every band has finished.
void ForEachRowBand(int rows, long long samples_per_row, const std::function<void(int, int)> &band);

}  // namespace zonara_tool
