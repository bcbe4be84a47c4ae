#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orvo::cli {

// trip PATH: one JSON line per trip (group) of the catalogue of PATH.
int RunTrip(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orvo::cli
