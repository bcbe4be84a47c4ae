#include "gps/timed_kml_export.h"

#include <string>

#include "gps/camera_clock.h"
#include "gps/kml_export.h"
#include "library/number_text.h"

namespace orvo {

namespace {

constexpr const char* kSchema =
    "    <Schema id=\"point\">\n"
    "      <gx:SimpleArrayField name=\"speed\" type=\"float\">\n"
    "        <displayName>Speed (km/h)</displayName>\n"
    "      </gx:SimpleArrayField>\n"
    "      <gx:SimpleArrayField name=\"heading\" type=\"int\">\n"
    "        <displayName>Heading (degrees)</displayName>\n"
    "      </gx:SimpleArrayField>\n"
    "    </Schema>\n"
    "    <Style id=\"track\">\n"
    "      <LineStyle>\n"
    "        <color>ffff0000</color>\n"
    "        <width>4</width>\n"
    "      </LineStyle>\n"
    "    </Style>\n";

std::string Coordinates(const TrackPoint& p, char separator) {
    return FormatFixed6(p.position.longitude) + separator + FormatFixed6(p.position.latitude) +
           separator + std::to_string(p.altitude);
}

void AppendGxTrack(const TrackSegment& segment, std::string* out) {
    std::string whens;
    std::string coords;
    std::string speeds;
    std::string headings;
    for (const TrackPoint& p : segment.points) {
        if (!p.utc) continue;
        whens += "          <when>" + FormatUtcMs(*p.utc) + "</when>\n";
        coords += "          <gx:coord>" + Coordinates(p, ' ') + "</gx:coord>\n";
        speeds += "              <gx:value>" + FormatFixed(p.speedKmh, 1) + "</gx:value>\n";
        headings += "              <gx:value>" + std::to_string(p.headingDeg) + "</gx:value>\n";
    }
    *out += "        <gx:Track>\n";
    *out += "          <altitudeMode>absolute</altitudeMode>\n";
    *out += whens + coords;
    *out += "          <ExtendedData>\n            <SchemaData schemaUrl=\"#point\">\n";
    *out += "              <gx:SimpleArrayData name=\"speed\">\n" + speeds +
            "              </gx:SimpleArrayData>\n";
    *out += "              <gx:SimpleArrayData name=\"heading\">\n" + headings +
            "              </gx:SimpleArrayData>\n";
    *out += "            </SchemaData>\n          </ExtendedData>\n";
    *out += "        </gx:Track>\n";
}

void AppendLineString(const TrackSegment& segment, std::string* out) {
    *out += "        <LineString>\n          <altitudeMode>absolute</altitudeMode>\n";
    *out += "          <coordinates>\n";
    for (const TrackPoint& p : segment.points) *out += "            " + Coordinates(p, ',') + "\n";
    *out += "          </coordinates>\n        </LineString>\n";
}

void AppendTrack(const Track& track, bool timed, std::string* out) {
    *out += "    <Placemark>\n";
    *out += "      <name>" + XmlEscape(track.name) + "</name>\n";
    *out += "      <styleUrl>#track</styleUrl>\n";
    if (timed) {
        *out += "      <gx:MultiTrack>\n        <gx:interpolate>0</gx:interpolate>\n";
        for (const TrackSegment& segment : track.segments) AppendGxTrack(segment, out);
        *out += "      </gx:MultiTrack>\n";
    } else {
        *out += "      <MultiGeometry>\n";
        for (const TrackSegment& segment : track.segments) {
            // A line needs two points.
            if (segment.points.size() >= 2) AppendLineString(segment, out);
        }
        *out += "      </MultiGeometry>\n";
    }
    *out += "    </Placemark>\n";
}

void AppendStampedPoint(const std::string& name, const TrackPoint& p,
                        const std::optional<double>& when, std::string* out) {
    *out += "    <Placemark>\n      <name>" + XmlEscape(name) + "</name>\n";
    if (when) *out += "      <TimeStamp><when>" + FormatUtcMs(*when) + "</when></TimeStamp>\n";
    *out += "      <ExtendedData>\n";
    *out +=
        "        <Data name=\"speed\"><value>" + FormatFixed(p.speedKmh, 1) + "</value></Data>\n";
    *out += "        <Data name=\"heading\"><value>" + std::to_string(p.headingDeg) +
            "</value></Data>\n";
    *out += "      </ExtendedData>\n";
    *out += "      <Point>\n        <altitudeMode>absolute</altitudeMode>\n";
    *out += "        <coordinates>" + Coordinates(p, ',') + "</coordinates>\n";
    *out += "      </Point>\n    </Placemark>\n";
}

}  // namespace

std::string TimedKmlDocument(const std::string& name, std::span<const Track> tracks, bool points,
                             size_t* untimed, bool timed) {
    size_t missing = 0;
    std::string out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out +=
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\""
        " xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n";
    out += "  <Document>\n    <name>" + XmlEscape(name) + "</name>\n";
    out += kSchema;
    for (const Track& track : tracks) {
        AppendTrack(track, timed, &out);
        for (const TrackSegment& segment : track.segments) {
            for (const TrackPoint& p : segment.points) missing += p.utc ? 0 : 1;
            // An event recording is marked where it starts.
            if (segment.event && !segment.points.empty()) {
                AppendStampedPoint(segment.fileName, segment.points.front(),
                                   timed ? segment.startUtc : std::nullopt, &out);
            }
        }
    }
    if (points) {
        out += "    <Folder>\n    <name>Points</name>\n";
        for (const Track& track : tracks) {
            for (const TrackSegment& segment : track.segments) {
                for (const TrackPoint& p : segment.points) {
                    if (!timed) {
                        AppendStampedPoint(segment.fileName, p, std::nullopt, &out);
                    } else if (p.utc) {
                        AppendStampedPoint(segment.fileName, p, p.utc, &out);
                    }
                }
            }
        }
        out += "    </Folder>\n";
    }
    out += "  </Document>\n</kml>\n";
    if (untimed != nullptr) *untimed = timed ? missing : 0;
    return out;
}

}  // namespace orvo
