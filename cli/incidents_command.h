#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orvo::cli {

// incidents PATH [--g THRESHOLD] [--brake KMH_PER_S] [--accel KMH_PER_S]:
// one JSON line per incident of every recording of a folder (or of one
// file), in catalogue order.
int RunIncidents(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orvo::cli
