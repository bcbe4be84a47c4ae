#include "gps/gpx_export.h"

#include <string>
#include <vector>

#include "gps/camera_clock.h"
#include "gps/kml_export.h"
#include "library/clip_catalog.h"
#include "library/file_operations.h"
#include "library/number_text.h"

namespace orvo {

namespace {

void AppendPoint(const TrackPoint& point, std::string* out) {
    *out += "      <trkpt lat=\"" + FormatFixed6(point.position.latitude) + "\" lon=\"" +
            FormatFixed6(point.position.longitude) + "\">\n";
    *out += "        <ele>" + std::to_string(point.altitude) + "</ele>\n";
    if (point.utc) *out += "        <time>" + FormatUtcMs(*point.utc) + "</time>\n";
    const std::string speed = FormatFixed(point.speedKmh / 3.6, 3);
    const std::string course = std::to_string(point.headingDeg);
    *out += "        <extensions>\n          <gpxtpx:TrackPointExtension>\n";
    *out += "            <gpxtpx:speed>" + speed + "</gpxtpx:speed>\n";
    *out += "            <gpxtpx:course>" + course + "</gpxtpx:course>\n";
    *out += "          </gpxtpx:TrackPointExtension>\n";
    *out += "          <gpx10:speed>" + speed + "</gpx10:speed>\n";
    *out += "          <gpx10:course>" + course + "</gpx10:course>\n";
    *out += "        </extensions>\n      </trkpt>\n";
}

}  // namespace

std::string GpxTracksDocument(const std::string& name, std::span<const Track> tracks) {
    size_t points = 0;
    for (const Track& track : tracks) points += track.PointCount();
    std::string out;
    out.reserve(1024 + points * 400);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out +=
        "<gpx version=\"1.1\" creator=\"Orvo Player\""
        " xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\""
        " xmlns:gpx10=\"http://www.topografix.com/GPX/1/0\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
        " http://www.topografix.com/GPX/1/1/gpx.xsd"
        " http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
        " https://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n";
    out += "  <metadata>\n    <name>" + XmlEscape(name) + "</name>\n  </metadata>\n";
    for (const Track& track : tracks) {
        out += "  <trk>\n    <name>" + XmlEscape(track.name) + "</name>\n";
        for (const TrackSegment& segment : track.segments) {
            out += "    <trkseg>\n";
            for (const TrackPoint& point : segment.points) AppendPoint(point, &out);
            out += "    </trkseg>\n";
        }
        // GPX wants at least one segment for a track to mean anything.
        if (track.segments.empty()) out += "    <trkseg>\n    </trkseg>\n";
        out += "  </trk>\n";
    }
    out += "</gpx>\n";
    return out;
}

std::string GpxDocument(const std::string& track_name, std::span<const GpsRecord> records,
                        unsigned gps_rate) {
    ClipEntry entry;
    entry.fileName = track_name;
    entry.info.gpsRateWord[0] = static_cast<uint8_t>(gps_rate);
    Track track{track_name, {BuildSegment(entry, records, CameraClock())}};
    if (gps_rate == 0) {
        for (TrackPoint& point : track.segments[0].points) {
            const GpsRecord& r = records[point.index];
            point.utc.reset();
            if (r.year == 0) continue;
            if (const auto t = CameraClock().ToUtc(2000 + r.year, r.month, r.day, r.hour, r.minute,
                                                   r.second)) {
                point.utc = static_cast<double>(*t);
            }
        }
    }
    return GpxTracksDocument(track_name, std::span<const Track>(&track, 1));
}

std::string GpxFileName(const std::string& file_name, int64_t start_time) {
    const std::string stem =
        file_name.size() >= 4 ? file_name.substr(0, file_name.size() - 4) : std::string();
    return stem + FormatLocalTime(start_time, "_%Y_%m_%d_%H-%M-%S") + ".GPX";
}

int ExportGpx(CClipCatalog& catalog, const std::string& folder, std::string* path) {
    const int index = catalog.SelectedIndex();
    if (index < 0 || folder.empty()) return 0;
    const ClipEntry& entry = catalog.entries()[index];
    const std::string out_path = folder + GpxFileName(entry.fileName, entry.info.startTime);
    const Track track{entry.fileName, {BuildSegment(entry, catalog.GpsRecords(), CameraClock())}};
    const std::string content =
        GpxTracksDocument(entry.fileName, std::span<const Track>(&track, 1));
    if (!WriteFileAtomically(out_path, content)) return 0;
    if (path != nullptr) *path = out_path;
    return 1;
}

}  // namespace orvo
