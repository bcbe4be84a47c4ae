#include "gps/geojson_export.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "gps/camera_clock.h"
#include "gps/kml_export.h"
#include "library/number_text.h"

namespace orvo {

namespace {

std::string Position(const TrackPoint& p) {
    return "[" + FormatFixed6(p.position.longitude) + "," + FormatFixed6(p.position.latitude) +
           "," + std::to_string(p.altitude) + "]";
}

std::string TimeOrNull(const std::optional<double>& t) {
    return t ? JsonString(FormatUtcMs(*t)) : "null";
}

std::string Line(const TrackSegment& segment) {
    std::string out = "[";
    for (size_t i = 0; i < segment.points.size(); ++i) {
        if (i != 0) out += ',';
        out += Position(segment.points[i]);
    }
    return out + "]";
}

std::string Geometry(const Track& track) {
    std::vector<const TrackSegment*> lines;
    for (const TrackSegment& segment : track.segments) {
        if (segment.points.size() >= 2) lines.push_back(&segment);
    }
    if (lines.empty()) return "null";
    if (track.segments.size() == 1) {
        return "{\"type\":\"LineString\",\"coordinates\":" + Line(*lines[0]) + "}";
    }
    std::string out = "{\"type\":\"MultiLineString\",\"coordinates\":[";
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) out += ',';
        out += Line(*lines[i]);
    }
    return out + "]}";
}

std::string TrackFeature(const Track& track) {
    std::string files = "[";
    for (size_t i = 0; i < track.segments.size(); ++i) {
        if (i != 0) files += ',';
        files += JsonString(track.segments[i].fileName);
    }
    files += "]";
    const std::optional<double> start =
        track.segments.empty() ? std::nullopt : track.segments.front().startUtc;
    const std::optional<double> end =
        track.segments.empty() ? std::nullopt : track.segments.back().endUtc;
    return "{\"type\":\"Feature\",\"geometry\":" + Geometry(track) +
           ",\"properties\":{\"name\":" + JsonString(track.name) + ",\"file\":" +
           (track.segments.empty() ? std::string("null")
                                   : JsonString(track.segments.front().fileName)) +
           ",\"files\":" + files + ",\"start\":" + TimeOrNull(start) +
           ",\"end\":" + TimeOrNull(end) + ",\"durationMs\":" + std::to_string(track.durationMs) +
           ",\"distanceM\":" + FormatFixed(track.distanceM, 1) + "}}";
}

std::string PointFeature(size_t track, const TrackSegment& segment, const TrackPoint& p) {
    return "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":" + Position(p) +
           "},\"properties\":{\"track\":" + std::to_string(track) +
           ",\"file\":" + JsonString(segment.fileName) + ",\"index\":" + std::to_string(p.index) +
           ",\"time\":" + TimeOrNull(p.utc) + ",\"speedKmh\":" + FormatFixed(p.speedKmh, 1) +
           ",\"headingDeg\":" + std::to_string(p.headingDeg) +
           ",\"altitudeM\":" + std::to_string(p.altitude) + ",\"fix\":true}}";
}

}  // namespace

std::string JsonString(std::string_view text) {
    const std::string valid = ValidUtf8(text);
    std::string out = "\"";
    for (const char c : valid) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string GeoJsonDocument(std::span<const Track> tracks, bool points) {
    std::string out = "{\"type\":\"FeatureCollection\",\"features\":[\n";
    bool first = true;
    const auto add = [&](const std::string& feature) {
        if (!first) out += ",\n";
        first = false;
        out += feature;
    };
    for (const Track& track : tracks) add(TrackFeature(track));
    if (points) {
        for (size_t t = 0; t < tracks.size(); ++t) {
            for (const TrackSegment& segment : tracks[t].segments) {
                for (const TrackPoint& p : segment.points) add(PointFeature(t, segment, p));
            }
        }
    }
    out += "\n]}\n";
    return out;
}

}  // namespace orvo
