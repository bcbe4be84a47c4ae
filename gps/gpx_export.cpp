#include "gps/gpx_export.h"

#include <ctime>
#include <string>
#include <vector>

#include "gps/kml_export.h"
#include "library/clip_catalog.h"
#include "library/file_operations.h"
#include "library/number_text.h"

namespace orvo {

namespace {

// xsd:dateTime in UTC of the record's local wall-clock date, or empty.
std::string RecordTime(const GpsRecord& record) {
    if (record.year == 0 ||
        !IsValidDateTime(record.month, record.day, record.hour, record.minute, record.second)) {
        return {};
    }
    int64_t t = 0;
    try {
        t = MakeLocalTime(2000 + record.year, record.month, record.day, record.hour, record.minute,
                          record.second);
    } catch (const TimeConversionError&) {
        return {};
    }
    const time_t tt = static_cast<time_t>(t);
    tm utc{};
    if (::gmtime_r(&tt, &utc) == nullptr) return {};
    char buf[32];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(buf, n);
}

}  // namespace

std::string GpxDocument(const std::string& track_name, std::span<const GpsRecord> records) {
    const std::string name = XmlEscape(track_name);
    std::string out;
    out.reserve(1024 + records.size() * 240);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out +=
        "<gpx version=\"1.1\" creator=\"Orvo Player\""
        " xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\""
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
        " http://www.topografix.com/GPX/1/1/gpx.xsd"
        " http://www.garmin.com/xmlschemas/TrackPointExtension/v2"
        " https://www8.garmin.com/xmlschemas/TrackPointExtensionv2.xsd\">\n";
    out += "  <metadata>\n    <name>" + name + "</name>\n  </metadata>\n";
    out += "  <trk>\n    <name>" + name + "</name>\n    <trkseg>\n";
    for (const GpsRecord& record : records) {
        const auto position = PositionOf(record);
        if (!position) continue;
        out += "      <trkpt lat=\"" + FormatFixed6(position->latitude) + "\" lon=\"" +
               FormatFixed6(position->longitude) + "\">\n";
        out += "        <ele>" + std::to_string(record.altitude) + "</ele>\n";
        const std::string time = RecordTime(record);
        if (!time.empty()) out += "        <time>" + time + "</time>\n";
        out += "        <extensions>\n          <gpxtpx:TrackPointExtension>\n";
        out +=
            "            <gpxtpx:speed>" + FormatFixed(record.speed / 3.6, 3) + "</gpxtpx:speed>\n";
        out += "            <gpxtpx:course>" + std::to_string((record.heading * 2) % 360) +
               "</gpxtpx:course>\n";
        out += "          </gpxtpx:TrackPointExtension>\n        </extensions>\n";
        out += "      </trkpt>\n";
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
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
    const std::string content = GpxDocument(entry.fileName, catalog.GpsRecords());
    if (!WriteFileAtomically(out_path, content)) return 0;
    if (path != nullptr) *path = out_path;
    return 1;
}

}  // namespace orvo
