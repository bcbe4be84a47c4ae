#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orvo::cli {

// evidence PATH... --out DIR [--lang en|ja]: writes an evidence package of
// the recordings (a folder stands for all its recordings) into DIR and
// prints the package folder. 0 only when every copy verified and every file
// was written.
int RunEvidence(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orvo::cli
