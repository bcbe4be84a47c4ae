#include "export/clip_telemetry.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "metadata/telemetry.h"

namespace orvo {
namespace {

// Products of microsecond times and counts outgrow 64 bits for long clips.
__extension__ typedef __int128 Wide;

constexpr int64_t kUsPerSecond = 1000000;

// The part an export time (whole microseconds) falls in; the last part takes
// everything after its start.
size_t PartAt(std::span<const ClipTelemetryPart> parts, int64_t time_us) {
    size_t index = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].outputStartUs <= time_us) index = i;
    }
    return index;
}

// Index of the source element for an export time given as num / den
// microseconds, for a source with per_us_num / per_us_den elements per
// microsecond.
uint64_t SourceIndex(const ClipTelemetryPart& part, Wide num, Wide den, Wide per_us_num,
                     Wide per_us_den) {
    const Wide source_num = (Wide{part.sourceStartUs} - part.outputStartUs) * den + num;
    if (source_num <= 0) return 0;
    return static_cast<uint64_t>(source_num * per_us_num / (den * per_us_den));
}

void CutGps(std::span<const ClipTelemetryPart> parts, int64_t length_us, ClipTelemetry* out) {
    unsigned rate = 0;
    for (const ClipTelemetryPart& p : parts) {
        if (GpsRecordCount(p.source.gps.size()) == 0) continue;
        if (GpsRate(p.source.gpsRateWord) > rate) {
            rate = GpsRate(p.source.gpsRateWord);
            out->gpsRateWord = p.source.gpsRateWord;
        }
    }
    if (rate == 0) {
        if (!parts.empty()) out->gpsRateWord = parts.front().source.gpsRateWord;
        return;
    }
    out->gpsRateWord[0] = static_cast<uint8_t>(rate);
    // Record i covers [i, i + 1) / rate seconds; one for every period the
    // export's picture reaches into.
    const uint64_t count =
        static_cast<uint64_t>((Wide{length_us} * rate + kUsPerSecond - 1) / kUsPerSecond);
    out->gps.assign(count * kGpsRecordSize, 0);
    for (uint64_t i = 0; i < count; ++i) {
        const Wide num = Wide{i} * kUsPerSecond;  // time = num / rate microseconds
        const ClipTelemetryPart& part = parts[PartAt(parts, static_cast<int64_t>(num / rate))];
        const std::vector<uint8_t>& block = part.source.gps;
        const uint64_t at =
            SourceIndex(part, num, rate, GpsRate(part.source.gpsRateWord), kUsPerSecond);
        if (at >= GpsRecordCount(block.size())) continue;
        std::copy_n(block.begin() + static_cast<ptrdiff_t>(at * kGpsRecordSize), kGpsRecordSize,
                    out->gps.begin() + static_cast<ptrdiff_t>(i * kGpsRecordSize));
    }
}

int8_t Rescale(int8_t value, unsigned from_range, unsigned to_range) {
    if (from_range == to_range) return value;
    const long v = std::lround(static_cast<double>(value) * from_range / to_range);
    return static_cast<int8_t>(std::clamp(v, -128L, 127L));
}

void CutGSensor(std::span<const ClipTelemetryPart> parts, uint32_t duration_ms,
                ClipTelemetry* out) {
    // Densest part (samples per millisecond, compared as fractions) and the
    // widest range among the parts that have samples.
    uint64_t best_count = 0;
    uint64_t best_ms = 1;
    unsigned range = 0;
    bool any = false;
    for (const ClipTelemetryPart& p : parts) {
        const uint64_t n = GSensorSampleCount(p.source.gsen.size());
        if (n == 0 || p.source.durationMs == 0) continue;
        if (!any) out->gRangeWord = p.source.gRangeWord;
        any = true;
        range = std::max(range, GRange(p.source.gRangeWord));
        if (Wide{n} * best_ms > Wide{best_count} * p.source.durationMs) {
            best_count = n;
            best_ms = p.source.durationMs;
        }
    }
    if (!any) {
        if (!parts.empty()) out->gRangeWord = parts.front().source.gRangeWord;
        return;
    }
    out->gRangeWord[1] = static_cast<uint8_t>(range);
    const uint64_t count =
        static_cast<uint64_t>((Wide{best_count} * duration_ms + best_ms / 2) / best_ms);
    if (count == 0) return;
    const Wide length_us = Wide{duration_ms} * 1000;
    out->gsen.assign(count * kGSensorRecordSize, 0);
    for (uint64_t j = 0; j < count; ++j) {
        // Sample j stands at j * duration / count: where the viewer looks.
        const Wide num = Wide{j} * length_us;  // time = num / count microseconds
        const ClipTelemetryPart& part = parts[PartAt(parts, static_cast<int64_t>(num / count))];
        const std::vector<uint8_t>& block = part.source.gsen;
        const uint64_t n = GSensorSampleCount(block.size());
        if (n == 0 || part.source.durationMs == 0) continue;
        const uint64_t at = SourceIndex(part, num, count, n, Wide{part.source.durationMs} * 1000);
        if (at >= n) continue;
        const unsigned from_range = GRange(part.source.gRangeWord);
        for (size_t axis = 0; axis < kGSensorRecordSize; ++axis) {
            const auto v = static_cast<int8_t>(block[at * kGSensorRecordSize + axis]);
            out->gsen[j * kGSensorRecordSize + axis] =
                static_cast<uint8_t>(Rescale(v, from_range, range));
        }
    }
}

bool LocalFields(int64_t time, struct tm* fields) {
    const time_t t = static_cast<time_t>(time);
    return ::localtime_r(&t, fields) != nullptr && fields->tm_year + 1900 >= 1900 &&
           fields->tm_year + 1900 <= 9999;
}

void PutBox(std::vector<uint8_t>& out, const char* type, std::span<const uint8_t> payload) {
    const uint64_t size = payload.size() + 8;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(size >> shift));
    }
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), payload.begin(), payload.end());
}

}  // namespace

ClipTelemetry CutClipTelemetry(std::span<const ClipTelemetryPart> parts,
                               uint32_t output_duration_ms) {
    ClipTelemetry out;
    if (parts.empty()) return out;
    const ClipTelemetryPart& last = parts.back();
    const int64_t length_us = std::max<int64_t>(last.outputStartUs + last.lengthUs, 0);
    CutGps(parts, length_us, &out);
    CutGSensor(parts, output_duration_ms, &out);
    return out;
}

std::optional<std::string> ClipDateText(int64_t time) {
    struct tm f {};
    if (!LocalFields(time, &f)) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.tm_year + 1900,
                  f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
    return std::string(text);
}

std::string DefaultClipName(int64_t time) {
    struct tm f {};
    if (!LocalFields(time, &f)) return "CLIP000000_000000.MOV";
    char text[40];
    std::snprintf(text, sizeof text, "CLIP%02d%02d%02d_%02d%02d%02d.MOV", f.tm_year % 100,
                  f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
    return text;
}

std::vector<uint8_t> ClipTelemetryBoxes(const ClipTelemetry& telemetry) {
    std::vector<uint8_t> out;
    PutBox(out, "gpsa", telemetry.gpsRateWord);
    PutBox(out, "gsea", telemetry.gRangeWord);
    if (telemetry.dateText) {
        const std::string& text = *telemetry.dateText;
        PutBox(out, "IDIT", std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }
    PutBox(out, "gps0", telemetry.gps);
    PutBox(out, "gsen", telemetry.gsen);
    return out;
}

}  // namespace orvo
