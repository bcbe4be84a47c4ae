#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "gps/kml_export.h"
#include "tests/cli/cli_runner.h"
#include "tests/library/card_files.h"
#include "tests/support/time_zone.h"

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

// The tests and orvo-info read local times in the same zone.
const bool kZoneSet = test_support::PinTimeZone("UTC0");

CommandResult Info(const std::string& args) {
    return RunCommand("TZ=UTC0 " + ShellQuote(ORVO_INFO_PATH) + " " + args);
}

std::vector<std::string> Keys(const Json& object) {
    std::vector<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it) keys.push_back(it.key());
    return keys;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class CatalogCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingOptions event;
        event.hour = 12;
        event.duration_ms = 2000;
        GpsRecord dated = Fix(3731.5, 12658.2, 36, 45, 35);
        dated.year = 18;
        dated.month = 5;
        dated.day = 1;
        dated.hour = 12;
        dated.minute = 0;
        dated.second = 7;
        GpsRecord undated = Fix(-3731.5, -12658.2, 0, 0, -5);
        undated.flags = 0;
        event.gps = {dated, undated};
        event.g_range_word = {0, 4, 0, 0};
        event.gsensor = {{-128, 0, 127}, {16, -16, 0}, {0, 0, 0}, {32, 64, -64}};
        WriteRecording(card_.path() / "DCIM/EVENT/EMEG180501_120000.MOV", event);
        WriteRecording(card_.path() / "DCIM/MOVIE/MANU180501_120002.AVI", 12, 0, 2, 30000);
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_130000.MOV", 13, 0, 0, 30000);
        event_ = (card_.path() / "DCIM/EVENT/EMEG180501_120000.MOV").string();
    }

    TempFolder card_;
    std::string event_;
};

TEST_F(CatalogCommandsTest, ScanPrintsEntriesAndGroupsInTheContractOrder) {
    const CommandResult r = Info("scan " + ShellQuote(card_.str()));
    ASSERT_EQ(r.status, 0) << r.err;
    const Json scan = Json::parse(r.out);
    EXPECT_EQ(Keys(scan), (std::vector<std::string>{"visited", "entries", "groups", "skipped"}));
    EXPECT_EQ(scan["skipped"], Json::array());
    EXPECT_EQ(scan["visited"], 3);
    ASSERT_EQ(scan["entries"].size(), 3u);
    const Json& first = scan["entries"][0];
    EXPECT_EQ(Keys(first), (std::vector<std::string>{"index", "group", "groupStart", "fileName",
                                                     "rootFolder", "subFolder", "fullPath",
                                                     "locked", "readOnly", "type", "info"}));
    EXPECT_EQ(Keys(first["info"]),
              (std::vector<std::string>{"gpsOffset", "gpsSize", "gsenOffset", "gsenSize", "width",
                                        "height", "startTime", "lengthSeconds", "durationMs",
                                        "fileSize", "gpsRateWord", "gRangeWord"}));
    EXPECT_EQ(first["fileName"], "EMEG180501_120000.MOV");
    EXPECT_EQ(first["type"], "Normal");  // "EMEG" is not "EMER"
    EXPECT_EQ(first["locked"], true);
    EXPECT_EQ(first["subFolder"], "DCIM/EVENT/");
    EXPECT_EQ(first["rootFolder"], card_.str() + "/");
    EXPECT_EQ(first["fullPath"], card_.str() + "//DCIM/EVENT//EMEG180501_120000.MOV");
    EXPECT_EQ(first["info"]["durationMs"], 2000);
    EXPECT_EQ(scan["entries"][1]["type"], "Manual");
    EXPECT_EQ(scan["entries"][1]["group"], 0);  // 12:00:02 follows the 2-second event
    EXPECT_EQ(scan["entries"][2]["group"], 1);
    EXPECT_EQ(scan["entries"][2]["groupStart"], 1);
    ASSERT_EQ(scan["groups"].size(), 2u);
    EXPECT_EQ(Keys(scan["groups"][0]),
              (std::vector<std::string>{"index", "first", "count", "totalDurationMs", "totalSize",
                                        "flags"}));
    EXPECT_EQ(scan["groups"][0]["count"], 2);
    EXPECT_EQ(scan["groups"][0]["totalDurationMs"], 32000);
    EXPECT_EQ(scan["groups"][0]["flags"], 1);
}

TEST_F(CatalogCommandsTest, ScanNamesSkippedFilesWithTheirReasons) {
    std::ofstream(card_.path() / "DCIM/MOVIE/FILE180501_140000.MOV");
    ASSERT_EQ(::mkfifo((card_.path() / "DCIM/MOVIE/FILE180501_150000.MOV").c_str(), 0600), 0);
    const CommandResult r = Info("scan " + ShellQuote(card_.str()));
    ASSERT_EQ(r.status, 0) << r.err;
    const Json scan = Json::parse(r.out);
    EXPECT_EQ(scan["entries"].size(), 3u);
    ASSERT_EQ(scan["skipped"].size(), 2u);
    std::vector<std::string> lines;
    for (const Json& file : scan["skipped"]) {
        EXPECT_EQ(Keys(file), (std::vector<std::string>{"path", "reason"}));
        lines.push_back(fs::path(file["path"].get<std::string>()).filename().string() + ": " +
                        file["reason"].get<std::string>());
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"FILE180501_140000.MOV: empty file",
                                               "FILE180501_150000.MOV: not a regular file"}));
}

TEST_F(CatalogCommandsTest, ScanOfOneFileAndOfNothing) {
    const CommandResult one = Info("scan " + ShellQuote(event_));
    ASSERT_EQ(one.status, 0) << one.err;
    const Json scan = Json::parse(one.out);
    ASSERT_EQ(scan["entries"].size(), 1u);
    EXPECT_EQ(scan["entries"][0]["subFolder"], "");
    EXPECT_EQ(scan["entries"][0]["rootFolder"], card_.str() + "/DCIM/EVENT/");
    EXPECT_EQ(Info("scan " + ShellQuote(card_.str() + "/missing")).status, 1);
    EXPECT_EQ(Info("scan").status, 2);
}

TEST_F(CatalogCommandsTest, GpsFormats) {
    const CommandResult csv = Info("gps " + ShellQuote(event_));
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(Lines(csv.out),
              (std::vector<std::string>{
                  "index,fix,latitude,longitude,altitude,speed_kmh,heading_deg,date,utc",
                  "0,1,37.525000,126.970000,35,36,90,2018-05-01 12:00:07,2018-05-01T12:00:07.000Z",
                  // No fix: no position (GIS tools would plot 0, 0); the time
                  // follows the first dated record at 10 records a second.
                  "1,0,,,-5,0,0,,2018-05-01T12:00:07.100Z",
              }));
    const CommandResult json = Info("gps " + ShellQuote(event_) + " --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    const Json gps = Json::parse(json.out);
    ASSERT_EQ(gps["records"].size(), 2u);
    EXPECT_EQ(gps["records"][0]["fix"], true);
    EXPECT_DOUBLE_EQ(gps["records"][0]["latitude"].get<double>(), 37.525);
    EXPECT_EQ(gps["records"][1]["date"], "");
    const CommandResult gpx = Info("gps " + ShellQuote(event_) + " --format gpx");
    ASSERT_EQ(gpx.status, 0) << gpx.err;
    EXPECT_NE(gpx.out.find("<trkpt lat=\"37.525000\" lon=\"126.970000\">"), std::string::npos);
    EXPECT_EQ(Info("gps " + ShellQuote(event_) + " --format kml").status, 2);
    EXPECT_EQ(Info("gps " + ShellQuote(card_.str() + "/none.MOV")).status, 1);
}

TEST_F(CatalogCommandsTest, GSensorSpreadsSamplesOverTheDuration) {
    const CommandResult r = Info("gsensor " + ShellQuote(event_) + " --format csv");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                                "index,time_ms,x_g,y_g,z_g",
                                "0,0.000,-4.0000,0.0000,3.9688",
                                "1,500.000,0.5000,-0.5000,0.0000",
                                "2,1000.000,0.0000,0.0000,0.0000",
                                "3,1500.000,1.0000,2.0000,-2.0000",
                            }));
}

TEST_F(CatalogCommandsTest, KmlWritesWhatExportKmlWrites) {
    TempFolder out;
    const CommandResult r = Info("kml " + ShellQuote(event_) + " --out " + ShellQuote(out.str()));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string path = out.str() + "/EMEG180501_120000_2018_05_01_12-00-00.KML";
    EXPECT_EQ(r.out, path + "\n");
    GpsRecord dated = Fix(3731.5, 12658.2, 36, 45, 35);
    EXPECT_EQ(test_support::ReadWholeFile(path),
              KmlDocument("EMEG180501_120000.MOV", "", 1525176000, std::vector{dated}));

    // Default folder: the documents folder of the user.
    TempFolder home;
    const CommandResult d =
        RunCommand("TZ=UTC0 HOME=" + ShellQuote(home.str()) +
                   " XDG_CONFIG_HOME= XDG_DOCUMENTS_DIR= " + ShellQuote(ORVO_INFO_PATH) + " kml " +
                   ShellQuote(event_));
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(d.out, home.str() + "/Documents/QOR/KML/EMEG180501_120000_2018_05_01_12-00-00.KML\n");
    EXPECT_TRUE(fs::exists(home.path() / "Documents/QOR/KML"));
    // A missing output folder is created.
    EXPECT_EQ(
        Info("kml " + ShellQuote(event_) + " --out " + ShellQuote(out.str() + "/no/such")).status,
        0);
    EXPECT_TRUE(fs::exists(out.path() / "no/such/EMEG180501_120000_2018_05_01_12-00-00.KML"));
}

}  // namespace
}  // namespace orvo
