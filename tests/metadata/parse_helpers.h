#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

#include "metadata/byte_source.h"
#include "metadata/qor_3gp_parser.h"
#include "metadata/qor_avi_parser.h"
#include "tests/support/recording_writer.h"

namespace orvo::test_support {

// Local time is part of every start time; tests pin the zone.
inline void UseTimeZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

// 2018-05-01 12:00:00 UTC.
inline constexpr int64_t kMay1Noon = 1525176000;

struct ParseResult {
    int code = 0;
    ClipInfo info;
};

// Parses laid-out bytes from memory with the given parser type. The target
// is pre-filled with a sentinel so that "untouched on reject" is visible.
template <typename Parser>
ParseResult ParseLayout(const Layout& layout) {
    const Bytes bytes = layout.ToBytes();
    MemoryByteSource source(bytes);
    ParseResult r;
    r.info.startTime = -12345;
    r.info.width = 7;
    Parser parser;
    parser.SetInfoTarget(&r.info);
    r.code = parser.Parse(source);
    return r;
}

inline bool IsSentinel(const ClipInfo& info) {
    return info.startTime == -12345 && info.width == 7 && info.height == 0 &&
           info.durationMs == 0 && info.gpsSize == 0 && info.fileSize == 0;
}

}  // namespace orvo::test_support
