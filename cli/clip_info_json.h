#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "metadata/telemetry.h"

namespace orvo::cli {

// Key order is part of the output contract, so objects keep insertion order.
using Json = nlohmann::ordered_json;

// The four bytes of a rate word in file order as 8 lower-case hex digits.
std::string RateWordHex(const std::array<uint8_t, 4>& word);

// Appends the ClipInfo keys, in contract order: gpsOffset, gpsSize,
// gsenOffset, gsenSize, width, height, startTime, lengthSeconds, durationMs,
// fileSize, gpsRateWord, gRangeWord.
void AppendClipInfo(Json& object, const ClipInfo& info);

// One compact line of JSON; invalid UTF-8 in strings (file names) is replaced
// rather than aborting the command.
std::string DumpLine(const Json& object);

}  // namespace orvo::cli
