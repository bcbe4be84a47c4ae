#include "gps/gpx_export.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "gps/camera_clock.h"
#include "library/clip_catalog.h"
#include "tests/library/card_files.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::Fix;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

const bool kZoneSet = test_support::PinTimeZone("JST-9");

constexpr char kGpxNs[] = "http://www.topografix.com/GPX/1/1";
constexpr char kTpxNs[] = "http://www.garmin.com/xmlschemas/TrackPointExtension/v2";

// An element as expat reports it with namespace processing: "ns|local".
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;
    std::string parent;
};

// Parses a document with expat; fails the test on any well-formedness error.
std::vector<Element> Parse(const std::string& xml) {
    struct State {
        std::vector<Element> done;
        std::vector<Element> open;
    } state;
    XML_Parser parser = XML_ParserCreateNS("UTF-8", '|');
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attrs) {
            auto* s = static_cast<State*>(data);
            Element e;
            e.name = name;
            e.parent = s->open.empty() ? "" : s->open.back().name;
            for (int i = 0; attrs[i] != nullptr; i += 2) e.attributes[attrs[i]] = attrs[i + 1];
            s->open.push_back(e);
        },
        [](void* data, const XML_Char*) {
            auto* s = static_cast<State*>(data);
            s->done.push_back(s->open.back());
            s->open.pop_back();
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        static_cast<State*>(data)->open.back().text.append(text, static_cast<size_t>(length));
    });
    const bool ok = XML_Parse(parser, xml.data(), static_cast<int>(xml.size()), 1) == XML_STATUS_OK;
    EXPECT_TRUE(ok) << XML_ErrorString(XML_GetErrorCode(parser)) << " at line "
                    << XML_GetCurrentLineNumber(parser);
    XML_ParserFree(parser);
    return state.done;
}

std::vector<Element> Named(const std::vector<Element>& all, const std::string& name) {
    std::vector<Element> found;
    for (const Element& e : all) {
        if (e.name == name) found.push_back(e);
    }
    return found;
}

GpsRecord Dated(GpsRecord r, int hour, int minute, int second) {
    r.year = 18;
    r.month = 5;
    r.day = 1;
    r.hour = static_cast<uint8_t>(hour);
    r.minute = static_cast<uint8_t>(minute);
    r.second = static_cast<uint8_t>(second);
    return r;
}

TEST(GpxDocumentTest, ParsesBackWithPointsTimesAndExtensions) {
    std::vector<GpsRecord> track = {
        Dated(Fix(3731.5, 12658.2, 36, 45, 35), 12, 0, 0),
        Fix(3731.6, 12658.3, 40, 200, -3),  // no date: no time element
    };
    GpsRecord no_fix = Dated(Fix(3731.7, 12658.4), 12, 0, 1);
    no_fix.flags = 0;
    track.push_back(no_fix);
    track.push_back(Dated(Fix(20000.0, 12658.2), 12, 0, 1));
    track.push_back(Dated(Fix(3731.8, 12658.5), 12, 13, 61));  // second 61: not a valid date

    const std::string xml = GpxDocument("A&B <ドライブ>.MOV", track, 1);
    const std::vector<Element> elements = Parse(xml);

    const auto roots = Named(elements, std::string(kGpxNs) + "|gpx");
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_EQ(roots[0].attributes.at("version"), "1.1");
    const auto names = Named(elements, std::string(kGpxNs) + "|name");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1].text, "A&B <ドライブ>.MOV");

    const auto points = Named(elements, std::string(kGpxNs) + "|trkpt");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].attributes.at("lat"), "37.525000");
    EXPECT_EQ(points[0].attributes.at("lon"), "126.970000");
    EXPECT_EQ(points[1].attributes.at("lat"), "37.526667");
    EXPECT_EQ(points[2].attributes.at("lon"), "126.975000");

    const auto times = Named(elements, std::string(kGpxNs) + "|time");
    // Every point is timed from the first dated record, one record a second.
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(times[0].text, "2018-05-01T03:00:00.000Z");  // 12:00 local, nine hours ahead
    EXPECT_EQ(times[1].text, "2018-05-01T03:00:01.000Z");
    EXPECT_EQ(times[2].text, "2018-05-01T03:00:04.000Z");
    const auto elevations = Named(elements, std::string(kGpxNs) + "|ele");
    ASSERT_EQ(elevations.size(), 3u);
    EXPECT_EQ(elevations[1].text, "-3");

    const auto speeds = Named(elements, std::string(kTpxNs) + "|speed");
    const auto courses = Named(elements, std::string(kTpxNs) + "|course");
    ASSERT_EQ(speeds.size(), 3u);
    ASSERT_EQ(courses.size(), 3u);
    EXPECT_EQ(speeds[0].text, "10.000");  // 36 km/h in m/s
    EXPECT_EQ(courses[0].text, "90");
    EXPECT_EQ(courses[1].text, "40");  // 400 degrees brought into range
    EXPECT_EQ(speeds[0].parent, std::string(kTpxNs) + "|TrackPointExtension");
    EXPECT_EQ(Named(elements, std::string(kGpxNs) + "|extensions").size(), 3u);
}

TEST(GpxDocumentTest, TenPointsASecondGetTenTimes) {
    std::vector<GpsRecord> track;
    for (int i = 0; i < 12; ++i) {
        GpsRecord r = Fix(3731.5 + i * 0.01, 12658.2, 36);
        // The receiver dates records from index 2 on (12:00:05 local).
        if (i >= 2) r = Dated(r, 12, 0, 5 + (i - 2) / 10);
        track.push_back(r);
    }
    const auto times = Named(Parse(GpxDocument("x.MOV", track, 10)), std::string(kGpxNs) + "|time");
    ASSERT_EQ(times.size(), 12u);
    EXPECT_EQ(times[0].text, "2018-05-01T03:00:04.800Z");
    EXPECT_EQ(times[2].text, "2018-05-01T03:00:05.000Z");
    EXPECT_EQ(times[3].text, "2018-05-01T03:00:05.100Z");
    EXPECT_EQ(times[11].text, "2018-05-01T03:00:05.900Z");
}

TEST(GpxDocumentTest, PointsOutsideTheGeographicRangeAreLeftOut) {
    // 95 degrees north and 185 degrees east pass the map's test (< 200) but
    // GPX forbids them.
    const std::vector<GpsRecord> track = {Fix(3731.5, 12658.2), Fix(9500.0, 12658.2),
                                          Fix(3731.5, 18500.0), Fix(-9000.0, -18000.0)};
    ClipEntry entry;
    entry.fileName = "x.MOV";
    const TrackSegment segment = BuildSegment(entry, track, CameraClock());
    EXPECT_EQ(segment.outOfRange, 2u);
    ASSERT_EQ(segment.points.size(), 2u);
    EXPECT_EQ(segment.points[1].index, 3u);  // the poles and the antimeridian stay

    const auto points =
        Named(Parse(GpxDocument("x.MOV", track, 1)), std::string(kGpxNs) + "|trkpt");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].attributes.at("lat"), "-90.000000");
    EXPECT_EQ(points[1].attributes.at("lon"), "-180.000000");
}

TEST(GpxDocumentTest, TracksAndSegmentsAndGpx10SpeedForGdal) {
    ClipEntry entry;
    entry.fileName = "a.MOV";
    const std::vector<GpsRecord> records = {Fix(3731.5, 12658.2, 72, 100)};
    const TrackSegment segment = BuildSegment(entry, records, CameraClock());
    const std::vector<Track> tracks = {Track{"Trip 1", {segment, segment}},
                                       Track{"Trip 2", {segment}}};
    const std::vector<Element> elements = Parse(GpxTracksDocument("card", tracks));
    EXPECT_EQ(Named(elements, std::string(kGpxNs) + "|trk").size(), 2u);
    EXPECT_EQ(Named(elements, std::string(kGpxNs) + "|trkseg").size(), 3u);
    const char* gpx10 = "http://www.topografix.com/GPX/1/0";
    const auto speeds = Named(elements, std::string(gpx10) + "|speed");
    const auto courses = Named(elements, std::string(gpx10) + "|course");
    ASSERT_EQ(speeds.size(), 3u);
    EXPECT_EQ(speeds[0].text, "20.000");
    EXPECT_EQ(courses[0].text, "200");
    EXPECT_EQ(speeds[0].parent, std::string(kGpxNs) + "|extensions");
}

TEST(GpxDocumentTest, UnknownRateKeepsEachRecordsOwnDate) {
    const std::vector<GpsRecord> track = {Dated(Fix(3731.5, 12658.2), 12, 0, 0),
                                          Fix(3731.6, 12658.3),
                                          Dated(Fix(3731.7, 12658.2), 12, 0, 9)};
    const auto times = Named(Parse(GpxDocument("x.MOV", track)), std::string(kGpxNs) + "|time");
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[1].text, "2018-05-01T03:00:09.000Z");
}

TEST(GpxDocumentTest, EmptyTrackIsStillAValidDocument) {
    const std::vector<Element> elements = Parse(GpxDocument("", {}));
    EXPECT_EQ(Named(elements, std::string(kGpxNs) + "|trkseg").size(), 1u);
    EXPECT_TRUE(Named(elements, std::string(kGpxNs) + "|trkpt").empty());
}

TEST(ExportGpxTest, WritesTheSelectedTrack) {
    TempFolder card;
    TempFolder out;
    RecordingOptions options;
    options.gps = {Fix(3731.5, 12658.2), Fix(3731.6, 12658.3)};
    WriteRecording(card.path() / "FILE180501_120000.MOV", options);
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);
    std::string path;
    EXPECT_EQ(ExportGpx(catalog, out.str() + "/", &path), 0);  // nothing selected
    ASSERT_EQ(catalog.SelectFile(0), 1);
    ASSERT_EQ(catalog.SelectClip(0), 1);
    ASSERT_EQ(ExportGpx(catalog, out.str() + "/", &path), 1);
    EXPECT_EQ(path, out.str() + "/FILE180501_120000_2018_05_01_12-00-00.GPX");
    EXPECT_EQ(Named(Parse(testing::ReadAll(path)), std::string(kGpxNs) + "|trkpt").size(), 2u);
}

}  // namespace
}  // namespace orvo
