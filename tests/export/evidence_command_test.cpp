// orvo-info evidence on recordings in a temporary folder: the package passes
// the real sha256sum -c and its report reads back with pdftotext.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/cli/cli_runner.h"
#include "tests/library/card_files.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using test_support::CommandResult;
using test_support::RunCommand;
using test_support::ShellQuote;
using testing::TempFolder;
using testing::WriteRecording;

class EvidenceCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::RecordingOptions options;
        options.gps = {testing::Fix(3539.3, 13944.9, 40), testing::Fix(3539.4, 13945.0, 42)};
        options.gsensor = {{0, 16, 0}, {64, 16, 0}, {0, 16, 0}};
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_120000.MOV", options);
        options.minute = 1;
        WriteRecording(card_.path() / "DCIM/EVENT/EMER180501_120100.MOV", options);
    }

    CommandResult Evidence(const std::string& args, const std::string& prefix = "") {
        return RunCommand(prefix + "TZ=UTC0 " ORVO_INFO_PATH " evidence " + args);
    }

    static std::string PdfText(const fs::path& pdf) {
        const CommandResult text =
            RunCommand("pdftotext -layout " + ShellQuote(pdf.string()) + " -");
        EXPECT_EQ(text.status, 0) << "pdftotext (poppler-utils) must be installed";
        return text.out;
    }

    TempFolder card_;
    TempFolder out_;
};

TEST_F(EvidenceCommandTest, FolderGivesAVerifiedPackageWithAReadableReport) {
    const CommandResult run =
        Evidence(ShellQuote(card_.str()) + " --out " + ShellQuote(out_.str()));
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path package = out_.path() / "Orvo evidence 2018-05-01 12-00-00";
    EXPECT_EQ(run.out, package.string() + "\n");
    const CommandResult check =
        RunCommand("cd " + ShellQuote(package.string()) + " && sha256sum -c SHA256SUMS");
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("report.pdf: OK"), std::string::npos);
    EXPECT_NE(check.out.find("DCIM/EVENT/EMER180501_120100.MOV: OK"), std::string::npos);

    const std::string text = PdfText(package / "report.pdf");
    const std::string sums = test_support::ReadWholeFile(package / "SHA256SUMS");
    const size_t line = sums.find("  DCIM/EVENT/EMER180501_120100.MOV");
    ASSERT_NE(line, std::string::npos);
    for (const std::string& expected :
         {std::string("Evidence report"), std::string("Trip 1 of 1"), std::string("Track"),
          std::string("Speed (km/h)"), std::string("G-sensor (g)"),
          std::string("2018-05-01 12:01:00"), std::string("Event"),
          std::string("DCIM/EVENT/EMER180501_120100.MOV"), sums.substr(line - 64, 64),
          std::string("Peak G 4.00 g at 12:01:20, no position"),
          std::string("sha256sum -c SHA256SUMS")}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

TEST_F(EvidenceCommandTest, JapaneseReportAndUsageErrors) {
    const CommandResult run =
        Evidence(ShellQuote(card_.str() + "/DCIM/EVENT/EMER180501_120100.MOV") + " --out " +
                 ShellQuote(out_.str()) + " --lang ja");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text =
        PdfText(fs::path(run.out.substr(0, run.out.size() - 1)) / "report.pdf");
    EXPECT_NE(text.find("証拠レポート"), std::string::npos) << text;
    EXPECT_NE(text.find("経路"), std::string::npos) << text;
    EXPECT_EQ(Evidence(ShellQuote(card_.str())).status, 2);
    EXPECT_EQ(Evidence(ShellQuote(card_.str()) + " --out x --lang fr").status, 2);
    const CommandResult missing = Evidence("/no/such/card --out " + ShellQuote(out_.str()));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("/no/such/card"), std::string::npos);
}

TEST_F(EvidenceCommandTest, FileSizeLimitFailsTheBigRecordingAndTheSumsStayTrue) {
    // A limit of 512 KiB: the padded recording cannot be copied.
    {
        std::ofstream grow(card_.path() / "DCIM/MOVIE/FILE180501_120000.MOV",
                           std::ios::binary | std::ios::app);
        grow << std::string(1 << 20, 'z');
    }
    const CommandResult run =
        Evidence(ShellQuote(card_.str()) + " --out " + ShellQuote(out_.str()), "ulimit -f 512; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("FILE180501_120000.MOV"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    const fs::path package = out_.path() / "Orvo evidence 2018-05-01 12-00-00";
    EXPECT_FALSE(fs::exists(package / "DCIM/MOVIE/FILE180501_120000.MOV"));
    const CommandResult check =
        RunCommand("cd " + ShellQuote(package.string()) + " && sha256sum -c SHA256SUMS");
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_EQ(check.out.find("FILE180501_120000.MOV:"), std::string::npos);
    const std::string text = PdfText(package / "report.pdf");
    EXPECT_NE(text.find("INCOMPLETE"), std::string::npos) << text;
}

}  // namespace
}  // namespace orvo
