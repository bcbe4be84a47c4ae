#pragma once

#include <string>

namespace orvo {

// The whole-process benchmarks learn what the viewer is doing from a marker
// file: when ORVO_BENCH_MARKERS names one, each call appends `line` and a
// line break (in one write, so lines never interleave). Without it nothing
// happens.
void WriteBenchMarker(const std::string& line);

// A start-up step reached: "stage NAME NS", NS the monotonic clock in
// nanoseconds (the clock the benchmark starts its timing from), so the
// benchmark can tell where the time between exec and the first picture
// went. Any thread may call it.
void WriteBenchStage(const char* name);

}  // namespace orvo
