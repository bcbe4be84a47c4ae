// orvo-info failures: every one exits with the documented status and names
// its cause on standard error.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
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

std::string Info() {
    return "TZ=UTC0 " + ShellQuote(ORVO_INFO_PATH);
}

CommandResult Orvo(const std::string& args) {
    return RunCommand(Info() + " " + args);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliErrorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingOptions options;
        options.hour = 9;
        for (int i = 0; i < 600; ++i) options.gps.push_back(Fix(3530.0 + i * 0.001, 13940.0, 40));
        options.gsensor = test_support::MakeGSensorTrack(600);
        recording_ = (dir_.path() / "FILE180501_090000.MOV").string();
        WriteRecording(recording_, options);
        junk_ = (dir_.path() / "JUNK180501_090000.MOV").string();
        std::ofstream(junk_) << "not a recording";
    }
    TempFolder dir_;
    std::string recording_;
    std::string junk_;
};

TEST_F(CliErrorsTest, OutputThatCannotBeWrittenFailsEveryCommand) {
    const std::string file = ShellQuote(recording_);
    const std::string folder = ShellQuote(dir_.str());
    for (const std::string& args :
         {"gps " + file + " --format gpx", "gps " + file, "gps " + file + " --format geojson",
          "gsensor " + file, "probe " + file, "scan " + folder, "trip " + folder,
          "trip " + folder + " --format kml --timed", std::string("--help"),
          std::string("--version")}) {
        SCOPED_TRACE(args);
        const CommandResult full = RunCommand("(" + Info() + " " + args + " >/dev/full)");
        EXPECT_EQ(full.status, 1);
        EXPECT_TRUE(Contains(full.err, "No space left on device") || Contains(full.err, "write"))
            << full.err;
    }
    // A file size limit of 4 KiB (ulimit counts 512-byte blocks in sh).
    const fs::path limited = dir_.path() / "limited.gpx";
    const CommandResult cut = RunCommand("(ulimit -f 8; " + Info() + " gps " + file +
                                         " --format gpx > " + ShellQuote(limited.string()) + ")");
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(Contains(cut.err, "cannot write the output: File too large")) << cut.err;
    EXPECT_LE(fs::file_size(limited), 4096u);
}

TEST_F(CliErrorsTest, CutOffGpsBlockIsReported) {
    test_support::RecordingSpec recording;
    recording.date_text = test_support::FormatDateText(2018, 5, 1, 10, 0, 0);
    recording.gps = {Fix(3530.0, 13940.0), Fix(3530.1, 13940.0)};
    recording.gps.resize(100, Fix(3530.1, 13940.0));
    const test_support::Layout layout = test_support::BuildCameraMov(recording);
    const fs::path cut = dir_.path() / "CUTS180501_100000.MOV";
    layout.WriteFile(cut);
    fs::resize_file(cut, layout.Mark("gps0") + 64);
    for (const std::string& args : {std::string("gps "), std::string("gps --format gpx "),
                                    std::string("kml --out ") + ShellQuote(dir_.str()) + " "}) {
        SCOPED_TRACE(args);
        const CommandResult r = Orvo(args + ShellQuote(cut.string()));
        EXPECT_EQ(r.status, 0) << r.err;  // the export is the empty track, as before
        EXPECT_TRUE(Contains(r.err, cut.string() + ": the GPS block runs past the end of the file"))
            << r.err;
    }
}

TEST_F(CliErrorsTest, RejectedFilesAndFoldersNameTheReason) {
    const CommandResult scan = Orvo("scan " + ShellQuote(junk_));
    EXPECT_EQ(scan.status, 1);
    EXPECT_TRUE(Contains(scan.err, junk_ + ": not a MOV/MP4 file")) << scan.err;

    const CommandResult probe = Orvo("probe " + ShellQuote(dir_.str()));
    EXPECT_EQ(probe.status, 1);
    EXPECT_EQ(Json::parse(probe.out)["reason"], "is a folder, not a recording");

    const CommandResult missing = Orvo("gps " + ShellQuote(dir_.str() + "/NONE180501_000000.MOV"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Contains(missing.err, "NONE180501_000000.MOV: no such file")) << missing.err;

    // A folder is not "no such file": gps takes it as a batch, which needs
    // an output folder.
    const CommandResult folder = Orvo("gps " + ShellQuote(dir_.str()));
    EXPECT_EQ(folder.status, 2);
    EXPECT_TRUE(Contains(folder.err, "need --out DIR")) << folder.err;

    const CommandResult empty_file = Orvo("gsensor " + ShellQuote(junk_));
    EXPECT_EQ(empty_file.status, 1);
    EXPECT_TRUE(Contains(empty_file.err, junk_ + ": not a MOV/MP4 file")) << empty_file.err;
}

TEST_F(CliErrorsTest, UsageErrorsNameTheBadArgument) {
    const std::string file = ShellQuote(recording_);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"gps " + file + " --fromat gpx", "unknown option '--fromat'"},
        {"gps " + file + " --format xml", "unknown format 'xml' (choose csv, gpx, json, geojson)"},
        {"gps " + file + " --format", "option --format needs a value"},
        {"gps " + file + " --out ''", "--out needs a folder (it was empty)"},
        {"kml " + file + " --out ''", "--out needs a folder (it was empty)"},
        {"kml " + file + " --out=", "--out needs a folder (it was empty)"},
        {"trip " + ShellQuote(dir_.str()) + " --format gpx --out ''",
         "--out needs a file name (it was empty)"},
        {"trip " + ShellQuote(dir_.str()) + " --format kml --camera-tz Mars/Olympus",
         "--camera-tz: 'Mars/Olympus' is neither"},
        {"trip " + ShellQuote(dir_.str()) + " --timed", "need --format"},
        {"gsensor", "missing FILE"},
        {"scan", "missing PATH"},
    };
    for (const auto& [args, reason] : cases) {
        SCOPED_TRACE(args);
        const CommandResult r = Orvo(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(Contains(r.err, reason)) << r.err;
        // The command's own synopsis, not the whole list of commands.
        EXPECT_TRUE(Contains(r.err, "usage: orvo-info ")) << r.err;
        EXPECT_FALSE(Contains(r.err, "commands:")) << r.err;
    }
}

TEST_F(CliErrorsTest, VersionComesFromTheProject) {
    const CommandResult r = Orvo("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("orvo-info ") + ORVO_VERSION + "\n");
}

}  // namespace
}  // namespace orvo
