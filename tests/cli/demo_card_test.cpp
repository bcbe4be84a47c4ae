// Generates the demo card with the real tool (ffmpeg included) and checks
// that it scans into the recordings, groups and telemetry it promises.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "library/clip_catalog.h"
#include "tests/cli/cli_runner.h"
#include "tests/library/card_files.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using test_support::CommandResult;
using test_support::RunCommand;
using test_support::ShellQuote;

class DemoCardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        card_ = new testing::TempFolder;
        const CommandResult r =
            RunCommand(ShellQuote(ORVO_DEMO_CARD_PATH) + " " + ShellQuote(card_->str()));
        ASSERT_EQ(r.status, 0) << "the demo card needs ffmpeg: " << r.err;
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }

    static testing::TempFolder* card_;
};
testing::TempFolder* DemoCardTest::card_ = nullptr;

TEST_F(DemoCardTest, ScansIntoTwoGroupsOfTypedRecordingsInTimeOrder) {
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card_->str(), ""), 1);
    const std::vector<std::string> expected = {
        "DCIM/MOVIE/FILE240518_101500.MOV", "DCIM/MOVIE/FILE240518_101525.MOV",
        "DCIM/MOVIE/FILG240518_101550.MOV", "DCIM/EVENT/EMER240518_101615.MOV",
        "DCIM/MOVIE/FILE240518_101635.AVI", "DCIM/MOVIE/FILE240518_103000.MOV",
        "DCIM/MOVIE/FILE240518_103025.MOV", "DCIM/EVENT/MANU240518_103050.MOV",
    };
    ASSERT_EQ(catalog.Count(), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const ClipEntry& entry = catalog.entries()[i];
        EXPECT_EQ(entry.subFolder + entry.fileName, expected[i]);
        EXPECT_EQ(entry.info.width, 1280);
        EXPECT_EQ(entry.info.height, 720);
        EXPECT_GE(entry.info.durationMs, 20000u);
        EXPECT_LE(entry.info.durationMs, 30000u);
        EXPECT_EQ(entry.info.gpsSize, entry.info.durationMs / 100 * 32);  // 10 Hz
        EXPECT_EQ(entry.info.gsenSize, entry.info.durationMs / 100 * 3);  // 10 Hz
        if (i > 0) {
            EXPECT_GT(entry.info.startTime, catalog.entries()[i - 1].info.startTime);
        }
    }
    ASSERT_EQ(catalog.groups().size(), 2u);
    EXPECT_EQ(catalog.groups()[0].count, 5);
    EXPECT_EQ(catalog.groups()[1].count, 3);
    EXPECT_EQ(catalog.groups()[0].flags, kClipLocked);
    EXPECT_STREQ(ClipTypeName(catalog.entries()[3].fileName), "Event");
    EXPECT_STREQ(ClipTypeName(catalog.entries()[7].fileName), "Manual");
    EXPECT_STREQ(ClipTypeName(catalog.entries()[4].fileName), "Normal");
}

TEST_F(DemoCardTest, StartTimesFromDateTextAndFromGpsAgree) {
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card_->str(), ""), 1);
    // Recordings 0 (date text) and 1 (GPS records) start 25 s apart, as
    // their names say.
    EXPECT_EQ(catalog.entries()[1].info.startTime - catalog.entries()[0].info.startTime, 25);
    EXPECT_EQ(catalog.entries()[5].info.startTime - catalog.entries()[0].info.startTime, 15 * 60);
}

TEST_F(DemoCardTest, TelemetryIsAPlausibleDriveWithAHardBrakingInTheEvent) {
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card_->str(), ""), 1);
    for (int i = 0; i < catalog.Count(); ++i) {
        ASSERT_EQ(catalog.SelectClip(i), 1);
        const std::vector<GpsRecord> gps = catalog.GpsRecords();
        std::optional<GeoPosition> previous;
        uint16_t previous_speed = 0;
        for (const GpsRecord& record : gps) {
            const auto position = PositionOf(record);
            if (!position) continue;
            // Central Tokyo, between Onarimon and Ginza.
            EXPECT_NEAR(position->latitude, 35.667, 0.01);
            EXPECT_NEAR(position->longitude, 139.758, 0.015);
            if (previous) {
                // Distance in 0.1 s matches the speed (within rounding).
                const double dy = (position->latitude - previous->latitude) * 110950.0;
                const double dx = (position->longitude - previous->longitude) * 90400.0;
                const double kmh = std::hypot(dx, dy) / 0.1 * 3.6;
                EXPECT_NEAR(kmh, (record.speed + previous_speed) / 2.0, 2.5);
            }
            previous = position;
            previous_speed = record.speed;
        }
        const auto& samples = catalog.GSensorRecords();
        int hardest = 0;
        for (const GSensorRecord& s : samples) hardest = std::min<int>(hardest, s.z);
        const double hardest_g = hardest * 8.0 / 128.0;
        if (catalog.entries()[i].fileName.starts_with("EMER")) {
            EXPECT_LT(hardest_g, -1.0);
        } else {
            EXPECT_GT(hardest_g, -0.5);
        }
    }
}

TEST_F(DemoCardTest, IsGeneratedOnlyWhenMissingAndListedByOrvoInfo) {
    const fs::path first = card_->path() / "DCIM/MOVIE/FILE240518_101500.MOV";
    const auto stamp = fs::last_write_time(first);
    fs::remove(card_->path() / "DCIM/EVENT/MANU240518_103050.MOV");
    const CommandResult again =
        RunCommand(ShellQuote(ORVO_DEMO_CARD_PATH) + " " + ShellQuote(card_->str()));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(fs::last_write_time(first), stamp);
    EXPECT_TRUE(fs::exists(card_->path() / "DCIM/EVENT/MANU240518_103050.MOV"));

    const CommandResult scan =
        RunCommand(ShellQuote(ORVO_INFO_PATH) + " scan " + ShellQuote(card_->str()));
    ASSERT_EQ(scan.status, 0) << scan.err;
    const auto json = nlohmann::json::parse(scan.out);
    ASSERT_EQ(json["entries"].size(), 8u);
    std::vector<std::string> types;
    for (const auto& entry : json["entries"]) types.push_back(entry["type"]);
    EXPECT_EQ(types, (std::vector<std::string>{"Normal", "Normal", "Normal", "Event", "Normal",
                                               "Normal", "Normal", "Manual"}));
    EXPECT_EQ(json["entries"][2]["locked"], true);
    EXPECT_EQ(json["groups"].size(), 2u);
}

TEST_F(DemoCardTest, OrvoInfoListsTheHardBrakingOfTheEventAndNothingBefore) {
    const CommandResult r =
        RunCommand(ShellQuote(ORVO_INFO_PATH) + " incidents " + ShellQuote(card_->str()));
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<nlohmann::json> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    // The jolt at 9 s into the event recording, the braking it starts and
    // the camera's event: the first incidents of the card.
    ASSERT_GE(lines.size(), 3u) << r.out;
    std::set<std::string> kinds;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(lines[i]["file"].get<std::string>().find("EMER240518_101615.MOV"),
                  std::string::npos);
        EXPECT_NEAR(lines[i]["offsetMs"].get<double>(), 9500, 800) << lines[i];
        kinds.insert(lines[i]["kind"]);
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"g-force", "braking", "event"}));
}

// What a newcomer does with the card: one GeoJSON and one timed KML of the
// whole card, opened in GDAL.
TEST_F(DemoCardTest, ExportsAsOneGeoJsonAndOneTimedKmlWithOneTrackPerTrip) {
    const std::string info =
        "TZ=UTC0 " + ShellQuote(ORVO_INFO_PATH) + " trip " + ShellQuote(card_->str());
    const std::string geojson = (card_->path() / "card.geojson").string();
    const std::string kml = (card_->path() / "card.kml").string();
    ASSERT_EQ(RunCommand(info + " --format geojson --points --out " + ShellQuote(geojson)).status,
              0);
    ASSERT_EQ(RunCommand(info + " --format kml --timed --out " + ShellQuote(kml)).status, 0);

    const auto doc = nlohmann::json::parse(test_support::ReadWholeFile(geojson));
    size_t tracks = 0;
    std::vector<std::string> times;
    for (const auto& feature : doc["features"]) {
        if (feature["geometry"]["type"] == "Point") {
            times.push_back(feature["properties"]["time"]);
        } else {
            ++tracks;
        }
    }
    EXPECT_EQ(tracks, 2u);
    EXPECT_GT(times.size(), 1000u);
    EXPECT_EQ(std::set<std::string>(times.begin(), times.end()).size(), times.size());
    const CommandResult gdal = RunCommand("ogrinfo -ro -al -so " + ShellQuote(geojson));
    ASSERT_EQ(gdal.status, 0) << gdal.err;
    EXPECT_NE(gdal.out.find("Feature Count: " + std::to_string(doc["features"].size())),
              std::string::npos)
        << gdal.out;

    // Two trips and the event recording's mark; a time for every point.
    const CommandResult layers = RunCommand("ogrinfo -ro -al -so " + ShellQuote(kml));
    ASSERT_EQ(layers.status, 0) << layers.err;
    EXPECT_NE(layers.out.find("Feature Count: 3"), std::string::npos) << layers.out;
    const auto count = [&](const std::string& name) {
        return RunCommand("xmllint --xpath \"count(//*[local-name()='" + name + "'])\" " +
                          ShellQuote(kml))
            .out;
    };
    EXPECT_EQ(count("coord"), std::to_string(times.size()) + "\n");
    EXPECT_EQ(count("Track"), "8\n");  // one per recording
}

}  // namespace
}  // namespace orvo
