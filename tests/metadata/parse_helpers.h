#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "metadata/byte_source.h"
#include "metadata/qor_3gp_parser.h"
#include "metadata/qor_avi_parser.h"
#include "tests/support/recording_writer.h"
#include "tests/support/time_zone.h"

namespace orvo::test_support {

// 2018-05-01 12:00:00 UTC.
inline constexpr int64_t kMay1Noon = 1525176000;

// A short camera-style GPS track: `count` records at `rate`, the first dated
// one at `undated` (its time 2018-05-01 12:00:00 + undated / rate seconds).
inline std::vector<GpsRecord> Track(size_t count = 12, unsigned rate = 10, size_t undated = 0) {
    GpsTrackOptions o;
    o.count = count;
    o.rate = rate;
    o.undated_leading = undated;
    return MakeGpsTrack(o);
}

// Parser tests read start times in UTC.
class UtcTest : public ::testing::Test {
protected:
    void SetUp() override { UseTimeZone("UTC"); }
};

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

// A table row's outcome: accepted and passing the row's checks, or
// rejected with the target left untouched.
inline void ExpectOutcome(const ParseResult& r, int code,
                          const std::function<void(const ClipInfo&)>& check) {
    EXPECT_EQ(r.code, code);
    if (code != 0) {
        EXPECT_TRUE(IsSentinel(r.info)) << "target touched on reject";
    } else if (check) {
        check(r.info);
    }
}

// Every prefix of a file either parses, sized as the prefix, or is
// rejected: never an exception or a read past the end.
template <typename Parser>
void ExpectEveryPrefixParsesSafely(const Bytes& bytes) {
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        MemoryByteSource source(prefix);
        ClipInfo info;
        Parser parser;
        parser.SetInfoTarget(&info);
        const int code = parser.Parse(source);
        ASSERT_TRUE(code == 0 || code == -1) << "cut at " << cut;
        if (code == 0) {
            EXPECT_EQ(info.fileSize, cut);
        }
    }
}

}  // namespace orvo::test_support
