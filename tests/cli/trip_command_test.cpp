// orvo-info trip: summaries and whole-trip exports of a card.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
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
    for (std::string line; std::getline(in, line);) lines.push_back(line);
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
                                              "distanceM", "maxSpeedKmh", "avgSpeedKmh", "files"}));
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

}  // namespace
}  // namespace orvo
