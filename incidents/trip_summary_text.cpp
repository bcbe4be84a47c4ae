#include "incidents/trip_summary_text.h"

#include <cmath>
#include <cstdio>

#include "app/ui_strings.h"
#include "gps/kml_export.h"
#include "incidents/trip_summary.h"
#include "library/number_text.h"

namespace orvo {

namespace {

constexpr int kTripOfRecordingsId = 270;
constexpr int kTripOfOneRecordingId = 271;
constexpr int kStartId = 272;
constexpr int kEndId = 273;
constexpr int kDurationId = 274;
constexpr int kDistanceId = 275;
constexpr int kMaxSpeedId = 276;
constexpr int kAverageSpeedId = 277;
constexpr int kNoFixId = 278;
constexpr int kPendingId = 279;

// The string of `id` with its "%1" replaced by value.
std::string Filled(int language_index, int id, const std::string& value) {
    std::string text = LoadUiStringFor(language_index, id);
    const size_t at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

std::string WallClock(int64_t time) {
    return FormatLocalTime(time, "%Y-%m-%d %H:%M:%S");
}

}  // namespace

std::string TripDurationText(uint64_t duration_ms) {
    const uint64_t seconds = duration_ms / 1000;
    char text[40];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    return text;
}

std::string TripDistanceText(double metres) {
    if (!(metres >= 0)) metres = 0;
    // Rounded first, so 999.6 m reads "1.0 km" rather than "1000 m".
    if (std::lround(metres) < 1000) return std::to_string(std::lround(metres)) + " m";
    return FormatFixed(metres / 1000.0, 1) + " km";
}

std::string TripSummaryText(const TripSummary& trip, int language_index) {
    std::string text =
        trip.count == 1 ? LoadUiStringFor(language_index, kTripOfOneRecordingId)
                        : Filled(language_index, kTripOfRecordingsId, std::to_string(trip.count));
    auto line = [&text](const std::string& part) {
        if (!part.empty()) text += '\n' + part;
    };
    if (trip.start != 0) line(Filled(language_index, kStartId, WallClock(trip.start)));
    if (trip.endMs != 0) line(Filled(language_index, kEndId, WallClock(trip.endMs / 1000)));
    line(Filled(language_index, kDurationId, TripDurationText(trip.durationMs)));
    if (trip.fixes == 0) {
        line(LoadUiStringFor(language_index, kNoFixId));
        return text;
    }
    line(Filled(language_index, kDistanceId, TripDistanceText(trip.distanceM)));
    line(Filled(language_index, kMaxSpeedId, FormatFixed(trip.maxSpeedKmh, 0)));
    line(Filled(language_index, kAverageSpeedId, FormatFixed(trip.avgSpeedKmh, 0)));
    return text;
}

std::string TripSummaryPendingText(int language_index) {
    return LoadUiStringFor(language_index, kPendingId);
}

}  // namespace orvo
