#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

// The vector instructions the window loop can run on.
enum class VectorUnit {
    kNone,  // plain code, on every machine
    kSse2,  // four lanes: every x86-64 processor
    kAvx2,  // eight lanes, where the processor has them
};

// The widest unit this build and this processor can run.
VectorUnit BestVectorUnit();
// Whether this build and this processor can run unit.
bool CanRun(VectorUnit unit);

// For each sample, the largest squared distance between its vector and the
// vectors of the up to `window` samples before it (for the first sample:
// the `window` samples after it), in raw sensor counts squared. Whole
// numbers below 2^18, held exactly in a float. window must lie in
// 1..samples.size() - 1. `unit` is a request: one this machine cannot run
// falls back to the best it can.
std::vector<float> SquaredChangesInWindow(std::span<const GSensorRecord> samples, size_t window,
                                          VectorUnit unit = BestVectorUnit());

}  // namespace orvo
