#include "incidents/incident_time.h"

#include <cstdio>
#include <ctime>

namespace orvo {

namespace {

bool Digits(const std::string& text, size_t at, size_t count, int* value) {
    if (at + count > text.size()) return false;
    int v = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    *value = v;
    return true;
}

}  // namespace

std::optional<int64_t> RecordingStartTime(const ClipInfo& info, const std::string& file_name) {
    if (info.startTime != 0) return info.startTime;
    int year, month, day, hour, minute, second;
    if (!Digits(file_name, 4, 2, &year) || !Digits(file_name, 6, 2, &month) ||
        !Digits(file_name, 8, 2, &day) || !Digits(file_name, 11, 2, &hour) ||
        !Digits(file_name, 13, 2, &minute) || !Digits(file_name, 15, 2, &second)) {
        return std::nullopt;
    }
    try {
        return MakeLocalTime(2000 + year, month, day, hour, minute, second);
    } catch (const TimeConversionError&) {
        return std::nullopt;
    }
}

std::string LocalIsoTime(int64_t start_time, uint32_t offset_ms) {
    const std::time_t t = static_cast<std::time_t>(start_time + offset_ms / 1000);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return {};
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03u",
                                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec, offset_ms % 1000);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof text) return {};
    return text;
}

}  // namespace orvo
