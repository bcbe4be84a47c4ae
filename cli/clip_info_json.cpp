#include "cli/clip_info_json.h"

#include <cstdio>

namespace orvo::cli {

std::string RateWordHex(const std::array<uint8_t, 4>& word) {
    char text[9];
    std::snprintf(text, sizeof text, "%02x%02x%02x%02x", word[0], word[1], word[2], word[3]);
    return text;
}

void AppendClipInfo(Json& object, const ClipInfo& info) {
    object["gpsOffset"] = info.gpsOffset;
    object["gpsSize"] = info.gpsSize;
    object["gsenOffset"] = info.gsenOffset;
    object["gsenSize"] = info.gsenSize;
    object["width"] = info.width;
    object["height"] = info.height;
    object["startTime"] = info.startTime;
    object["lengthSeconds"] = info.lengthSeconds;
    object["durationMs"] = info.durationMs;
    object["fileSize"] = info.fileSize;
    object["gpsRateWord"] = RateWordHex(info.gpsRateWord);
    object["gRangeWord"] = RateWordHex(info.gRangeWord);
}

std::string DumpLine(const Json& object) {
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace orvo::cli
