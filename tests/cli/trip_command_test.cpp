// orvo-info trip: summaries and whole-trip exports of a card.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/library/card_files.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using test_support::CommandResult;
using test_support::RunCommand;
using test_support::ShellQuote;
using testing::Fix;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

CommandResult Info(const std::string& args) {
    return RunCommand("TZ=UTC0 " + ShellQuote(ORVO_INFO_PATH) + " " + args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // gpsbabel's CSV
        lines.push_back(line);
    }
    return lines;
}

// `seconds` at 10 Hz driving north at 36 km/h (1 m per record), dated.
RecordingOptions Drive(int hour, int minute, int seconds, double lat_min) {
    RecordingOptions options;
    options.hour = hour;
    options.minute = minute;
    options.duration_ms = static_cast<uint32_t>(seconds) * 1000;
    for (int i = 0; i < seconds * 10; ++i) {
        GpsRecord r = Fix(3500.0 + lat_min + i * 0.00054, 13900.0, 36, 0, 12);
        r.year = 18;
        r.month = 5;
        r.day = 1;
        r.hour = static_cast<uint8_t>(hour);
        r.minute = static_cast<uint8_t>(minute + i / 600);
        r.second = static_cast<uint8_t>((i / 10) % 60);
        options.gps.push_back(r);
    }
    return options;
}

class TripCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_090000.MOV", Drive(9, 0, 60, 0));
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_090100.MOV", Drive(9, 1, 60, 0.324));
        WriteRecording(card_.path() / "DCIM/EVENT/EMER180501_100000.MOV", Drive(10, 0, 20, 1));
    }
    TempFolder card_;
};

TEST_F(TripCommandTest, SummaryIsOneJsonLinePerTripInContractOrder) {
    const CommandResult r = Info("trip " + ShellQuote(card_.str()));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    const Json trip = Json::parse(lines[0]);
    std::vector<std::string> keys;
    for (auto it = trip.begin(); it != trip.end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"first", "count", "start", "end", "durationMs",
                                              "distanceM", "maxSpeedKmh", "avgSpeedKmh", "files",
                                              "startUtc", "endUtc"}));
    EXPECT_EQ(trip["first"], 0);
    EXPECT_EQ(trip["count"], 2);
    EXPECT_EQ(trip["start"], "2018-05-01T09:00:00");
    EXPECT_EQ(trip["end"], "2018-05-01T09:02:00");
    EXPECT_EQ(trip["durationMs"], 120000);
    // 1199 legs of 0.00054 minutes (1.0 m) each.
    EXPECT_NEAR(trip["distanceM"].get<double>(), 1199 * 0.000009 * 111195.08, 0.2);
    EXPECT_EQ(trip["maxSpeedKmh"], 36.0);
    EXPECT_EQ(trip["avgSpeedKmh"], 36.0);
    ASSERT_EQ(trip["files"].size(), 2u);
    EXPECT_EQ(fs::path(trip["files"][0].get<std::string>()).filename(), "FILE180501_090000.MOV");
    EXPECT_EQ(Json::parse(lines[1])["first"], 2);
}

TEST_F(TripCommandTest, SummaryErrorsNameTheCause) {
    const CommandResult missing = Info("trip " + ShellQuote(card_.str() + "/nothing"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nothing: no such file or folder"), std::string::npos)
        << missing.err;
    fs::create_directories(card_.path() / "empty");
    const CommandResult empty = Info("trip " + ShellQuote((card_.path() / "empty").string()));
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("no recordings in this folder"), std::string::npos) << empty.err;
}

// Distinct values of a CSV column (0-based) after the header.
std::set<std::string> Column(const std::string& csv, size_t column, size_t* rows) {
    std::set<std::string> values;
    const std::vector<std::string> lines = Lines(csv);
    *rows = lines.empty() ? 0 : lines.size() - 1;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::istringstream fields(lines[i]);
        std::string field;
        for (size_t c = 0; c <= column && std::getline(fields, field, ','); ++c) {
        }
        values.insert(field);
    }
    return values;
}

// 1200 + 200 fixes at 10 Hz, each with its own time.
constexpr size_t kPoints = 1400;

TEST_F(TripCommandTest, GpxRoundTripThroughGpsbabelAndGdal) {
    const std::string gpx = (card_.path() / "card.gpx").string();
    const CommandResult r =
        Info("trip " + ShellQuote(card_.str()) + " --format gpx --out " + ShellQuote(gpx));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, gpx + "\n");
    EXPECT_EQ(RunCommand("xmllint --noout " + ShellQuote(gpx)).status, 0);

    const CommandResult babel =
        RunCommand("gpsbabel -t -i gpx -f " + ShellQuote(gpx) + " -o unicsv -F -");
    ASSERT_EQ(babel.status, 0) << babel.err;
    // No,Latitude,Longitude,Altitude,Date,Time
    size_t rows = 0;
    EXPECT_EQ(Column(babel.out, 5, &rows).size(), kPoints);  // a time per point
    EXPECT_EQ(rows, kPoints);
    const std::vector<std::string> lines = Lines(babel.out);
    EXPECT_EQ(lines[1], "1,35.000000,139.000000,12.0,2018/05/01,09:00:00");
    EXPECT_EQ(lines.back(), "1400,35.018458,139.000000,12.0,2018/05/01,10:00:19.900");

    // GDAL: one track per trip, one segment per recording, speed as a field.
    const CommandResult tracks = RunCommand("ogrinfo -ro -q " + ShellQuote(gpx) + " tracks");
    ASSERT_EQ(tracks.status, 0) << tracks.err;
    EXPECT_NE(tracks.out.find("OGRFeature(tracks):0"), std::string::npos);
    EXPECT_NE(tracks.out.find("OGRFeature(tracks):1"), std::string::npos);
    EXPECT_EQ(tracks.out.find("OGRFeature(tracks):2"), std::string::npos);
    EXPECT_NE(tracks.out.find("MULTILINESTRING (("), std::string::npos);
    const CommandResult points =
        RunCommand("GPX_USE_EXTENSIONS=YES ogrinfo -ro -so " + ShellQuote(gpx) + " track_points");
    EXPECT_NE(points.out.find("Feature Count: 1400"), std::string::npos) << points.out;
    EXPECT_NE(points.out.find("gpx10_speed: Real"), std::string::npos) << points.out;
}

TEST_F(TripCommandTest, GeoJsonWithPointsOpensInGdalWithATimePerPoint) {
    const std::string path = (card_.path() / "card.geojson").string();
    // The camera ran on Tokyo time; the viewing machine is on UTC.
    const CommandResult r =
        Info("trip " + ShellQuote(card_.str()) +
             " --format geojson --points --camera-tz Asia/Tokyo --out " + ShellQuote(path));
    ASSERT_EQ(r.status, 0) << r.err;
    const Json doc = Json::parse(test_support::ReadWholeFile(path));
    EXPECT_EQ(doc["type"], "FeatureCollection");
    ASSERT_EQ(doc["features"].size(), 2 + kPoints);
    const Json& trip = doc["features"][0];
    EXPECT_EQ(trip["geometry"]["type"], "MultiLineString");
    EXPECT_EQ(trip["geometry"]["coordinates"].size(), 2u);
    EXPECT_EQ(trip["geometry"]["coordinates"][0][0], Json::parse("[139.0, 35.0, 12]"));
    EXPECT_EQ(trip["properties"]["start"], "2018-05-01T00:00:00.000Z");
    EXPECT_EQ(trip["properties"]["end"], "2018-05-01T00:02:00.000Z");
    EXPECT_EQ(trip["properties"]["durationMs"], 120000);
    EXPECT_EQ(doc["features"][1]["geometry"]["type"], "LineString");  // one recording
    const Json& point = doc["features"][2];
    EXPECT_EQ(point["properties"]["time"], "2018-05-01T00:00:00.000Z");
    EXPECT_EQ(point["properties"]["speedKmh"], 36.0);
    EXPECT_EQ(doc["features"][3]["properties"]["time"], "2018-05-01T00:00:00.100Z");

    const CommandResult info = RunCommand("ogrinfo -ro -al -so " + ShellQuote(path));
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Feature Count: 1402"), std::string::npos) << info.out;
    const CommandResult times = RunCommand("ogrinfo -ro -al -q " + ShellQuote(path) +
                                           " | grep -c 'time (DateTime) = 2018/05/01'");
    EXPECT_EQ(times.out, std::to_string(kPoints) + "\n");
}

TEST_F(TripCommandTest, TimedKmlHasAWhenPerPointAndOpensInGdalAndGpsbabel) {
    const std::string path = (card_.path() / "card.kml").string();
    const CommandResult r =
        Info("trip " + ShellQuote(card_.str()) + " --format kml --timed --out " + ShellQuote(path));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto xpath = [&](const std::string& expression) {
        std::string out =
            RunCommand("xmllint --xpath " + ShellQuote(expression) + " " + ShellQuote(path)).out;
        if (!out.empty() && out.back() == '\n') out.pop_back();
        return out;
    };
    EXPECT_EQ(xpath("count(//*[local-name()='Track'])"), "3");
    EXPECT_EQ(xpath("count(//*[local-name()='Track']/*[local-name()='when'])"), "1400");
    EXPECT_EQ(xpath("count(//*[local-name()='coord'])"), "1400");
    EXPECT_EQ(xpath("count(//*[local-name()='SimpleArrayData'][@name='speed']/*)"), "1400");
    // The event recording is marked where it starts.
    EXPECT_EQ(xpath("string(//*[local-name()='Placemark'][*[local-name()='Point']]/"
                    "*[local-name()='name'])"),
              "EMER180501_100000.MOV");

    const CommandResult gdal = RunCommand("ogrinfo -ro -al -q " + ShellQuote(path));
    ASSERT_EQ(gdal.status, 0) << gdal.err;
    EXPECT_NE(gdal.out.find("begin (DateTime) = 2018/05/01 09:00:00+00"), std::string::npos);
    EXPECT_NE(gdal.out.find("end (DateTime) = 2018/05/01 09:01:59.900+00"), std::string::npos);
    EXPECT_NE(gdal.out.find("MULTILINESTRING Z (("), std::string::npos);

    const CommandResult babel =
        RunCommand("gpsbabel -t -i kml -f " + ShellQuote(path) + " -o unicsv -F -");
    ASSERT_EQ(babel.status, 0) << babel.err;
    size_t rows = 0;
    const std::set<std::string> babel_times = Column(babel.out, 5, &rows);
    EXPECT_EQ(rows, kPoints);
    EXPECT_EQ(babel_times.size(), kPoints);
}

TEST_F(TripCommandTest, CsvHasOneRowPerRecordWithTripAndUtc) {
    const CommandResult r = Info("trip " + ShellQuote(card_.str()) + " --format csv");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1 + kPoints);
    EXPECT_EQ(lines[0],
              "trip,file,index,fix,latitude,longitude,altitude,speed_kmh,heading_deg,date,utc");
    EXPECT_EQ(lines[1],
              "0,FILE180501_090000.MOV,0,1,35.000000,139.000000,12,36,0,"
              "2018-05-01 09:00:00,2018-05-01T09:00:00.000Z");
    EXPECT_EQ(lines.back().substr(0, 24), "1,EMER180501_100000.MOV,");
}

TEST_F(TripCommandTest, BatchWritesOneFilePerRecordingIntoANewFolder) {
    const fs::path out = card_.path() / "exports/gps";
    const CommandResult gpx =
        Info("gps " + ShellQuote(card_.str()) + " --format gpx --out " + ShellQuote(out.string()));
    ASSERT_EQ(gpx.status, 0) << gpx.err;
    EXPECT_EQ(Lines(gpx.out), (std::vector<std::string>{(out / "FILE180501_090000.gpx").string(),
                                                        (out / "FILE180501_090100.gpx").string(),
                                                        (out / "EMER180501_100000.gpx").string()}));
    for (const std::string& line : Lines(gpx.out)) {
        EXPECT_EQ(RunCommand("xmllint --noout " + ShellQuote(line)).status, 0) << line;
    }

    // Several FILE arguments; one that is not a recording is named and the
    // others are still written.
    const std::string first = (card_.path() / "DCIM/MOVIE/FILE180501_090000.MOV").string();
    const std::string junk = (card_.path() / "JUNK.MOV").string();
    std::ofstream(junk) << "x";
    const fs::path sensors = card_.path() / "exports/g";
    const CommandResult g = Info("gsensor " + ShellQuote(first) + " " + ShellQuote(junk) +
                                 " --out " + ShellQuote(sensors.string()));
    EXPECT_EQ(g.status, 1);
    EXPECT_NE(g.err.find(junk + ": not a MOV/MP4 file"), std::string::npos) << g.err;
    EXPECT_TRUE(fs::exists(sensors / "FILE180501_090000_gsensor.csv"));

    const fs::path kml = card_.path() / "exports/kml";
    const CommandResult k =
        Info("kml " + ShellQuote(card_.str()) + " --timed --out " + ShellQuote(kml.string()));
    ASSERT_EQ(k.status, 0) << k.err;
    EXPECT_EQ(Lines(k.out).size(), 3u);
    EXPECT_TRUE(fs::exists(kml / "EMER180501_100000_2018_05_01_10-00-00.KML"));
}

TEST_F(TripCommandTest, GpxLeavesOutPointsOutsideTheRangeAndSaysHowMany) {
    RecordingOptions odd = Drive(11, 0, 1, 0);
    odd.gps[3] = Fix(9500.0, 13900.0);   // 95 degrees north
    odd.gps[4] = Fix(3500.0, -18500.0);  // 185 degrees west
    const std::string path = (card_.path() / "ODDS180501_110000.MOV").string();
    WriteRecording(path, odd);
    const CommandResult r = Info("gps " + ShellQuote(path) + " --format gpx");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find(path + ": 2 points outside -90..90 latitude / -180..180 longitude left "
                                "out of the GPX"),
              std::string::npos)
        << r.err;
    size_t count = 0;
    for (size_t at = r.out.find("<trkpt"); at != std::string::npos;
         at = r.out.find("<trkpt", at + 1)) {
        ++count;
    }
    EXPECT_EQ(count, 8u);
}

}  // namespace
}  // namespace orvo
