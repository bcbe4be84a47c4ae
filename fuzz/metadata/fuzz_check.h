#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "metadata/byte_source.h"
#include "metadata/qor_video_parser.h"
#include "metadata/telemetry.h"

namespace orvo::fuzz {

// Runs one parser on the bytes and aborts when the parser breaks its
// contract: a code other than 0/-1, a touched target on rejection, an
// accepted result without picture size or duration.
inline void CheckParser(CQorVideoParser& parser, const uint8_t* data, size_t size) {
    ClipInfo sentinel;
    std::memset(&sentinel, 0, sizeof sentinel);
    sentinel.gpsOffset = 0x5A5A5A5A5A5A5A5Aull;
    sentinel.width = 0x1234;
    sentinel.startTime = -77;
    sentinel.gRangeWord = {1, 2, 3, 4};
    ClipInfo info = sentinel;

    MemoryByteSource source(std::span<const uint8_t>(data, size));
    parser.SetInfoTarget(&info);
    const int result = parser.Parse(source);
    if (result == CQorVideoParser::kRejected) {
        if (info.gpsOffset != sentinel.gpsOffset || info.width != sentinel.width ||
            info.startTime != sentinel.startTime || info.gRangeWord != sentinel.gRangeWord ||
            info.gpsSize != 0 || info.gsenOffset != 0 || info.gsenSize != 0 || info.height != 0 ||
            info.lengthSeconds != 0 || info.durationMs != 0 || info.fileSize != 0 ||
            info.gpsRateWord != sentinel.gpsRateWord)
            std::abort();
        return;
    }
    if (result != CQorVideoParser::kAccepted) std::abort();
    if (info.width == 0 || info.height == 0 || info.durationMs == 0) std::abort();
    if (info.fileSize != size) std::abort();
    if (info.lengthSeconds != info.durationMs / 1000) std::abort();

    // Decode what a consumer would read of the blocks that lie inside the
    // input, as the selected-clip code does.
    if (info.gpsOffset < size) {
        const size_t available = static_cast<size_t>(
            std::min<uint64_t>(info.gpsSize, size - info.gpsOffset));
        const auto records = DecodeGpsBlock(std::span<const uint8_t>(data + info.gpsOffset, available));
        for (const GpsRecord& r : records) {
            if (auto p = PositionOf(r)) {
                if (!(p->latitude == p->latitude)) std::abort();  // NaN never usable
            }
            (void)GpsSampleIndex(static_cast<int64_t>(r.altitude) * 1000, GpsRate(info),
                                 records.size());
        }
        try {
            (void)StartTimeFromGpsBlock(records, info.gpsRateWord[0]);
        } catch (const TimeConversionError&) {
        }
    }
    if (info.gsenOffset < size) {
        const size_t available = static_cast<size_t>(
            std::min<uint64_t>(info.gsenSize, size - info.gsenOffset));
        const auto samples =
            DecodeGSensorBlock(std::span<const uint8_t>(data + info.gsenOffset, available));
        const double ratio = GSensorIndexRatio(samples.size(), info.durationMs);
        for (int64_t t : {int64_t{0}, int64_t{info.durationMs} - 1, int64_t{info.durationMs}})
            if (auto i = GSensorSampleIndex(t, ratio, samples.size()); i && *i >= samples.size())
                std::abort();
    }
}

}  // namespace orvo::fuzz
