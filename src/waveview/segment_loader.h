#pragma once
// Where a trace pane gets its samples: a function that empties the array and
// fills it with the blocks of one channel over [t1, t2]. The waveform window
// binds it to the archive's segment assembly; benchmarks and drawing tests
// can hand in their own blocks.

#include <functional>
#include <string>

#include "archive/data_block.h"

namespace nuv {

using SegmentLoader = std::function<void(const std::string& station, const std::string& channel,
                                         const std::string& locationCode, double t1, double t2,
                                         NUVDataBlockArray& out)>;

}  // namespace nuv
