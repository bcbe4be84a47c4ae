#pragma once

#include <string>

namespace orvo {

// The whole-process benchmarks learn what the viewer is doing from a marker
// file: when ORVO_BENCH_MARKERS names one, each call appends `line` and a
// line break (in one write, so lines never interleave). Without it nothing
// happens.
void WriteBenchMarker(const std::string& line);

}  // namespace orvo
